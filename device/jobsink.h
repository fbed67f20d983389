#pragma once
// Where a device job reports what it does: log lines, progress, and whether
// the device could be opened. The window writes them to its log pane, progress
// bar and status icon; a terminal program prints them.

#include <QString>
#include <QtGlobal>

class JobSink
{
public:
    virtual ~JobSink() = default;

    // One line of the log. False once whoever started the job has gone (a log
    // line lets the window handle events, and a close may be among them): the
    // job then stops at once and touches nothing more.
    virtual bool log(const QString &text) = 0;
    // value out of maximum; each job says what its values mean.
    virtual void progress(qint64 value, qint64 maximum)
    {
        Q_UNUSED(value)
        Q_UNUSED(maximum)
    }
    // The result of an open that the user's page shows as the status icon.
    virtual void deviceReachable(bool online) { Q_UNUSED(online) }
};
