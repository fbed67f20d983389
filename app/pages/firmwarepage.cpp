#include "app/pages/firmwarepage.h"
#include "ui_mainwindow.h"

#include "app/pages/settingspage.h"
#include "app/pages/windowoutput.h"
#include "app/progressthrottle.h"
#include "control/devicecontroller.h"
#include "device/deviceinfo.h"
#include "firmware/firmwarefilechooser.h"
#include "firmware/firmwareimage.h"
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
        match = QCoreApplication::translate("MainWindow", "尚未读取设备型号");
    else if (model == deviceName)
        match = QCoreApplication::translate("MainWindow", "与设备一致");
    else
        match = QCoreApplication::translate("MainWindow", "与设备不符：设备为 %1").arg(deviceName);
    return QCoreApplication::translate("MainWindow", "型号 %1（%2）").arg(model, match);
}

bool askYesNo(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace

FirmwarePage::FirmwarePage(Ui::MainWindow &ui, DeviceController &controller, WindowOutput &output,
                           const DeviceInfo &info, const SettingsPage &settings, QObject *parent)
    : QObject(parent), ui(ui), controller(controller), output(output), info(info), settings(settings),
      progress(std::make_unique<ProgressThrottle>(ui.progressBar_updata))
{
    resetUpgradePage();
    connect(&controller, &DeviceController::jobNote, this, &FirmwarePage::stageNote);
    connect(&controller, &DeviceController::progress, this, [this](qint64 value) { jobProgress(value); });
    connect(&controller, &DeviceController::finished, this, &FirmwarePage::jobFinished);
    // The write stage's questions, asked here while the device thread waits for the answer.
    FirmwareQuestions questions;
    questions.writeToApplication = [this](const QString &model) { return askWriteToApplication(model); };
    questions.writeToBootloader = [this](const BootloaderTarget &target) { return askWriteToBootloader(target); };
    controller.setFirmwareQuestions(std::move(questions));
}

FirmwarePage::~FirmwarePage() = default;

QWidget *FirmwarePage::window() const
{
    return ui.centralWidget->window();
}

void FirmwarePage::resetUpgradePage()
{
    ui.upgradeFirmwarePushButton->hide();
    ui.label_4_updata_sta->setText(tr("请打开固件"));
    ui.label_3_file_inf->setText(QString());
    ui.progressBar_updata->hide();
    ui.pushButton->setEnabled(false);
}

// The two buttons say what they do: in service mode the write stage alone is
// shown beside the full upgrade.
void FirmwarePage::serviceModeChanged()
{
    const bool serviceMode = output.inServiceMode();
    ui.upgradeFirmwarePushButton->setVisible(serviceMode);
    ui.upgradeFirmwarePushButton->setText(serviceMode ? tr("升级固件（仅写入）") : tr("升级固件"));
    ui.upgradeFirmwarePushButton->setToolTip(
        serviceMode ? tr("只执行写入阶段，用于停在 Bootloader 中等待的设备（例如升级中断之后）：\n"
                         "先查询设备型号，再探测、写入、跳转，不擦除。\n"
                         "设备正常运行时请用“开始升级”。")
                    : QString());
    ui.pushButton->setToolTip(serviceMode ? tr("检查固件型号，擦除设备上的程序，然后写入固件") : QString());
    releaseWriteStageButton();
}

void FirmwarePage::jobProgress(qint64 value)
{
    switch (controller.runningJob()) {
    case DeviceJob::FirmwareUpgrade:
    case DeviceJob::FirmwareWriteAlone:
        // Bytes of the file being written, whose size came with "writingFile".
        progress->setValue(int(value));
        break;
    default:
        break;
    }
}

void FirmwarePage::chooseFile()
{
    const QString path = askForFirmwareFile(window());
    if (path.isNull())
        return;
    ui.firmwareFileLineEdit->setText(path);
    output.addLogLine(tr("选择文件：") + path);
    ui.pushButton->setEnabled(true);
    // What the last upgrade said belongs to the file before.
    output.showResult(QString());

    const FirmwareFile file = loadFirmwareFile(path);
    switch (file.status) {
    case FileStatus::OutOfMemory:
        output.addLogLine(tr("分配内存失败！"));
        ui.upgradeFirmwarePushButton->setEnabled(true);
        return;
    case FileStatus::Loaded:
        ui.label_3_file_inf->setText(output.inServiceMode() ? tr("%1，%2").arg(fileSizeText(file.size),
                                                                         modelMatchText(file, info.name))
                                                  : fileSizeText(file.size));
        ui.progressBar_updata->setMaximum(int(file.size));
        ui.label_4_updata_sta->setText(tr("固件已打开"));
        releaseWriteStageButton();
        return;
    case FileStatus::Unreadable:
    case FileStatus::Empty:
        // The default start keeps its traditional text; service mode names
        // the real reason. The log says it in both.
        ui.label_3_file_inf->setText(output.inServiceMode() ? specificRefusalText(file) : refusalText(file.status));
        output.addLogLine(file.problem);
        break;
    case FileStatus::TooShort:
    case FileStatus::NoImage:
    case FileStatus::NotFirmware:
    case FileStatus::TooLarge:
        showRefusal(refusalText(file));
        break;
    }
    // Refused: without a path the upgrade cannot start on it.
    ui.firmwareFileLineEdit->clear();
    ui.pushButton->setEnabled(false);
    ui.progressBar_updata->setMaximum(0);
    ui.label_4_updata_sta->setText(tr("请打开固件"));
    releaseWriteStageButton();
}

// The write stage alone needs a file: in service mode, where its button is
// shown, it is enabled only while one is chosen.
void FirmwarePage::releaseWriteStageButton()
{
    ui.upgradeFirmwarePushButton->setEnabled(!output.inServiceMode() || !ui.firmwareFileLineEdit->text().isEmpty());
}

// The whole upgrade: model check, erase, the device's restart into its
// bootloader, and the write stage, on the device thread. The page hears of it
// through its notes and shows the outcome when it has finished.
void FirmwarePage::startUpgrade()
{
    // A file chosen while the device restarts must not be written unchecked.
    const QString path = ui.firmwareFileLineEdit->text();
    // Not asked while another job runs: the controller refuses the upgrade then.
    if (output.inServiceMode() && !controller.isBusy() && !confirmUpgrade(path)) {
        output.showResult(tr("已取消升级，未发送任何数据"));
        return;
    }
    // In service mode what the erase may wipe is saved first: the curves and
    // the table as a profile. The table and the device are taken as they are
    // now; the job gets copies.
    std::function<void(JobContext &)> beforeErase;
    if (output.inServiceMode()) {
        const SettingsCollection table = collectSettings(settings.tableTexts());
        const std::optional<SettingsValues> values =
            table.ok() ? std::optional<SettingsValues>(table.values) : std::nullopt;
        beforeErase = [device = info, values, folder = upgradeBackupFolder()](JobContext &job) {
            const QString backup = backupBeforeUpgrade(job.session, job.sink, device, values ? &*values : nullptr,
                                                       folder, QDateTime::currentDateTime());
            if (!backup.isEmpty() && job.note)
                job.note(QStringLiteral("backupSaved"), backup);
        };
    }
    if (!controller.startFirmwareUpgrade(path, beforeErase))
        return;
    // The bar stays as it is through the model check; the erase sets it to 0.
    upgradeBackup.clear();
    writing = false;
}

// What a firmware job tells its page besides lines and progress: the file's
// problems, the start of the erase, the size being written, each stage, and
// where the backup before the erase went.
void FirmwarePage::stageNote(DeviceJob kind, const QString &what, const QVariant &value)
{
    if (kind != DeviceJob::FirmwareUpgrade && kind != DeviceJob::FirmwareWriteAlone)
        return;
    if (what == QLatin1String("fileInfo")) {
        ui.label_3_file_inf->setText(value.toString());
    } else if (what == QLatin1String("upgradeStarted")) {
        upgradeStarted();
    } else if (what == QLatin1String("writingFile")) {
        // The bar counts through the file being written: a file chosen while
        // the upgrade runs, or one changed on disk since, has set another maximum.
        progress->setMaximum(int(value.toLongLong()));
    } else if (what == QLatin1String("stageStarted")) {
        const auto stage = UpgradeStage(value.toInt());
        // From the erase until the jump the device holds no working program.
        writing = stage == UpgradeStage::Erasing || stage == UpgradeStage::Writing;
        stageStarted(stage);
    } else if (what == QLatin1String("backupSaved")) {
        upgradeBackup = value.toString();
    }
}

void FirmwarePage::jobFinished(DeviceJob kind, bool success, const QVariant &result)
{
    switch (kind) {
    case DeviceJob::FirmwareUpgrade:
        writing = false;
        upgradeFinished(result.value<UpgradeResult>());
        break;
    case DeviceJob::FirmwareWriteAlone:
        writing = false;
        writeAloneFinished(result.value<UpgradeResult>());
        break;
    case DeviceJob::Refresh:
        releaseWriteStageButton();
        output.showResult(output.newestLogLine());
        break;
    case DeviceJob::ProfileApply:
        // The backup written back after an upgrade; no other page applies one yet.
        if (!restoringBackup.isEmpty())
            backupRestoreFinished(success);
        break;
    default:
        break;
    }
}

void FirmwarePage::upgradeFinished(UpgradeResult result)
{
    progress->settle();
    releaseWriteStageButton();
    if (result == UpgradeResult::Refused || result == UpgradeResult::Offline) {
        if (output.inServiceMode())
            ui.label_4_updata_sta->setText(tr("固件已打开"));
        output.showResult(output.newestLogLine());
        return;
    }
    ui.pushButton->setText(tr("开始升级"));
    ui.pushButton->setEnabled(true);
    ui.progressBar_updata->hide();
    showUpgradeOutcome(result);
    // Asked once this job has ended, so writing back is a job of its own.
    const QString backup = std::exchange(upgradeBackup, QString());
    if (result == UpgradeResult::Written && !backup.isEmpty())
        QTimer::singleShot(0, this, [this, backup] { offerBackupRestore(backup); });
}

// The end of a write: the status line and the service row say how it went.
// The default start keeps "升级完成！" for a device that came back.
void FirmwarePage::showUpgradeOutcome(UpgradeResult result)
{
    // A failed upgrade never leaves the bar looking finished.
    if (result != UpgradeResult::Written)
        progress->setValue(0, true);
    QString status;
    switch (result) {
    case UpgradeResult::Written:
        // Service mode shows what the device runs now.
        status = output.inServiceMode() ? output.newestLogLine() : tr("升级完成！");
        break;
    case UpgradeResult::NotReturned:
        status = tr("设备未返回：可能仍在 Bootloader 中");
        output.addLogLine(tr("请在服务模式中选择同一固件文件，用“升级固件（仅写入）”重新写入"));
        break;
    default:
        status = tr("升级失败！");
        break;
    }
    ui.label_4_updata_sta->setText(status);
    output.showResult(status == output.newestLogLine() ? status : status + QStringLiteral(" ") + output.newestLogLine());
}

// The write stage alone skips the model check: a recovery for a device
// already in its bootloader. The job asks the device first and puts its
// questions to the user through the controller.
void FirmwarePage::startWriteAlone()
{
    if (!controller.startFirmwareWriteAlone(ui.firmwareFileLineEdit->text()))
        return;
    ui.upgradeFirmwarePushButton->setEnabled(false);
    writing = false;
}

void FirmwarePage::writeAloneFinished(UpgradeResult result)
{
    progress->settle();
    releaseWriteStageButton();
    ui.progressBar_updata->hide();
    switch (result) {
    case UpgradeResult::Refused:
    case UpgradeResult::Offline:
    case UpgradeResult::Declined:
        // Nothing was written: the page is as it was.
        if (output.inServiceMode())
            ui.label_4_updata_sta->setText(tr("固件已打开"));
        output.showResult(output.newestLogLine());
        break;
    default:
        showUpgradeOutcome(result);
        break;
    }
}

// Refresh: the bootloader command 0x04, unanswered.
void FirmwarePage::sendRefresh()
{
    if (!controller.startRefresh())
        return;
    ui.upgradeFirmwarePushButton->setEnabled(false);
}

// A file that cannot be firmware: the reason in the file information and once in the log.
void FirmwarePage::showRefusal(const QString &text)
{
    ui.label_3_file_inf->setText(text);
    output.addLogLine(text);
}

// Before the erase: what is about to be written, and to which device.
bool FirmwarePage::confirmUpgrade(const QString &path)
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
    return QMessageBox::question(window(), tr("开始升级"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
           == QMessageBox::Yes;
}

// After an upgrade: the curves and settings saved before the erase, written
// back if the user wants them.
void FirmwarePage::offerBackupRestore(const QString &backup)
{
    // An upgrade the user closed the window on is not followed by a question.
    if (closed)
        return;
    // A backup made without a complete table holds the curves alone.
    const ProfileLoad load = loadProfileFile(backup, ProfileMode::Merge, collectSettings(settings.tableTexts()).values);
    if (!load.ok())
        return;
    if (QMessageBox::question(window(), tr("恢复备份"),
                              tr("升级前已备份功率曲线和设置：\n%1\n现在写回设备吗？").arg(backup),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    // The new application needs a moment to come up after the jump.
    if (controller.startProfileApply(load.profile, BackupRestoreSettleMs))
        restoringBackup = backup;
}

void FirmwarePage::backupRestoreFinished(bool written)
{
    const QString backup = std::exchange(restoringBackup, QString());
    output.addLogLine(written ? tr("已写回备份：") + backup : tr("备份未能写回：") + backup);
    output.showResult(written ? tr("已写回升级前的功率曲线和设置") : tr("备份未能写回"));
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
bool FirmwarePage::mayCloseDuringWrite()
{
    if (const FirmwareCloseQuestion &question = closeQuestion())
        return question(window());
    QMessageBox box(QMessageBox::Warning, tr("关闭窗口"),
                    tr("正在写入固件，请勿拔出设备。\n现在关闭会中断写入，设备将停留在 Bootloader 中，"
                       "需要用同一固件文件重新写入。\n\n仍要立即关闭吗？选择“否”将在升级结束后关闭。"),
                    QMessageBox::Yes | QMessageBox::No, window());
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

// --- what the upgrade's stages show

void FirmwarePage::upgradeStarted()
{
    ui.pushButton->setText(QCoreApplication::translate("MainWindow", "升级中..."));
    ui.pushButton->setEnabled(false);
    ui.progressBar_updata->show();
    progress->setValue(0, true);
    ui.label_4_updata_sta->setText(output.inServiceMode() ? QCoreApplication::translate("MainWindow", "正在升级，请勿拔出设备....")
                                                              : QCoreApplication::translate("MainWindow", "正在升级...."));
}

// Service mode's status line follows the stages; the default start keeps its
// one "正在升级...." from the erase on.
void FirmwarePage::stageStarted(UpgradeStage stage)
{
    if (!output.inServiceMode())
        return;
    QString text;
    switch (stage) {
    case UpgradeStage::Checking: text = QCoreApplication::translate("MainWindow", "正在检查固件型号..."); break;
    case UpgradeStage::Erasing: text = QCoreApplication::translate("MainWindow", "正在擦除，请勿拔出设备...."); break;
    case UpgradeStage::Writing:
        text = QCoreApplication::translate("MainWindow", "正在写入固件，请勿拔出设备....");
        // The write stage alone has no erase that showed the bar.
        ui.progressBar_updata->show();
        break;
    case UpgradeStage::Watching: text = QCoreApplication::translate("MainWindow", "正在等待设备返回..."); break;
    }
    ui.label_4_updata_sta->setText(text);
}

bool FirmwarePage::askWriteToApplication(const QString &model)
{
    return askYesNo(window(), QMessageBox::Question, QCoreApplication::translate("MainWindow", "升级固件（仅写入）"),
                    QCoreApplication::translate("MainWindow", "设备应答了型号查询（%1）：它正在运行应用程序，并不在 Bootloader 中等待。\n"
                       "对正在运行的设备，正确的做法是用“开始升级”（检查型号、擦除、写入）。\n\n"
                       "仍要只执行写入阶段吗？")
                        .arg(model));
}

bool FirmwarePage::askWriteToBootloader(const BootloaderTarget &target)
{
    const QString known = target.known ? target.knownModel : QCoreApplication::translate("MainWindow", "（从未读到）");
    if (!askYesNo(window(), QMessageBox::Question, QCoreApplication::translate("MainWindow", "升级固件（仅写入）"),
                  QCoreApplication::translate("MainWindow", "设备未应答型号查询，视为在 Bootloader 中等待。\n\n"
                     "固件文件的型号：%1\n此设备上次读到的型号：%2\n\n"
                     "只执行写入阶段（探测、写入、跳转）吗？")
                      .arg(target.fileModel, known)))
        return false;
    if (target.known && target.matches)
        return true;
    // Without a match nothing vouches for the file: the risk is said plainly.
    const QString risk = target.known
        ? QCoreApplication::translate("MainWindow", "固件文件的型号（%1）与此设备上次读到的型号（%2）不符。").arg(target.fileModel, target.knownModel)
        : QCoreApplication::translate("MainWindow", "从未读到过此设备的型号，无法核对固件文件的型号（%1）。").arg(target.fileModel);
    return askYesNo(window(), QMessageBox::Warning, QCoreApplication::translate("MainWindow", "确认写入"),
                    risk + QStringLiteral("\n")
                        + QCoreApplication::translate("MainWindow", "写入其他型号的固件会使设备无法启动。\n\n确定要写入吗？"));
}
