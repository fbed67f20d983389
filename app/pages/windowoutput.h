#pragma once
// What a page of the main window writes to besides its own controls: the log
// pane, the status icon and service mode's result line, and what it reads of
// the window as a whole. The window's is a WindowReport; a test gives a page
// one that records.

#include <QPoint>
#include <QString>

class WindowOutput
{
public:
    virtual ~WindowOutput() = default;

    // One time-stamped line in the log pane (and the log file).
    virtual void addLogLine(const QString &text) = 0;
    // A detail line of a transfer: may wait a few milliseconds for its batch.
    virtual void addLogDetail(const QString &text) = 0;
    // Status icon: device reachable or not.
    virtual void showReachable(bool online) = 0;
    // Service mode's result line; nothing outside service mode.
    virtual void showResult(const QString &text) = 0;

    // The newest line of the log, which a result line often repeats.
    virtual QString newestLogLine() const = 0;
    // Every page within reach, the log shown, a result for every action.
    virtual bool inServiceMode() const = 0;
    // Where a dialog opened from a page goes: over the window's right-hand body.
    virtual QPoint dialogPlace() const = 0;
};
