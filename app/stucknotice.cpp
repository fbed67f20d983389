#include "app/stucknotice.h"

#include "app/mainwindow.h"

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
    QMessageBox::warning(parent, MainWindow::tr("设备无响应"),
                         MainWindow::tr("设备没有响应，程序不再等待它，现在关闭。\n请拔下设备，再重新连接。"));
}
