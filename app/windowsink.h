#pragma once
// Where the window's own device actions report: the log pane, the status icon,
// and for the firmware upgrade its page's progress bar and labels.

#include "firmware/firmwareupgrade.h"

class MainWindow;

class WindowSink : public FirmwareSink
{
public:
    explicit WindowSink(MainWindow &window) : window(window) {}

    bool log(const QString &text) override;
    bool logDetail(const QString &text) override;
    void progress(qint64 value, qint64 maximum) override;
    void deviceReachable(bool online) override;
    void showFileInfo(const QString &text) override;
    void upgradeStarted() override;
    void writingFile(qint64 size) override;
    void stageStarted(UpgradeStage stage) override;
    bool writeToApplication(const QString &model) override;
    bool writeToBootloader(const BootloaderTarget &target) override;

private:
    MainWindow &window;
};
