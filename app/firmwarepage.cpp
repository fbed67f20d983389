// Firmware upgrade page: choosing the file, the full upgrade, the write stage
// alone (its button is shown in service mode only) and the refresh command of
// the title bar.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/windowsink.h"
#include "firmware/firmwarefilechooser.h"
#include "firmware/firmwareimage.h"
#include "firmware/firmwareupgrade.h"

#include "settings/curvebackup.h"
#include "settings/profile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>

#include <optional>
#include <utility>

using namespace Firmware;

namespace {

// How long the new application gets after the jump before the backup goes back.
constexpr int BackupRestoreSettleMs = 1000;

// The model a firmware file is for: its header up to the first zero byte.
QString headerModel(const FirmwareFile &file)
{
    const char *header = reinterpret_cast<const char *>(file.data.get());
    return QString::fromLatin1(header, int(qstrnlen(header, ModelHeaderSize)));
}

// "型号 X（与设备一致）" against the device the Devices page read last.
QString modelMatchText(const FirmwareFile &file, const QString &deviceName)
{
    const QString model = headerModel(file);
    QString match;
    if (deviceName.isEmpty())
        match = MainWindow::tr("尚未读取设备型号");
    else if (model == deviceName)
        match = MainWindow::tr("与设备一致");
    else
        match = MainWindow::tr("与设备不符：设备为 %1").arg(deviceName);
    return MainWindow::tr("型号 %1（%2）").arg(model, match);
}

} // namespace

// The path in the line edit is the only record of the choice: every stage of
// the upgrade reads the file again, so what lies on disk then is what is sent.
void MainWindow::on_openFirmwareFilePushButton_clicked()
{
    const QString path = askForFirmwareFile(this);
    if (path.isNull())
        return;
    ui->firmwareFileLineEdit->setText(path);
    appendLog(tr("选择文件：") + path);
    ui->pushButton->setEnabled(true);
    // What the last upgrade said belongs to the file before.
    showServiceStatus(QString());

    const FirmwareFile file = loadFirmwareFile(path);
    switch (file.status) {
    case FileStatus::OutOfMemory:
        appendLog(tr("分配内存失败！"));
        ui->upgradeFirmwarePushButton->setEnabled(true);
        return;
    case FileStatus::Loaded:
        ui->label_3_file_inf->setText(serviceMode ? tr("%1，%2").arg(fileSizeText(file.size),
                                                                         modelMatchText(file, info.name))
                                                  : fileSizeText(file.size));
        ui->progressBar_updata->setMaximum(int(file.size));
        ui->label_4_updata_sta->setText(tr("固件已打开"));
        releaseWriteStageButton();
        return;
    case FileStatus::Unreadable:
    case FileStatus::Empty:
        // The default start keeps its traditional text; service mode names
        // the real reason. The log says it in both.
        ui->label_3_file_inf->setText(serviceMode ? specificRefusalText(file) : refusalText(file.status));
        appendLog(file.problem);
        break;
    case FileStatus::TooShort:
    case FileStatus::NoImage:
    case FileStatus::NotFirmware:
    case FileStatus::TooLarge:
        showFirmwareRefusal(refusalText(file));
        break;
    }
    // Refused: without a path the upgrade cannot start on it.
    ui->firmwareFileLineEdit->clear();
    ui->pushButton->setEnabled(false);
    ui->progressBar_updata->setMaximum(0);
    ui->label_4_updata_sta->setText(tr("请打开固件"));
    releaseWriteStageButton();
}

// The write stage alone needs a file: in service mode, where its button is
// shown, it is enabled only while one is chosen.
void MainWindow::releaseWriteStageButton()
{
    ui->upgradeFirmwarePushButton->setEnabled(!serviceMode || !ui->firmwareFileLineEdit->text().isEmpty());
}

// The whole upgrade: model check, erase, the device's restart into its
// bootloader, and the write stage, on the device thread. The page hears of it
// through its notes and shows the outcome when it has finished.
void MainWindow::on_pushButton_clicked()
{
    // A file chosen while the device restarts must not be written unchecked.
    const QString path = ui->firmwareFileLineEdit->text();
    // Not asked while another job runs: the controller refuses the upgrade then.
    if (serviceMode && !deviceController.isBusy() && !confirmUpgrade(path)) {
        showServiceStatus(tr("已取消升级，未发送任何数据"));
        return;
    }
    // In service mode what the erase may wipe is saved first: the curves and
    // the table as a profile. The table and the device are taken as they are
    // now; the job gets copies.
    std::function<void(JobContext &)> beforeErase;
    if (serviceMode) {
        const SettingsCollection table = collectSettings(settingsTexts());
        const std::optional<SettingsValues> values =
            table.ok() ? std::optional<SettingsValues>(table.values) : std::nullopt;
        beforeErase = [device = info, values, folder = upgradeBackupFolder()](JobContext &job) {
            const QString backup = backupBeforeUpgrade(job.session, job.sink, device, values ? &*values : nullptr,
                                                       folder, QDateTime::currentDateTime());
            if (!backup.isEmpty() && job.note)
                job.note(QStringLiteral("backupSaved"), backup);
        };
    }
    if (!deviceController.startFirmwareUpgrade(path, beforeErase))
        return;
    // The bar stays as it is through the model check; the erase sets it to 0.
    upgradeBackup.clear();
    firmwareWriting = false;
}

