#pragma once
// The power-curve dialog: shows one of the device's five curves, lets the
// user drag its ten points up and down, reads a curve whenever a group is
// chosen and writes the shown one back on request. Points the device has not
// received are asked about before another read or the closing drops them.

#include "device/deviceinfo.h"
#include "settings/powercurves.h"

#include <QDialog>
#include <QPointer>

class DeviceSession;
class QMouseEvent;

namespace Ui {
class lineDlg;
}

class lineDlg : public QDialog
{
    Q_OBJECT

public:
    // The curves are read and written through session, whose messages carry
    // the dialog's log lines; powerHigh is the device's top wattage as last
    // read (0 when unknown), which scales the chart.
    lineDlg(DeviceSession *session, int powerHigh, QWidget *parent = nullptr);
    ~lineDlg() override;

public:
    // Copies the shown curve to another group, as the copy menu does.
    void copyShownCurveTo(int target) { copyCurveTo(target); }

    // When on, a write of points above the device's top wattage asks first
    // (default No), as the settings table's write does in service mode.
    void setAsksAboutRange(bool on) { asksAboutRange = on; }

    // Whether the shown curve holds points the device has not received.
    bool hasUnsavedPoints() const { return unsaved; }
    // Asks about unsaved points, if there are any: true when they were
    // written or discarded, false when the dialog is to stay as it is.
    bool mayClose() { return mayLeaveShownCurve(); }

    // Closing by any way (close button, Esc, the main window) asks first.
    void done(int result) override;

signals:
    // A curve write has ended: sent, or refused (busy, device offline).
    void curveWriteFinished(int curve, bool written);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

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

private:
    void readCurve();
    // The shown curve's unsaved points: written, discarded (the curve as it
    // was before them comes back) or kept with the dialog as it is (false).
    bool mayLeaveShownCurve();
    // Writes the shown curve after the range question; true when it went out.
    bool writeShownCurve();
    bool mayWriteAboveTop();
    // Called before the shown curve's points change by the user's hand.
    void noteEdit();
    void showGroupChecked(int curve);
    // The shown curve's points become curve target's (0-4), which is then shown.
    void copyCurveTo(int target);
    void drawCurve();
    int checkedCurve() const;

    // Guarded: the dialog may outlive the window that owns the session.
    QPointer<DeviceSession> session;
    Ui::lineDlg *ui;
    // The device's ranges as last read; power high 0 while unknown.
    ScreenAndRanges ranges;
    bool asksAboutRange = false;
    bool unsaved = false;
    // The shown curve as it was before the unsaved points, for a discard.
    CurvePointsRow beforeEdits{};
    bool heldBeforeEdits = false;
    // The power axis keeps its top while a point is dragged, so the point
    // follows the pointer; 0 when no drag is on.
    int dragScaleTop = 0;
};
