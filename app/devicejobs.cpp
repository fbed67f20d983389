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
}

void MainWindow::deviceJobProgress(qint64 value, qint64 maximum)
{
    Q_UNUSED(value)
    Q_UNUSED(maximum)
    switch (deviceController.runningJob()) {
    default:
        break;
    }
}

void MainWindow::deviceJobFinished(DeviceJob kind, bool success, const QVariant &result)
{
    switch (kind) {
    case DeviceJob::SlotQuery:
        slotQueryFinished(success, result);
        break;
    case DeviceJob::PictureUpload:
        // The editor sets the bar while it listens; one closed meanwhile no
        // longer does, and a transfer that did not go through leaves no progress.
        if (!success)
            setImageProgress(0);
        break;
    default:
        break;
    }
}
