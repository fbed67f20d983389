#include "app/aboutbox.h"

#include "app/programidentity.h"

#include <QMessageBox>

#include <hidapi.h>

QString aboutText()
{
    return QStringLiteral("%1 %2\n\n"
                          "Service tool for USB vaping devices (HID 0483:5750): device information, "
                          "screen pictures, output settings, power curves and firmware upgrades.\n\n"
                          "Qt %3 (built with %4)\n"
                          "hidapi %5")
        .arg(programTitle(), programVersion(), QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR),
             QString::fromUtf8(hid_version_str()));
}

QMessageBox *showAboutBox(QWidget *parent)
{
    auto *box = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("About %1").arg(programTitle()), aboutText(),
                                QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("aboutBox"));
    box->setIconPixmap(programIcon().pixmap(64, 64));
    box->setAttribute(Qt::WA_DeleteOnClose);
    // Not modal to the application: nothing waits for it.
    box->open();
    return box;
}
