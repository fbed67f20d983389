#include "app/servicehistoryview.h"

#include "control/devicecontroller.h"
#include "history/servicehistoryrecorder.h"

#include <QBoxLayout>
#include <QLabel>

ServiceHistoryView::ServiceHistoryView(DeviceController &device, ServiceHistoryRecorder &writer, QWidget *parent)
    : QWidget(parent), controller(device), recorder(writer), title(new QLabel(this)), rows(new QLabel(this))
{
    setObjectName(QStringLiteral("serviceHistoryView"));
    rows->setObjectName(QStringLiteral("serviceHistoryList"));
    // Read, not worked: text a screen reader reads as it is, no stop for Tab.
    rows->setTextFormat(Qt::RichText);
    rows->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(title);
    layout->addWidget(rows, 1);
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
    const auto cell = [](const QString &text, const char *tag = "td") {
        return QStringLiteral("<%1 align=\"left\">%2&nbsp;&nbsp;&nbsp;</%1>").arg(QLatin1String(tag), text.toHtmlEscaped());
    };
    QString html = QStringLiteral("<table><tr>") + cell(tr("时间 (UTC)"), "th") + cell(tr("作业"), "th")
                   + cell(tr("结果"), "th") + cell(tr("秒"), "th") + cell(tr("固件"), "th") + QStringLiteral("</tr>");
    // Newest on top.
    for (auto job = jobs.crbegin(); job != jobs.crend(); ++job) {
        const QString firmware = job->firmwareAfter.isEmpty()
                                     ? job->firmwareBefore
                                     : QStringLiteral("%1 → %2").arg(job->firmwareBefore, job->firmwareAfter);
        html += QStringLiteral("<tr>") + cell(job->time.left(19).replace(QLatin1Char('T'), QLatin1Char(' ')))
                + cell(job->job) + cell(job->result)
                + cell(job->seconds < 0 ? QString() : QString::number(job->seconds, 'f', 1)) + cell(firmware)
                + QStringLiteral("</tr>");
    }
    rows->setText(html + QStringLiteral("</table>"));
    shown = jobs.size();
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
