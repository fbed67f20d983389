#include "settings/settingswrite.h"

#include "device/devicesession.h"
#include "device/jobsink.h"

bool writeSettings(DeviceSession &session, JobSink &sink, const SettingsValues &values)
{
    if (!session.openFor(sink, QStringLiteral("设备离线"), true))
        return false;
    session.beginExchange();
    // The device does not answer settings writes; block 2 follows block 1 at once.
    session.send(settingsBlock1(values));
    session.send(settingsBlock2(values));
    session.close();
    return true;
}
