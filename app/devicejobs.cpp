// The window's side of its DeviceController: the controller's lines go to the
// log pane, and its state holds the device actions' buttons. Each page hears
// the progress and the end of the jobs it started itself.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/actiongate.h"
#include "app/logpane.h"
#include "control/detaillines.h"
#include "control/jobnames.h"
#include "device/openfailure.h"

#include <QPushButton>

void MainWindow::connectController()
{
    connect(&deviceController, &DeviceController::logLine, this, [this](const QString &text, bool detail) {
        detail ? appendLogDetail(text) : appendLog(text);
    });
    // A transfer's line per report reaches the pane as one run per look of
    // the controller rather than a call per line.
    deviceController.setDetailBatches(true);
    connect(&deviceController, &DeviceController::detailLines, this,
            [this](const DetailLines &lines) { logPane->appendDetails(lines); });
    connect(&deviceController, &DeviceController::stateChanged, this, &MainWindow::showDeviceState);
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
        gate->hold(tr("设备正忙：%1").arg(jobTitle(job)));
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
