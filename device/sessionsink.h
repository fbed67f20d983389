#pragma once
// A job sink for the dialogs that share a session: their lines go out as the
// session's messages, and the job stops once the session has gone (its owner,
// the main window, was destroyed while a log line let events run).

#include "device/devicesession.h"
#include "device/jobsink.h"

#include <QPointer>

class SessionSink : public JobSink
{
public:
    explicit SessionSink(DeviceSession *session) : session(session) {}

    bool log(const QString &text) override { return send(text, false); }
    bool logDetail(const QString &text) override { return send(text, true); }

private:
    bool send(const QString &text, bool detail)
    {
        if (!session)
            return false;
        emit session->message(text, detail);
        return !session.isNull();
    }

public:

private:
    QPointer<DeviceSession> session;
};
