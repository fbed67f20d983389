#include "app/stucknotice.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace {

StuckDeviceNotice &notice()
{
    static StuckDeviceNotice replaced;
    return replaced;
}

} // namespace

void setStuckDeviceNotice(StuckDeviceNotice replacement)
{
    notice() = std::move(replacement);
}

void tellDeviceStuck(QWidget *parent)
{
    if (notice()) {
        notice()(parent);
        return;
    }
    QMessageBox::warning(parent, QCoreApplication::translate("MainWindow", "设备无响应"),
                         QCoreApplication::translate("MainWindow", "设备没有响应，程序不再等待它，现在关闭。\n"
                                                                   "请拔下设备，再重新连接。"));
}
