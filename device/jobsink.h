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
    // A line of the fine detail a transfer logs by the thousand (the number of
    // each data report, the bytes of the model check). The same as log()
    // unless the sink gathers such lines up.
    virtual bool logDetail(const QString &text) { return log(text); }
    // value out of maximum; each job says what its values mean.
    virtual void progress(qint64 value, qint64 maximum)
    {
        Q_UNUSED(value)
        Q_UNUSED(maximum)
    }
    // The result of an open that the user's page shows as the status icon.
    virtual void deviceReachable(bool online) { Q_UNUSED(online) }
};
