#include "settings/linedlg.h"
#include "ui_linedlg.h"

#include "device/devicesession.h"
#include "device/sessionsink.h"
#include "settings/curvecsv.h"
#include "settings/curveexchange.h"
#include "settings/chartview.h"
#include "settings/curvefilechooser.h"
#include "settings/powercurves.h"

#include <QMenu>
#include <QMouseEvent>
#include <QSaveFile>
#include <QtCharts/QChart>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QSplineSeries>
#include <QtCharts/QValueAxis>

lineDlg::lineDlg(DeviceSession *session, int powerHigh, QWidget *parent)
    : QDialog(parent), session(session), ui(new Ui::lineDlg)
{
    ui->setupUi(this);
    auto *copyMenu = new QMenu(ui->copyCurveButton);
    for (int curve = 0; curve < CurveCount; ++curve)
        copyMenu->addAction(QStringLiteral("M%1").arg(curve + 1), this, [this, curve] { copyCurveTo(curve); });
    ui->copyCurveButton->setMenu(copyMenu);
    ui->copyCurveButton->setPopupMode(QToolButton::InstantPopup);
    setPowerScale(powerHigh);
    drawCurve();
    readCurve();
}

lineDlg::~lineDlg()
{
    delete ui;
}

// --- dragging a point: only the height of the pointer counts

void lineDlg::mousePressEvent(QMouseEvent *event)
{
    const int hit = curvePointAt(event->pos().x());
    if (hit >= 0)
        selectedPoint = hit;
}

void lineDlg::mouseMoveEvent(QMouseEvent *event)
{
    if (selectedPoint < 0 || selectedPoint >= CurvePoints)
        return;
    const int watts = draggedWatts(event->pos().y(), maxWattage);
    curveTable[size_t(currentCurve)][size_t(selectedPoint)] = watts;
    curveHeld[size_t(currentCurve)] = true;
    drawCurve();
    ui->label_4->setText(curvePointReadout(selectedPoint, watts));
}

void lineDlg::mouseReleaseEvent(QMouseEvent *)
{
    selectedPoint = -1;
}

// --- groups, close and write

void lineDlg::on_radioButton_clicked()
{
    readCurve();
}

void lineDlg::on_radioButton_2_clicked()
{
    readCurve();
}

void lineDlg::on_radioButton_3_clicked()
{
    readCurve();
}

void lineDlg::on_radioButton_4_clicked()
{
    readCurve();
}

void lineDlg::on_radioButton_5_clicked()
{
    readCurve();
}

void lineDlg::on_toolButton_clicked()
{
    close();
}

// The curve written is the one the last read selected, with whatever was
// dragged since; the device sends no answer.
void lineDlg::on_toolButton_2_clicked()
{
    if (!session)
        return;
    SessionSink sink(session);
    DeviceActionGuard guard(session->activity());
    if (!guard) {
        sink.log(deviceBusyText());
        emit curveWriteFinished(currentCurve, false);
        return;
    }
    const bool written = writeCurve(*session, sink, currentCurve, curveTable[size_t(currentCurve)]);
    emit curveWriteFinished(currentCurve, written);
}

void lineDlg::on_exportCsvButton_clicked()
{
    const QString path = askForCurveFile(this, true, QStringLiteral("M%1.csv").arg(currentCurve + 1));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const bool saved = file.open(QIODevice::WriteOnly)
                       && file.write(curveToCsv(curveTable[size_t(currentCurve)])) >= 0 && file.commit();
    SessionSink(session).log(saved ? tr("已导出功率曲线 M%1：%2").arg(currentCurve + 1).arg(path)
                                   : tr("功率曲线无法导出：%1").arg(path));
}

// An imported curve replaces the shown one here only; the write button sends it.
void lineDlg::on_importCsvButton_clicked()
{
    const QString path = askForCurveFile(this, false, QString());
    if (path.isEmpty())
        return;
    const CurveCsvLoad load = loadCurveCsvFile(path);
    if (!load.ok()) {
        SessionSink(session).log(tr("%1：%2").arg(path, load.error));
        return;
    }
    curveTable[size_t(currentCurve)] = load.points;
    curveHeld[size_t(currentCurve)] = true;
    drawCurve();
    SessionSink(session).log(tr("已导入功率曲线 M%1：%2").arg(currentCurve + 1).arg(path));
}