// What a firmware job tells its page besides lines and progress: the file's
// problems, the start of the erase, the size being written, each stage, and
// where the backup before the erase went.
void MainWindow::firmwareJobNote(DeviceJob kind, const QString &what, const QVariant &value)
{
    if (kind != DeviceJob::FirmwareUpgrade && kind != DeviceJob::FirmwareWriteAlone)
        return;
    WindowSink page(*this);
    if (what == QLatin1String("fileInfo")) {
        page.showFileInfo(value.toString());
    } else if (what == QLatin1String("upgradeStarted")) {
        page.upgradeStarted();
    } else if (what == QLatin1String("writingFile")) {
        page.writingFile(value.toLongLong());
    } else if (what == QLatin1String("stageStarted")) {
        const auto stage = UpgradeStage(value.toInt());
        // From the erase until the jump the device holds no working program.
        firmwareWriting = stage == UpgradeStage::Erasing || stage == UpgradeStage::Writing;
        page.stageStarted(stage);
    } else if (what == QLatin1String("backupSaved")) {
        upgradeBackup = value.toString();
    }
}

void MainWindow::firmwareJobFinished(DeviceJob kind, bool success, const QVariant &result)
{
    Q_UNUSED(success)
    firmwareWriting = false;
    switch (kind) {
    case DeviceJob::FirmwareUpgrade:
        upgradeFinished(result.value<UpgradeResult>());
        break;
    case DeviceJob::FirmwareWriteAlone:
        writeAloneFinished(result.value<UpgradeResult>());
        break;
    case DeviceJob::Refresh:
        releaseWriteStageButton();
        showServiceStatus(lastLogLine);
        break;
    default:
        break;
    }
}

void MainWindow::upgradeFinished(UpgradeResult result)
{
    firmwareProgress->settle();
    releaseWriteStageButton();
    if (result == UpgradeResult::Refused || result == UpgradeResult::Offline) {
        if (serviceMode)
            ui->label_4_updata_sta->setText(tr("固件已打开"));
        showServiceStatus(lastLogLine);
        return;
    }
    ui->pushButton->setText(tr("开始升级"));
    ui->pushButton->setEnabled(true);
    ui->progressBar_updata->hide();
    showUpgradeOutcome(result);
    // Asked once this job has ended, so writing back is a job of its own.
    const QString backup = std::exchange(upgradeBackup, QString());
    if (result == UpgradeResult::Written && !backup.isEmpty())
        QTimer::singleShot(0, this, [this, backup] { offerBackupRestore(backup); });
}

// The end of a write: the status line and the service row say how it went.
// The default start keeps "升级完成！" for a device that came back.
void MainWindow::showUpgradeOutcome(UpgradeResult result)
{
    // A failed upgrade never leaves the bar looking finished.
    if (result != UpgradeResult::Written)
        firmwareProgress->setValue(0, true);
    QString status;
    switch (result) {
    case UpgradeResult::Written:
        // Service mode shows what the device runs now.
        status = serviceMode ? lastLogLine : tr("升级完成！");
        break;
    case UpgradeResult::NotReturned:
        status = tr("设备未返回：可能仍在 Bootloader 中");
        appendLog(tr("请在服务模式中选择同一固件文件，用“升级固件（仅写入）”重新写入"));
        break;
    default:
        status = tr("升级失败！");
        break;
    }
    ui->label_4_updata_sta->setText(status);
    showServiceStatus(status == lastLogLine ? status : status + QStringLiteral(" ") + lastLogLine);
}

// The write stage alone skips the model check: a recovery for a device
// already in its bootloader. The job asks the device first and puts its
// questions to the user through the controller.
void MainWindow::on_upgradeFirmwarePushButton_clicked()
{
    if (!deviceController.startFirmwareWriteAlone(ui->firmwareFileLineEdit->text()))
        return;
    ui->upgradeFirmwarePushButton->setEnabled(false);
    firmwareWriting = false;
}

