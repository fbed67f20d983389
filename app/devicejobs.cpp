// The window's side of its DeviceController: the controller's lines go to the
// log pane, what an open learned to the status icon, and each job's progress
// and end to the page that asked for it. One switch per signal, one case per
// kind of job, so a page adds its own case and nothing else listens.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/actiongate.h"
#include "device/openfailure.h"

#include <QPushButton>

namespace {

// What the busy tool tip names.
QString jobName(DeviceJob job)
{
    switch (job) {
    case DeviceJob::DeviceQuery: return MainWindow::tr("读取设备信息");
    case DeviceJob::SlotQuery: return MainWindow::tr("查询图片槽位");
    case DeviceJob::PictureUpload: return MainWindow::tr("上传图片");
    case DeviceJob::FirmwareUpgrade:
    case DeviceJob::FirmwareRecovery:
    case DeviceJob::FirmwareWriteStage: return MainWindow::tr("升级固件");
    case DeviceJob::Refresh: return MainWindow::tr("刷新");
    case DeviceJob::SettingsWrite: return MainWindow::tr("写入设置");
    case DeviceJob::CurveRead: return MainWindow::tr("读取功率曲线");
    case DeviceJob::CurveWrite: return MainWindow::tr("写入功率曲线");
    case DeviceJob::ProfileApply: return MainWindow::tr("写入配置");
    case DeviceJob::None: break;
    }
    return QString();
}

} // namespace

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
    connect(&deviceController, &DeviceController::stateChanged, this, &MainWindow::showDeviceState);
    // The result line beside the service buttons speaks of the running action.
    connect(&deviceController, &DeviceController::jobStarted, this, [this] { showServiceStatus(QString()); });
    connectFirmwarePage();
}

// The Cancel button beside the status icon, shown while a job that takes a
// Cancel runs; the buttons of device actions held while any job runs, while
// the device is stuck, missing, or not this user's to open.
void MainWindow::setupDeviceGate()
{
    gate = new ActionGate(this);
    for (QWidget *button : {static_cast<QWidget *>(ui->pushButton), static_cast<QWidget *>(ui->upgradeFirmwarePushButton),
                            static_cast<QWidget *>(ui->pushButton_2), static_cast<QWidget *>(ui->toolButton_2),
                            static_cast<QWidget *>(ui->toolButton_8), static_cast<QWidget *>(ui->m_btn_Upgtade),
                            static_cast<QWidget *>(ui->toolButton_4), static_cast<QWidget *>(ui->toolButton_10),
                            static_cast<QWidget *>(ui->toolButton_11), static_cast<QWidget *>(ui->toolButton_12),
                            static_cast<QWidget *>(ui->toolButton_13), static_cast<QWidget *>(ui->toolButton_14),
                            static_cast<QWidget *>(ui->toolButton_15), static_cast<QWidget *>(ui->toolButton_16),
                            static_cast<QWidget *>(ui->toolButton_17), static_cast<QWidget *>(ui->toolButton_18)})
        gate->add(button);

    cancelButton = new QPushButton(tr("取消"), ui->widget_3);
    cancelButton->setObjectName(QStringLiteral("cancelJobPushButton"));
    cancelButton->setToolTip(tr("取消正在进行的设备操作（当前这一包数据发完后停止）"));
    cancelButton->setShortcut(QKeySequence(Qt::Key_Escape));
    cancelButton->hide();
    if (auto *column = qobject_cast<QBoxLayout *>(ui->widget_3->layout()))
        column->insertWidget(column->indexOf(ui->toolButton) + 1, cancelButton, 0, Qt::AlignHCenter);
    connect(cancelButton, &QPushButton::clicked, &deviceController, &DeviceController::cancel);
}

void MainWindow::showDeviceState(DeviceState state, DeviceJob job)
{
    switch (state) {
    case DeviceState::Busy:
        gate->hold(tr("设备正忙：%1").arg(jobName(job)));
        break;
    case DeviceState::Unresponsive:
        gate->hold(tr("设备无响应：请拔下设备，再重新连接"));
        appendLog(tr("设备无响应：请拔下设备，再重新连接"));
        showServiceStatus(tr("设备无响应：请拔下设备，再重新连接"));
        showDeviceStatus(false);
        break;
    // What a listing or an open found: the device is not there, or this user
    // may not open it. A device plugged in again is seen by the next listing
    // (within a second), which gives the buttons back.
    case DeviceState::Absent:
        gate->hold(openFailureSummary(OpenFailure::NotAttached));
        break;
    case DeviceState::NotAccessible:
        gate->hold(openFailureSummary(OpenFailure::NotAccessible));
        break;
    case DeviceState::Idle:
        gate->hold(QString());
        break;
    }
    cancelButton->setVisible(deviceController.isCancellable());
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
    case DeviceJob::DeviceQuery:
        deviceQueryFinished(result);
        break;
    case DeviceJob::SettingsWrite:
        settingsWriteFinished(success);
        break;
    case DeviceJob::SlotQuery:
        slotQueryFinished(success, result);
        break;
    case DeviceJob::PictureUpload:
        // The editor sets the bar while it listens; one closed meanwhile no
        // longer does, and a transfer that did not go through leaves no progress.
        if (!success)
            setImageProgress(0);
        break;
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
    // The curve dialog hears the ends of its own reads and writes.
    default:
        break;
    }
}
