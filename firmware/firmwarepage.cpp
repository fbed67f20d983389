// Firmware upgrade page: choosing the file, the full upgrade, the write stage
// alone (its button is hidden) and the refresh command of the title bar.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "device/devicelink.h"
#include "device/reports.h"
#include "firmware/firmwarefilechooser.h"
#include "firmware/firmwareimage.h"

using namespace Firmware;

// The path in the line edit is the only record of the choice: every stage of
// the upgrade reads the file again, so what lies on disk then is what is sent.
void MainWindow::on_openFirmwareFilePushButton_clicked()
{
    const QString path = askForFirmwareFile(this);
    if (path.isNull())
        return;
    ui->firmwareFileLineEdit->setText(path);
    appendLog(QStringLiteral("选择文件：") + path);
    ui->pushButton->setEnabled(true);

    const FirmwareFile file = loadFirmwareFile(path);
    switch (file.status) {
    case FileStatus::OutOfMemory:
        appendLog(QStringLiteral("分配内存失败！"));
        ui->upgradeFirmwarePushButton->setEnabled(true);
        return;
    case FileStatus::Loaded:
        ui->label_3_file_inf->setText(fileSizeText(file.size));
        ui->progressBar_updata->setMaximum(int(file.size));
        ui->label_4_updata_sta->setText(QStringLiteral("固件已打开"));
        return;
    case FileStatus::Unreadable:
    case FileStatus::Empty:
        ui->label_3_file_inf->setText(refusalText(file.status));
        break;
    case FileStatus::TooShort:
    case FileStatus::TooLarge:
        showFirmwareRefusal(refusalText(file.status));
        break;
    }
    // Refused: without a path the upgrade cannot start on it.
    ui->firmwareFileLineEdit->clear();
    ui->pushButton->setEnabled(false);
    ui->progressBar_updata->setMaximum(0);
    ui->label_4_updata_sta->setText(QStringLiteral("请打开固件"));
}

// The whole upgrade: model check, erase, the device's restart into its
// bootloader, and the write stage.
void MainWindow::on_pushButton_clicked()
{
    DeviceActionGuard guard(activity);
    if (!guard) {
        reportDeviceBusy();
        return;
    }
    // A file chosen while the device restarts must not be written unchecked.
    const QString path = ui->firmwareFileLineEdit->text();
    if (!checkFirmwareModel(path)) {
        appendLog(QStringLiteral("中止固件升级！"));
        return;
    }
    ui->upgradeFirmwarePushButton->setEnabled(false);
    if (!handle)
        handle = openDeviceOnce();
    if (!handle) {
        appendLog(QStringLiteral("打开设备失败"));
        ui->upgradeFirmwarePushButton->setEnabled(true);
        return;
    }
    ui->pushButton->setText(QStringLiteral("升级中..."));
    ui->pushButton->setEnabled(false);
    ui->progressBar_updata->show();
    ui->progressBar_updata->setValue(0);
    ui->label_4_updata_sta->setText(QStringLiteral("正在升级...."));

    eraseFirmware();
    // The device leaves its application and comes back as its bootloader.
    waitMs(1000);
    const bool written = writeFirmware(path);

    ui->pushButton->setText(QStringLiteral("开始升级"));
    ui->pushButton->setEnabled(true);
    ui->progressBar_updata->hide();
    ui->label_4_updata_sta->setText(written ? QStringLiteral("升级完成！") : QStringLiteral("升级失败！"));
}

void MainWindow::on_upgradeFirmwarePushButton_clicked()
{
    DeviceActionGuard guard(activity);
    if (!guard) {
        reportDeviceBusy();
        return;
    }
    writeFirmware(ui->firmwareFileLineEdit->text());
}

// Refresh: the bootloader command 0x04, unanswered.
void MainWindow::on_pushButton_2_clicked()
{
    DeviceActionGuard guard(activity);
    if (!guard) {
        reportDeviceBusy();
        return;
    }
    ui->upgradeFirmwarePushButton->setEnabled(false);
    if (!handle)
        handle = openDeviceOnce();
    if (!handle) {
        appendLog(QStringLiteral("打开设备失败"));
    } else {
        beginExchange(record, handle);
        sendCommand(record, handle, Protocol::CmdRefresh, bootPattern, qint8(bootPattern.size()));
        appendLog(QStringLiteral("刷新！"));
        closeDevice(handle);
    }
    ui->upgradeFirmwarePushButton->setEnabled(true);
}

// A file that cannot be firmware: the reason in the file information and once in the log.
void MainWindow::showFirmwareRefusal(const QString &text)
{
    ui->label_3_file_inf->setText(text);
    appendLog(text);
}
