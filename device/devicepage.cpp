// The Devices page: who the attached device is, read fresh on every visit.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/dialogpointers.h"
#include "device/devicelink.h"

#include <QIcon>

void MainWindow::on_m_btn_Devices_clicked()
{
    closeDialog(openImageEditor);
    ui->m_btn_User->hide();
    ui->logTextBrowser->hide();
    setSideButtonIcons(":/image/select_devices_on.jpg", ":/image/select_upgrade.jpg",
                       ":/image/select_settings.jpg");
    ui->stackedWidget->setCurrentIndex(0);

    DeviceActionGuard guard(activity);
    if (!guard) {
        reportDeviceBusy();
        return;
    }
    if (!openDeviceForAction(QStringLiteral("设备离线")))
        return;
    readDeviceInformation();
    closeDevice(handle);
}

void MainWindow::readDeviceInformation()
{
    beginExchange(record, handle);
    // Not cleared between items: only replies that pass the length test are decoded.
    ReplyBuffer reply{};
    // Each item is asked for whatever happened to the one before it.
    const auto ask = [this, &reply](quint8 item) {
        sendApplicationCommand(record, handle, makeApplicationBlock(Protocol::OpRead, item));
        if (readReport(handle, reply, Protocol::ReplyTimeoutMs))
            return true;
        appendLog(QStringLiteral("Read timeout！"));
        return false;
    };

    if (ask(Protocol::ItemName)) {
        info.name = decodeDeviceName(reply);
        ui->lab_dev_name->setText(info.name);
        const QString picture = devicePicturePath(info.name);
        ui->device_image->setIcon(picture.isEmpty() ? QIcon() : QIcon(picture));
    }
    if (ask(Protocol::ItemFirmwareVersion)) {
        info.firmwareVersion = decodeFirmwareVersion(reply);
        ui->lab_dev_version->setText(info.firmwareVersion);
    }
    if (ask(Protocol::ItemScreenAndRanges)) {
        applyScreenAndRanges(info, decodeScreenAndRanges(reply));
        ui->lab_dev_size->setText(screenSizeText(info.screen));
        ui->lab_dev_power->setText(powerRangeText(info.screen));
        ui->lab_dev_wendu->setText(temperatureRangeText(info.screen));
    }
    if (ask(Protocol::ItemIdentification)) {
        info.identification = decodeIdentification(reply);
        ui->lab_dev_support->setText(info.identification);
    }
}
