// The window's side of its DeviceController: the controller's lines go to the
// log pane, what an open learned to the status icon, and each job's progress
// and end to the page that asked for it. One switch per signal, one case per
// kind of job, so a page adds its own case and nothing else listens.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

void MainWindow::connectController()
{
    // Device actions not yet on the controller keep to the same one at a time.
    deviceController.setSharedActivity(&deviceSession.activity());
    connect(&deviceController, &DeviceController::logLine, this, [this](const QString &text, bool detail) {
        detail ? appendLogDetail(text) : appendLog(text);
    });
    connect(&deviceController, &DeviceController::deviceReachable, this, &MainWindow::showDeviceReachability);
    connect(&deviceController, &DeviceController::progress, this, &MainWindow::deviceJobProgress);
    connect(&deviceController, &DeviceController::finished, this, &MainWindow::deviceJobFinished);
    connectFirmwarePage();
}

void MainWindow::deviceJobProgress(qint64 value, qint64 maximum)
{
    switch (deviceController.runningJob()) {
    case DeviceJob::FirmwareUpgrade:
    case DeviceJob::FirmwareWriteAlone:
        // Bytes of the file being written, whose size came with "writingFile".
        Q_UNUSED(maximum)
        firmwareProgress->setValue(int(value));
        break;
    default:
        break;
    }
}

void MainWindow::deviceJobFinished(DeviceJob kind, bool success, const QVariant &result)
{
    switch (kind) {
    case DeviceJob::FirmwareUpgrade:
    case DeviceJob::FirmwareWriteAlone:
    case DeviceJob::Refresh:
        firmwareJobFinished(kind, success, result);
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
