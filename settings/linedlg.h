#pragma once
// The power-curve dialog: shows one of the device's five curves, lets the
// user drag its ten points up and down, reads a curve whenever a group is
// chosen and writes the shown one back on request.

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
    // The shown curve's points become curve target's (0-4), which is then shown.
    void copyCurveTo(int target);
    void drawCurve();
    int checkedCurve() const;

    // Guarded: the dialog may outlive the window that owns the session.
    QPointer<DeviceSession> session;
    Ui::lineDlg *ui;
};
