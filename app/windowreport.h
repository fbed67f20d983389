#pragma once
// Where the pages' words go in the main window: the log pane (and the log
// file), the status icon beside it, and service mode's result line.

#include "app/pages/windowoutput.h"

class LogPane;
class QAbstractButton;
class QWidget;
class ServiceBar;

class WindowReport : public WindowOutput
{
public:
    // window: the main window; body: its right-hand panel, which dialogs cover.
    WindowReport(LogPane &log, QAbstractButton &statusIcon, ServiceBar &serviceBar, QWidget &window, QWidget &body);

    void addLogLine(const QString &text) override;
    void addLogDetail(const QString &text) override;
    void showReachable(bool online) override;
    void showResult(const QString &text) override;
    QString newestLogLine() const override { return newest; }
    bool inServiceMode() const override { return serviceMode; }
    QPoint dialogPlace() const override;

    void setServiceMode(bool on) { serviceMode = on; }

private:
    LogPane &log;
    QAbstractButton &statusIcon;
    ServiceBar &serviceBar;
    QWidget &window;
    QWidget &body;
    QString newest;
    bool serviceMode = false;
};