void lineDlg::copyCurveTo(int target)
{
    if (target < 0 || target >= CurveCount)
        return;
    curveTable[size_t(target)] = curveTable[size_t(currentCurve)];
    curveHeld[size_t(target)] = true;
    // The copy is shown, ready to be written, without reading the device over it.
    QRadioButton *groups[] = {ui->radioButton, ui->radioButton_2, ui->radioButton_3, ui->radioButton_4,
                              ui->radioButton_5};
    groups[target]->setChecked(true);
    currentCurve = target;
    drawCurve();
}

int lineDlg::checkedCurve() const
{
    const QRadioButton *groups[] = {ui->radioButton, ui->radioButton_2, ui->radioButton_3, ui->radioButton_4,
                                    ui->radioButton_5};
    for (int i = 0; i < CurveCount; ++i) {
        if (groups[i]->isChecked())
            return i;
    }
    return currentCurve;
}

// The chosen group becomes the current curve even when the read fails; the
// chart then keeps the previous curve until the next redraw.
// A log line handles pending events, and a click on the close button among
// them may end the dialog: after logging, the dialog is touched only when a
// curve arrived, which logs nothing.
void lineDlg::readCurve()
{
    currentCurve = checkedCurve();
    if (!session)
        return;
    SessionSink sink(session);
    DeviceActionGuard guard(session->activity());
    if (!guard) {
        sink.log(deviceBusyText());
        return;
    }
    if (const auto points = ::readCurve(*session, sink, currentCurve)) {
        curveTable[size_t(currentCurve)] = *points;
        curveHeld[size_t(currentCurve)] = true;
        drawCurve();
    }
}

void lineDlg::drawCurve()
{
    auto *spline = new QSplineSeries;
    auto *scatter = new QScatterSeries;
    // Points above the top of the power axis are drawn at the top and marked
    // red; the curve itself keeps their values.
    auto *clipped = new QScatterSeries;
    clipped->setColor(QColor(230, 20, 20));
    const CurvePointsRow &points = curveTable[size_t(currentCurve)];
    for (int j = 0; j < CurvePoints; ++j) {
        const qint32 shown = qMin(points[size_t(j)], maxWattage);
        spline->append(j, shown);
        (points[size_t(j)] > maxWattage ? clipped : scatter)->append(j, shown);
    }
    QPen curvePen(QColor(200, 10, 0, 255));
    curvePen.setWidth(2);
    spline->setPen(curvePen);

    auto *chart = new QChart;
    chart->addSeries(spline);
    chart->addSeries(scatter);
    chart->addSeries(clipped);
    chart->legend()->hide();

    auto *seconds = new QValueAxis;
    seconds->setLabelFormat(QStringLiteral("%i.0"));
    seconds->setTickCount(spline->count());
    chart->addAxis(seconds, Qt::AlignBottom);
    spline->attachAxis(seconds);

    auto *watts = new QValueAxis;
    watts->setLabelFormat(QStringLiteral("%i"));
    chart->addAxis(watts, Qt::AlignLeft);
    spline->attachAxis(watts);
    scatter->attachAxis(watts);
    clipped->attachAxis(seconds);
    clipped->attachAxis(watts);
    watts->setRange(0, maxWattage);

    chart->setBackgroundBrush(QColor(220, 220, 220));
    const QPen axisLine(QColor(50, 50, 50));
    const QPen grid(Qt::DotLine);
    for (QValueAxis *axis : {seconds, watts}) {
        axis->setLinePen(axisLine);
        axis->setGridLinePen(grid);
    }

    // The drag reads the plot from fixed dialog pixels, so the plot area is
    // pinned there rather than left to the chart's own layout. The chart
    // covers the whole chart view, so view pixels are chart pixels.
    const QPoint firstTop = ui->widget->mapFrom(this, QPoint(CurvePlot::FirstPointX, CurvePlot::TopY));
    const QPoint lastBottom = ui->widget->mapFrom(
        this, QPoint(CurvePlot::FirstPointX + CurvePlot::PointSpacing * (CurvePoints - 1), CurvePlot::BottomY));
    chart->setPlotArea(QRectF(QPointF(firstTop), QPointF(lastBottom)));

    QChart *previous = ui->widget->chart();
    ui->widget->setChart(chart);
    delete previous;
    ui->widget->setRenderHint(QPainter::Antialiasing);
}
