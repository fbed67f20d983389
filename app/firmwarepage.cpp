// Firmware upgrade page: choosing the file, the full upgrade, the write stage
// alone (its button is hidden) and the refresh command of the title bar.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/windowsink.h"
#include "device/waiter.h"
#include "firmware/firmwarefilechooser.h"
#include "firmware/firmwareimage.h"
#include "firmware/firmwareupgrade.h"

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
        // The label keeps its old text; the log says what is really wrong.
        ui->label_3_file_inf->setText(refusalText(file.status));
        appendLog(file.problem);
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
    DeviceActionGuard guard(deviceSession.activity());
    if (!guard) {
        reportDeviceBusy();
        return;
    }
    // A file chosen while the device restarts must not be written unchecked.
    const QString path = ui->firmwareFileLineEdit->text();
    WindowSink sink(*this);
    const UpgradeResult result = upgrade(deviceSession, sink, eventLoopWaiter(), path);
    ui->upgradeFirmwarePushButton->setEnabled(true);
    if (result == UpgradeResult::Refused || result == UpgradeResult::Offline)
        return;
    ui->pushButton->setText(QStringLiteral("开始升级"));
    ui->pushButton->setEnabled(true);
    ui->progressBar_updata->hide();
    // A failed upgrade never leaves the bar looking finished.
    if (result != UpgradeResult::Written)
        ui->progressBar_updata->setValue(0);
    ui->label_4_updata_sta->setText(result == UpgradeResult::Written ? QStringLiteral("升级完成！")
                                                                      : QStringLiteral("升级失败！"));
}

void MainWindow::on_upgradeFirmwarePushButton_clicked()
{
    DeviceActionGuard guard(deviceSession.activity());
    if (!guard) {
        reportDeviceBusy();
        return;
    }
    ui->upgradeFirmwarePushButton->setEnabled(false);
    WindowSink sink(*this);
    if (!writeStage(deviceSession, sink, eventLoopWaiter(), ui->firmwareFileLineEdit->text()))
        ui->progressBar_updata->setValue(0);
    ui->upgradeFirmwarePushButton->setEnabled(true);
}

// Refresh: the bootloader command 0x04, unanswered.
void MainWindow::on_pushButton_2_clicked()
{
    DeviceActionGuard guard(deviceSession.activity());
    if (!guard) {
        reportDeviceBusy();
        return;
    }
    ui->upgradeFirmwarePushButton->setEnabled(false);
    WindowSink sink(*this);
    refresh(deviceSession, sink);
    ui->upgradeFirmwarePushButton->setEnabled(true);
}

// A file that cannot be firmware: the reason in the file information and once in the log.
void MainWindow::showFirmwareRefusal(const QString &text)
{
    ui->label_3_file_inf->setText(text);
    appendLog(text);
}
