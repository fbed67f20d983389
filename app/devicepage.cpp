// The Devices page: who the attached device is, read fresh on every visit.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/dialogpointers.h"
#include "app/windowlayout.h"
#include "app/windowsink.h"
#include "device/deviceinfoquery.h"

#include <QIcon>

void MainWindow::on_m_btn_Devices_clicked()
{
    closeDialog(openImageEditor);
    ui->m_btn_User->hide();
    if (!serviceMode)
        ui->logTextBrowser->hide();
    setSideButtonIcons(":/image/select_devices_on.jpg", ":/image/select_upgrade.jpg",
                       ":/image/select_settings.jpg");
    ui->stackedWidget->setCurrentIndex(WindowLayout::DevicesPage);

    DeviceActionGuard guard(deviceSession.activity());
    if (!guard) {
        reportDeviceBusy();
        return;
    }
    WindowSink sink(*this);
    const DeviceQuery query = queryDeviceInformation(deviceSession, sink, info);
    showDeviceInformation(query.items);
    if (query.items & InfoScreenAndRanges)
        checkSettingsRanges();
    constexpr int AllItems = InfoName | InfoFirmwareVersion | InfoScreenAndRanges | InfoIdentification;
    showServiceStatus(!query.online ? QStringLiteral("设备离线")
                      : query.items == AllItems ? QStringLiteral("设备信息已读取")
                                                : QStringLiteral("设备信息读取不全：读取超时"));
}

// The labels of the items that answered; the others keep what they showed.
void MainWindow::showDeviceInformation(int items)
{
    if (items & InfoName) {
        ui->lab_dev_name->setText(info.name);
        const QString picture = devicePicturePath(info.name);
        ui->device_image->setIcon(picture.isEmpty() ? QIcon() : QIcon(picture));
    }
    if (items & InfoFirmwareVersion)
        ui->lab_dev_version->setText(info.firmwareVersion);
    if (items & InfoScreenAndRanges) {
        ui->lab_dev_size->setText(screenSizeText(info.screen));
        ui->lab_dev_power->setText(powerRangeText(info.screen));
        ui->lab_dev_wendu->setText(temperatureRangeText(info.screen));
    }
    if (items & InfoIdentification)
        ui->lab_dev_support->setText(info.identification);
}
