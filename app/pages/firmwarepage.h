#pragma once
// The Upgrade page: choosing the firmware file, the full upgrade, the write
// stage alone (its button is shown in service mode only), the refresh command,
// and writing back the backup an upgrade saved before its erase.

#include "control/devicejob.h"
#include "firmware/firmwareupgrade.h"

#include <QCoreApplication>
#include <QObject>

#include <functional>
#include <memory>

class DeviceController;
struct DeviceInfo;
class ProgressThrottle;
class SettingsPage;
class WindowOutput;
namespace Ui {
class MainWindow;
}

// Asked when the window is closed while the firmware is erased or written:
// true closes at once and leaves the device in its bootloader; false lets the
// upgrade finish first. Tests answer without a dialog; an empty function
// restores the message box.
using FirmwareCloseQuestion = std::function<bool(QWidget *parent)>;
void setFirmwareCloseQuestion(FirmwareCloseQuestion question);

class FirmwarePage : public QObject
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    // info: what the Devices page read last; settings: the table a backup
    // before the erase saves.
    FirmwarePage(Ui::MainWindow &ui, DeviceController &controller, WindowOutput &output, const DeviceInfo &info,
                 const SettingsPage &settings, QObject *parent = nullptr);
    ~FirmwarePage() override;

    // The page's buttons.
    void chooseFile();
    void startUpgrade();
    void startWriteAlone();
    void sendRefresh();

    // The two buttons say what they do in service mode, where the write stage
    // alone is shown.
    void serviceModeChanged();
    // The erase or the write stage is under way: a close asks first.
    bool isWriting() const { return writing; }
    // False when the user keeps the window open while the firmware is erased
    // or written (the close then waits for the upgrade's end).
    bool mayCloseDuringWrite();
    // The user closed the window: no backup is offered any more.
    void windowClosed() { closed = true; }

private:
    void resetUpgradePage();
    void releaseWriteStageButton();
    void showRefusal(const QString &text);
    bool confirmUpgrade(const QString &path);
    void stageNote(DeviceJob kind, const QString &what, const QVariant &value);
    void jobProgress(qint64 value);
    void jobFinished(DeviceJob kind, bool success, const QVariant &result);
    void upgradeFinished(Firmware::UpgradeResult result);
    void writeAloneFinished(Firmware::UpgradeResult result);
    void showUpgradeOutcome(Firmware::UpgradeResult result);
    void offerBackupRestore(const QString &backup);
    void backupRestoreFinished(bool written);
    // What the upgrade's stages show on the page.
    void upgradeStarted();
    void stageStarted(UpgradeStage stage);
    bool askWriteToApplication(const QString &model);
    bool askWriteToBootloader(const BootloaderTarget &target);
    QWidget *window() const;

    Ui::MainWindow &ui;
    DeviceController &controller;
    WindowOutput &output;
    const DeviceInfo &info;
    const SettingsPage &settings;
    std::unique_ptr<ProgressThrottle> progress;
    // While its job runs: the erase or the write stage is under way (no
    // Cancel, a close asks first); the backup saved before the erase; the
    // backup being written back.
    bool writing = false;
    QString upgradeBackup;
    QString restoringBackup;
    bool closed = false;
};
