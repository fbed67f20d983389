#include "editors/linedlg.h"
#include "ui_linedlg.h"

#include "settings/curveaccessibility.h"
#include "settings/curvecsv.h"
#include "settings/curvedragmodel.h"
#include "settings/chartview.h"
#include "settings/curvefilechooser.h"
#include "settings/settingsranges.h"
#include "settings/unsavedcurvequestion.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QSaveFile>
#include <QtCharts/QChart>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

namespace {

// Enough samples per second for the drawn line to look smooth at 75 pixels a second.
constexpr int LineSamplesPerSecond = 15;

} // namespace

lineDlg::lineDlg(DeviceController *controller, int powerHigh, QWidget *parent)
    : QDialog(parent), controller(controller), ui(new Ui::lineDlg), drag(powerHigh)
{
    ui->setupUi(this);
    // The read's Cancel is there only while a read runs.
    ui->cancelReadButton->hide();
    connect(ui->cancelReadButton, &QToolButton::clicked, this, &lineDlg::cancelRead);
    if (controller) {
        connect(controller, &DeviceController::finished, this, &lineDlg::deviceJobFinished);
        connect(controller, &DeviceController::jobNote, this, &lineDlg::deviceJobNote);
    }
    ranges.powerHigh = powerHigh;
    // The readout shows nothing until a point is dragged: no empty box over the plot.
    ui->label_4->hide();
    auto *copyMenu = new QMenu(ui->copyCurveButton);
    for (int curve = 0; curve < CurveCount; ++curve)
        copyMenu->addAction(QStringLiteral("M%1").arg(curve + 1), this, [this, curve] { copyCurveTo(curve); });
    ui->copyCurveButton->setMenu(copyMenu);
    ui->copyCurveButton->setPopupMode(QToolButton::InstantPopup);
    makeCurveDialogAccessible(this);
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
    // While the device reads or takes a curve the points stay as they are.
    if (isDeviceJobRunning())
        return;
    drag.press(event->pos().x(), curveTable[size_t(currentCurve)]);
}

void lineDlg::mouseMoveEvent(QMouseEvent *event)
{
    const int watts = drag.dragTo(event->pos().y(), curveTable[size_t(currentCurve)]);
    if (watts < 0)
        return;
    noteEdit();
    curveTable[size_t(currentCurve)][size_t(drag.heldPoint())] = watts;
    curveHeld[size_t(currentCurve)] = true;
    drawCurve();
    ui->label_4->setText(curvePointReadout(drag.heldPoint(), watts));
    ui->label_4->show();
}

// The power axis may change its top once the drag is over (a point dragged
// down from above the device's top no longer holds it up).
void lineDlg::mouseReleaseEvent(QMouseEvent *)
{
    if (drag.release())
        drawCurve();
}

// --- groups, close and write

// A read still running is cancelled: its points would have no dialog to go to.
void lineDlg::done(int result)
{
    cancelRead();
    afterWriteResult = result;
    if (!mayLeaveShownCurve(AfterWrite::Close))
        return;
    QDialog::done(result);
}

