#include "app/aboutbox.h"

#include "app/programidentity.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <hidapi.h>

QString aboutText()
{
    return QCoreApplication::translate("AboutBox", "%1 %2\n\n"
                                                   "USB 电子烟设备（HID 0483:5750）的服务工具：设备信息、"
                                                   "屏幕图片、输出设置、功率曲线和固件升级。\n\n"
                                                   "Qt %3（编译时为 %4）\n"
                                                   "hidapi %5")
        .arg(programTitle(), programVersion(), QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR),
             QString::fromUtf8(hid_version_str()));
}

QMessageBox *showAboutBox(QWidget *parent)
{
    auto *box = new QMessageBox(QMessageBox::NoIcon, QCoreApplication::translate("AboutBox", "关于 %1").arg(programTitle()), aboutText(),
                                QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("aboutBox"));
    box->setIconPixmap(programIcon().pixmap(64, 64));
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Not modal to the application: nothing waits for it.
    box->open();
    return box;
}
