#include "app/servicehistoryview.h"

#include "device/devicecontroller.h"
#include "history/servicehistoryrecorder.h"

#include <QBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

ServiceHistoryView::ServiceHistoryView(DeviceController &device, ServiceHistoryRecorder &writer, QWidget *parent)
    : QWidget(parent), controller(device), recorder(writer), title(new QLabel(this)), rows(new QTableWidget(this))
{
    setObjectName(QStringLiteral("serviceHistoryView"));
    rows->setObjectName(QStringLiteral("serviceHistoryTable"));
    rows->setColumnCount(5);
    rows->setHorizontalHeaderLabels({tr("时间 (UTC)"), tr("作业"), tr("结果"), tr("秒"), tr("固件")});
    rows->setEditTriggers(QAbstractItemView::NoEditTriggers);
    rows->setSelectionMode(QAbstractItemView::NoSelection);
    rows->verticalHeader()->hide();
    rows->horizontalHeader()->setStretchLastSection(true);
    rows->setFocusPolicy(Qt::NoFocus);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(title);
    layout->addWidget(rows);
    connect(&recorder, &ServiceHistoryRecorder::changed, this, &ServiceHistoryView::refresh);
    connect(&controller, &DeviceController::arrived, this, &ServiceHistoryView::refresh);
    connect(&controller, &DeviceController::left, this, &ServiceHistoryView::refresh);
}

void ServiceHistoryView::refresh()
{
    if (isHidden())
        return;
    const QString serial = controller.deviceIdentity().serial;
    const QVector<HistoryRow> jobs = serial.isEmpty() ? QVector<HistoryRow>() : recorder.lastJobs(serial, JobsShown);
    title->setText(serial.isEmpty() ? tr("最近的作业：未识别设备") : tr("最近的作业：%1").arg(serial));
    rows->setRowCount(jobs.size());
    for (int i = 0; i < jobs.size(); ++i) {
        const HistoryRow &job = jobs.at(jobs.size() - 1 - i);   // newest on top
        const QString firmware = job.firmwareAfter.isEmpty()
                                     ? job.firmwareBefore
                                     : QStringLiteral("%1 → %2").arg(job.firmwareBefore, job.firmwareAfter);
        const QStringList cells{job.time.left(19).replace(QLatin1Char('T'), QLatin1Char(' ')), job.job, job.result,
                                job.seconds < 0 ? QString() : QString::number(job.seconds, 'f', 1), firmware};
        for (int column = 0; column < cells.size(); ++column)
            rows->setItem(i, column, new QTableWidgetItem(cells.at(column)));
    }
    rows->resizeColumnsToContents();
}

void showServiceHistory(QBoxLayout *devicesPage, DeviceController &controller, bool shown)
{
    QWidget *page = devicesPage->parentWidget();
    auto *view = page->findChild<ServiceHistoryView *>();
    auto *recorder = controller.findChild<ServiceHistoryRecorder *>();
    if (!view && (!shown || !recorder))
        return;
    if (!view) {
        view = new ServiceHistoryView(controller, *recorder, page);
        devicesPage->addWidget(view);
    }
    view->setVisible(shown);
    view->refresh();
}
