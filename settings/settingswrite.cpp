#include "settings/settingswrite.h"

#include "device/devicesession.h"
#include "device/jobsink.h"
#include <QCoreApplication>

bool writeSettings(DeviceSession &session, JobSink &sink, const SettingsValues &values)
{
    if (!session.openFor(sink, QCoreApplication::translate("Settings", "设备离线"), true))
        return false;
    session.beginExchange();
    // The device does not answer settings writes; block 2 follows block 1 at once.
    const bool first = session.send(settingsBlock1(values)) == ReportOk;
    const bool second = session.send(settingsBlock2(values)) == ReportOk;
    // A block that did not go out whole is never reported as written.
    const bool written = first && second;
    if (!written && !sink.log(QCoreApplication::translate("Settings", "发送设置失败：设备未收到全部数据")))
        return false;
    session.close();
    return written;
}
