#pragma once
// The power-curve dialog: shows one of the device's five curves, lets the
// user drag its ten points up and down, reads a curve whenever a group is
// chosen and writes the shown one back on request.

#include "device/commandrecord.h"

#include <QDialog>

class MainWindow;
class QMouseEvent;

namespace Ui {
class lineDlg;
}

class lineDlg : public QDialog
{
    Q_OBJECT

public:
    // mainWindow lends the device handle and tells the device's power range.
    explicit lineDlg(MainWindow *mainWindow, QWidget *parent = nullptr);
    ~lineDlg() override;

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

private:
    void readCurve();
    void drawCurve();
    int checkedCurve() const;

    MainWindow *mainWindow;
    CommandRecord record;
    Ui::lineDlg *ui;
};