void MainWindow::writeAloneFinished(UpgradeResult result)
{
    firmwareProgress->settle();
    releaseWriteStageButton();
    ui->progressBar_updata->hide();
    switch (result) {
    case UpgradeResult::Refused:
    case UpgradeResult::Offline:
    case UpgradeResult::Declined:
        // Nothing was written: the page is as it was.
        if (serviceMode)
            ui->label_4_updata_sta->setText(tr("固件已打开"));
        showServiceStatus(lastLogLine);
        break;
    default:
        showUpgradeOutcome(result);
        break;
    }
}

// Refresh: the bootloader command 0x04, unanswered.
void MainWindow::on_pushButton_2_clicked()
{
    if (!deviceController.startRefresh())
        return;
    ui->upgradeFirmwarePushButton->setEnabled(false);
}

// A file that cannot be firmware: the reason in the file information and once in the log.
void MainWindow::showFirmwareRefusal(const QString &text)
{
    ui->label_3_file_inf->setText(text);
    appendLog(text);
}

// Before the erase: what is about to be written, and to which device.
bool MainWindow::confirmUpgrade(const QString &path)
{
    const FirmwareFile file = loadFirmwareFile(path);
    if (!file.isLoaded())
        return true;   // the upgrade refuses it itself, before touching the device
    const ChunkPlan plan = planChunks(file.size);
    const QString text =
        tr("文件：%1\n%2（%3 字节），%4 个数据块\n设备：%5\n固件%6\n\n"
                       "升级会先擦除设备上的程序。写入期间请勿拔出设备。开始升级吗？")
            .arg(QFileInfo(path).fileName(), fileSizeText(file.size))
            .arg(file.size)
            .arg(plan.fullChunks + (plan.tailLength > 0 ? 1 : 0))
            .arg(info.name.isEmpty() ? tr("（尚未读取）") : info.name, modelMatchText(file, info.name));
    return QMessageBox::question(this, tr("开始升级"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
           == QMessageBox::Yes;
}

// After an upgrade: the curves and settings saved before the erase, written
// back if the user wants them.
void MainWindow::offerBackupRestore(const QString &backup)
{
    // An upgrade the user closed the window on is not followed by a question.
    if (windowClosed)
        return;
    // A backup made without a complete table holds the curves alone.
    const ProfileLoad load = loadProfileFile(backup, ProfileMode::Merge, collectSettings(settingsTexts()).values);
    if (!load.ok())
        return;
    if (QMessageBox::question(this, tr("恢复备份"),
                              tr("升级前已备份功率曲线和设置：\n%1\n现在写回设备吗？").arg(backup),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    // The new application needs a moment to come up after the jump.
    if (deviceController.startProfileApply(load.profile, BackupRestoreSettleMs))
        restoringBackup = backup;
}

void MainWindow::backupRestoreFinished(bool written)
{
    const QString backup = std::exchange(restoringBackup, QString());
    appendLog(written ? tr("已写回备份：") + backup : tr("备份未能写回：") + backup);
    showServiceStatus(written ? tr("已写回升级前的功率曲线和设置") : tr("备份未能写回"));
}

// The page's side of the controller: its notes, and the write stage's
// questions, asked here while the device thread waits for the answer.
void MainWindow::connectFirmwarePage()
{
    connect(&deviceController, &DeviceController::jobNote, this, &MainWindow::firmwareJobNote);
    FirmwareQuestions questions;
    questions.writeToApplication = [this](const QString &model) { return WindowSink(*this).writeToApplication(model); };
    questions.writeToBootloader = [this](const BootloaderTarget &target) {
        return WindowSink(*this).writeToBootloader(target);
    };
    deviceController.setFirmwareQuestions(std::move(questions));
}

namespace {

FirmwareCloseQuestion &closeQuestion()
{
    static FirmwareCloseQuestion question;
    return question;
}

} // namespace

void setFirmwareCloseQuestion(FirmwareCloseQuestion question)
{
    closeQuestion() = std::move(question);
}

// The erase and the write stage take no Cancel: a close now leaves the device
// in its bootloader without a whole program, so the user decides (default No).
bool MainWindow::mayCloseDuringFirmwareWrite()
{
    if (const FirmwareCloseQuestion &question = closeQuestion())
        return question(this);
    QMessageBox box(QMessageBox::Warning, tr("关闭窗口"),
                    tr("正在写入固件，请勿拔出设备。\n现在关闭会中断写入，设备将停留在 Bootloader 中，"
                       "需要用同一固件文件重新写入。\n\n仍要立即关闭吗？选择“否”将在升级结束后关闭。"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
