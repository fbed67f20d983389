#pragma once
// One page of the main window on its own: the window's form on a plain
// QMainWindow, a device controller whose lines go to the log as the window's
// do, and an output that keeps what the pages said. The status icon is the
// Devices page's: a test that looks at it makes one.

#include "app/pages/windowoutput.h"
#include "control/devicecontroller.h"
#include "device/deviceinfo.h"
#include "ui_mainwindow.h"

#include <QMainWindow>
#include <QStringList>

struct RecordedOutput : WindowOutput
{
    QStringList log;
    QStringList results;
    // Each time the status icon was set: reachable or not.
    QList<bool> statuses;
    bool serviceMode = false;

    void addLogLine(const QString &text) override { log << text; }
    void addLogDetail(const QString &text) override { log << text; }
    void showReachable(bool online) override { statuses << online; }
    void showResult(const QString &text) override { results << text; }
    QString newestLogLine() const override { return log.isEmpty() ? QString() : log.last(); }
    bool inServiceMode() const override { return serviceMode; }
    QPoint dialogPlace() const override { return QPoint(); }
};

struct PageBench
{
    PageBench()
    {
        form.setupUi(&window);
        QObject::connect(&controller, &DeviceController::logLine, &window, [this](const QString &text, bool detail) {
            detail ? output.addLogDetail(text) : output.addLogLine(text);
        });
    }

    RecordedOutput output;
    DeviceInfo info;
    QMainWindow window;
    Ui::MainWindow form;
    // Last, so it goes first: the device thread ends before what it reports to.
    DeviceController controller;
};