// Esc during a read stops the read and leaves the dialog open.
void lineDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && isReading()) {
        cancelRead();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void lineDlg::cancelRead()
{
    if (isReading() && controller)
        controller->cancel();
}

void lineDlg::setRunningJob(DeviceJob kind)
{
    runningJob = kind;
    ui->cancelReadButton->setVisible(isReading());
}

// Only the end of a job this dialog started counts: the controller runs one
// job at a time, so a kind of its own still waited for is the one that ended.
void lineDlg::deviceJobFinished(DeviceJob kind, bool success, const QVariant &result)
{
    if (kind != runningJob)
        return;
    setRunningJob(DeviceJob::None);
    if (kind == DeviceJob::CurveRead)
        curveReadFinished(success, result);
    else if (kind == DeviceJob::CurveReadAll)
        drawCurve();   // the group chosen meanwhile, with what came back
    else
        curveWriteEnded(success);
}

// Each curve of a read of all five replaces the dialog's copy as it arrives,
// so that a Cancel keeps what was read before it. Points of the shown curve
// the device has not received (imported meanwhile) stay, to be asked about.
void lineDlg::deviceJobNote(DeviceJob kind, const QString &what, const QVariant &value)
{
    if (kind != DeviceJob::CurveReadAll || runningJob != kind || what != QLatin1String("curveRead"))
        return;
    const QVariantList curveAndPoints = value.toList();
    const int curve = curveAndPoints.value(0).toInt();
    const CurveReadResult points = curveAndPoints.value(1).value<CurveReadResult>();
    if (!points || curve < 0 || curve >= CurveCount || (curve == currentCurve && unsaved))
        return;
    curveTable[size_t(curve)] = *points;
    curveHeld[size_t(curve)] = true;
    if (curve == currentCurve)
        drawCurve();
}

// A read that failed or was cancelled leaves the points as they were, and so
// does one that finds the shown curve changed meanwhile (imported or copied
// over): those points are asked about before anything replaces them.
void lineDlg::curveReadFinished(bool success, const QVariant &result)
{
    const CurveReadResult points = result.value<CurveReadResult>();
    if (!success || !points || jobCurve != currentCurve || unsaved)
        return;
    curveTable[size_t(jobCurve)] = *points;
    curveHeld[size_t(jobCurve)] = true;
    drawCurve();
}

// A write that reached the device saves the points it sent; then the closing
// or the other group waiting for it follows. A failed one keeps the dialog
// open with its points, still unsaved.
void lineDlg::curveWriteEnded(bool written)
{
    const AfterWrite next = afterWrite;
    afterWrite = AfterWrite::Nothing;
    if (written && jobCurve == currentCurve && curveTable[size_t(jobCurve)] == writtenPoints)
        unsaved = false;
    emit curveWriteFinished(jobCurve, written);
    if (!written)
        return;
    switch (next) {
    case AfterWrite::Nothing:
        break;
    case AfterWrite::Close:
        done(afterWriteResult);
        break;
    case AfterWrite::ReadChosen:
        showGroupChecked(afterWriteCurve);
        readCurve();
        break;
    case AfterWrite::ReadAll:
        readAllCurves();
        break;
    }
}

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

void lineDlg::on_readAllButton_clicked()
{
    readAllCurves();
}

void lineDlg::on_toolButton_clicked()
{
    close();
}

void lineDlg::on_toolButton_2_clicked()
{
    writeShownCurve(AfterWrite::Nothing);
}

// The curve written is the one the last read selected, with whatever was
// dragged since; the device sends no answer. A write refused (another job
// running: the controller logs it) ends at once.
bool lineDlg::writeShownCurve(AfterWrite next)
{
    if (!controller)
        return false;
    const int curve = currentCurve;
    if (!mayWriteAboveTop() || !controller->startCurveWrite(curve, curveTable[size_t(curve)])) {
        emit curveWriteFinished(curve, false);
        return false;
    }
    jobCurve = curve;
    writtenPoints = curveTable[size_t(curve)];
    afterWrite = next;
    setRunningJob(DeviceJob::CurveWrite);
    return true;
}

// The same rule as the settings table's: points above the device's top are
// listed, and written only when the user says so.
bool lineDlg::mayWriteAboveTop()
{
    if (!asksAboutRange)
        return true;
    const QVector<QPoint> above = curvePointsAboveTop(curveTable[size_t(currentCurve)], ranges);
    if (above.isEmpty())
        return true;
    QStringList lines;
    for (const QPoint &point : above)
        lines << curvePointAboveText(currentCurve, point, ranges);
    const bool write = QMessageBox::question(this, tr("超出设备范围"),
                                             tr("以下功率超出设备报告的范围：\n%1\n仍要写入设备吗？")
                                                 .arg(lines.join(QLatin1Char('\n'))),
                                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                       == QMessageBox::Yes;
    if (!write)
        emit message(tr("功率曲线 M%1 超出设备范围，未写入设备").arg(currentCurve + 1));
    return write;
}

bool lineDlg::mayLeaveShownCurve(AfterWrite next)
{
    if (!unsaved)
        return true;
    // The points are on their way to the device: what follows is the latest wish.
    if (runningJob == DeviceJob::CurveWrite) {
        afterWrite = next;
        return false;
    }
    switch (askAboutUnsavedCurve(this, currentCurve)) {
    case UnsavedCurveAnswer::Write:
        // The dialog stays as it is until the write has ended.
        writeShownCurve(next);
        return false;
    case UnsavedCurveAnswer::Discard:
        curveTable[size_t(currentCurve)] = beforeEdits;
        curveHeld[size_t(currentCurve)] = heldBeforeEdits;
        unsaved = false;
        drawCurve();
        return true;
    case UnsavedCurveAnswer::Cancel:
        break;
    }
    return false;
}

void lineDlg::noteEdit()
{
    if (unsaved)
        return;
    beforeEdits = curveTable[size_t(currentCurve)];
    heldBeforeEdits = curveHeld[size_t(currentCurve)];
    unsaved = true;
}

void lineDlg::on_exportCsvButton_clicked()
{
    const QString path = askForCurveFile(this, true, QStringLiteral("M%1.csv").arg(currentCurve + 1));
    if (path.isEmpty())
        return;
    QSaveFile file(path);
    const bool saved = file.open(QIODevice::WriteOnly)
                       && file.write(curveToCsv(curveTable[size_t(currentCurve)])) >= 0 && file.commit();
    emit message(saved ? tr("已导出功率曲线 M%1：%2").arg(currentCurve + 1).arg(path)
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
        emit message(tr("%1：%2").arg(path, load.error));
        return;
    }
    noteEdit();
    curveTable[size_t(currentCurve)] = load.points;
    curveHeld[size_t(currentCurve)] = true;
    drawCurve();
    emit message(tr("已导入功率曲线 M%1：%2").arg(currentCurve + 1).arg(path));
}

// The copy is shown, ready to be written, without reading the device over it;
// it is unsaved until written. Unsaved points of the curve copied from went
// with the copy and stay in that curve too.
void lineDlg::copyCurveTo(int target)
{
    if (target < 0 || target >= CurveCount || target == currentCurve)
        return;
    const CurvePointsRow points = curveTable[size_t(currentCurve)];
    unsaved = false;
    currentCurve = target;
    noteEdit();
    curveTable[size_t(target)] = points;
    curveHeld[size_t(target)] = true;
    showGroupChecked(target);
    drawCurve();
}

void lineDlg::showGroupChecked(int curve)
{
    QRadioButton *groups[] = {ui->radioButton, ui->radioButton_2, ui->radioButton_3, ui->radioButton_4,
                              ui->radioButton_5};
    groups[curve]->setChecked(true);
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
// chart then keeps the previous curve until the next redraw. The points are
// shown when the read ends.
// Unsaved points are asked about first; staying keeps the shown group checked
// (and when they are being written, the chosen group follows the write).
void lineDlg::readCurve()
{
    afterWriteCurve = checkedCurve();
    if (!mayLeaveShownCurve(AfterWrite::ReadChosen)) {
        showGroupChecked(currentCurve);
        return;
    }
    currentCurve = afterWriteCurve;
    if (controller && controller->startCurveRead(currentCurve)) {
        jobCurve = currentCurve;
        setRunningJob(DeviceJob::CurveRead);
    }
}

// The shown curve stays the one chosen; unsaved points are asked about first,
// as before a read of one curve.
void lineDlg::readAllCurves()
{
    if (!mayLeaveShownCurve(AfterWrite::ReadAll))
        return;
    if (controller && controller->startCurveReadAll())
        setRunningJob(DeviceJob::CurveReadAll);
}

// Every point is drawn at its own second and value: the power axis reaches
// up to the highest point when that lies above the device's top, which is
// then marked by a dashed line and the points above it in red.
void lineDlg::drawCurve()
{
    const CurvePointsRow &points = curveTable[size_t(currentCurve)];
    const int top = drag.chartTop(points);

    auto *line = new QLineSeries;
    line->replace(curveLine(points, LineSamplesPerSecond));
    QPen curvePen(QColor(200, 10, 0, 255));
    curvePen.setWidth(2);
    line->setPen(curvePen);
    auto *scatter = new QScatterSeries;
    auto *above = new QScatterSeries;
    above->setColor(QColor(230, 20, 20));
    for (int j = 0; j < CurvePoints; ++j) {
        scatter->append(j, points[size_t(j)]);
        if (ranges.powerHigh > 0 && points[size_t(j)] > ranges.powerHigh)
            above->append(j, points[size_t(j)]);
    }

    auto *chart = new QChart;
    chart->addSeries(line);
    chart->addSeries(scatter);
    chart->addSeries(above);
    if (ranges.powerHigh > 0 && top > ranges.powerHigh) {
        auto *deviceTop = new QLineSeries;
        deviceTop->append(0, ranges.powerHigh);
        deviceTop->append(CurvePoints - 1, ranges.powerHigh);
        QPen dashed(QColor(120, 120, 120));
        dashed.setStyle(Qt::DashLine);
        deviceTop->setPen(dashed);
        chart->addSeries(deviceTop);
    }
    chart->legend()->hide();

    // Small print, so that the watts and the axis title fit left of the
    // plot; smaller still for four- and five-digit watts.
    QFont smallFont = font();
    smallFont.setPointSize(7);
    QFont wattsFont = font();
    wattsFont.setPointSize(top >= 1000 ? 6 : 7);
    auto *seconds = new QValueAxis;
    seconds->setLabelFormat(QStringLiteral("%i.0"));
    seconds->setTickCount(CurvePoints);
    seconds->setRange(0, CurvePoints - 1);
    seconds->setTitleText(tr("时间（s）"));
    seconds->setTitleFont(smallFont);
    chart->addAxis(seconds, Qt::AlignBottom);

    auto *watts = new QValueAxis;
    watts->setLabelFormat(QStringLiteral("%i"));
    watts->setRange(0, top);
    watts->setTitleText(tr("功率（W）"));
    watts->setTitleFont(smallFont);
    chart->addAxis(watts, Qt::AlignLeft);
    // Each series on both axes: one left off the seconds axis would be
    // spread over the width by its own points.
    for (auto *series : chart->series()) {
        series->attachAxis(seconds);
        series->attachAxis(watts);
    }

    chart->setBackgroundBrush(QColor(220, 220, 220));
    const QPen axisLine(QColor(50, 50, 50));
    const QPen grid(Qt::DotLine);
    watts->setLabelsFont(wattsFont);
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
    describeCurveChart(ui->widget, currentCurve, points);
}
