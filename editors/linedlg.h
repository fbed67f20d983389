#pragma once
// The power-curve dialog: shows one of the device's five curves, lets the
// user drag its ten points up and down, reads a curve whenever a group is
// chosen (or all five at once) and writes the shown one back on request.
// Points the device has not received are asked about before another read or
// the closing drops them.
// Reads and writes run on the device thread; the dialog shows their outcome
// when they end, and a read can be cancelled (its Cancel button, or Esc).

#include "control/devicecontroller.h"
#include "device/deviceinfo.h"
#include "settings/curvedragmodel.h"
#include "settings/powercurves.h"

#include <QDialog>
#include <QPointer>

class QKeyEvent;
class QMouseEvent;
class QToolButton;

namespace Ui {
class lineDlg;
}

class lineDlg : public QDialog
{
    Q_OBJECT

public:
    // The curves are read and written as jobs of controller, whose lines
    // reach the log; the dialog's own lines go out as message(). powerHigh is
    // the device's top wattage as last read (0 when unknown), which scales
    // the chart.
    lineDlg(DeviceController *controller, int powerHigh, QWidget *parent = nullptr);
    ~lineDlg() override;

public:
    // The curve shown, dragged and written (0 to 4).
    int shownCurve() const { return currentCurve; }
    // The point being dragged (-1 when none) and the top of the power scale.
    const CurveDragModel &pointDrag() const { return drag; }

    // Copies the shown curve to another group, as the copy menu does.
    void copyShownCurveTo(int target) { copyCurveTo(target); }

    // When on, a write of points above the device's top wattage asks first
    // (default No), as the settings table's write does in service mode.
    void setAsksAboutRange(bool on) { asksAboutRange = on; }

    // Whether the shown curve holds points the device has not received.
    bool hasUnsavedPoints() const { return unsaved; }
    // Asks about unsaved points, if there are any: true when they were
    // discarded (or there were none), false when the dialog is to stay as it
    // is for now. Answered "write", the write starts and the dialog closes
    // itself once the device has the points (after curveWriteFinished()); a
    // failed write keeps it open with them.
    bool mayClose() { return mayLeaveShownCurve(AfterWrite::Close); }

    // Whether a read or write of this dialog runs, and whether it is a read
    // of one curve or of all five (which Cancel and Esc stop).
    bool isDeviceJobRunning() const { return runningJob != DeviceJob::None; }
    bool isReading() const { return runningJob == DeviceJob::CurveRead || runningJob == DeviceJob::CurveReadAll; }

    // Closing by any way (close button, Esc, the main window) asks first.
    void done(int result) override;

signals:
    // A curve write has ended: sent, or refused (busy, device offline).
    void curveWriteFinished(int curve, bool written);
    // The dialog's own log lines (files, the range refusal).
    void message(const QString &text);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void on_radioButton_clicked();
    void on_radioButton_2_clicked();
    void on_radioButton_3_clicked();
    void on_radioButton_4_clicked();
    void on_radioButton_5_clicked();
    void on_toolButton_clicked();
    void on_toolButton_2_clicked();
    void on_exportCsvButton_clicked();
    void on_importCsvButton_clicked();
    void on_readAllButton_clicked();

private:
    // What waits for a write of unsaved points to reach the device.
    enum class AfterWrite { Nothing, Close, ReadChosen, ReadAll };

    void readCurve();
    // Reads the five curves in one job, after asking about unsaved points.
    void readAllCurves();
    // The shown curve's unsaved points: discarded (the curve as it was before
    // them comes back; true), or kept with the dialog as it is (false), while
    // a write of them starts when the user says so; then next follows once
    // the write succeeded.
    bool mayLeaveShownCurve(AfterWrite next);
    // Starts the write of the shown curve after the range question; true
    // when it started. next follows once the device has the points.
    bool writeShownCurve(AfterWrite next);
    void deviceJobFinished(DeviceJob kind, bool success, const QVariant &result);
    void curveReadFinished(bool success, const QVariant &result);
    // One curve of a read of all five, as it arrives.
    void deviceJobNote(DeviceJob kind, const QString &what, const QVariant &value);
    void curveWriteEnded(bool written);
    void cancelRead();
    void setRunningJob(DeviceJob kind);
    bool mayWriteAboveTop();
    // Called before the shown curve's points change by the user's hand.
    void noteEdit();
    void showGroupChecked(int curve);
    // The shown curve's points become curve target's (0-4), which is then shown.
    void copyCurveTo(int target);
    void drawCurve();
    int checkedCurve() const;

    // Guarded: the dialog may outlive the window that owns the controller.
    QPointer<DeviceController> controller;
    Ui::lineDlg *ui;
    // The job this dialog started and waits for (None: none), the curve it
    // reads or writes, and what follows a write of unsaved points.
    DeviceJob runningJob = DeviceJob::None;
    int jobCurve = 0;
    AfterWrite afterWrite = AfterWrite::Nothing;
    int afterWriteResult = 0;
    int afterWriteCurve = 0;
    // The points the running write sends: the curve counts as saved only if
    // it still holds them when the write ends.
    CurvePointsRow writtenPoints{};
    // The device's ranges as last read; power high 0 while unknown.
    ScreenAndRanges ranges;
    bool asksAboutRange = false;
    bool unsaved = false;
    // The shown curve as it was before the unsaved points, for a discard.
    CurvePointsRow beforeEdits{};
    bool heldBeforeEdits = false;
    // The curve shown, dragged and written (0 to 4).
    int currentCurve = 0;
    // The point under the pointer and the power scale it is dragged on.
    CurveDragModel drag;
};
