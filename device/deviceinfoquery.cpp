#include "device/deviceinfoquery.h"

#include "device/devicesession.h"
#include "device/jobsink.h"
#include "device/knowndevices.h"
#include <QCoreApplication>

DeviceQuery queryDeviceInformation(DeviceSession &session, JobSink &sink, DeviceInfo &info)
{
    DeviceQuery query;
    if (!session.openFor(sink, QCoreApplication::translate("Device", "设备离线"), true))
        return query;
    query.online = true;
    session.beginExchange();
    // Not cleared between items: only replies that pass the length test are decoded.
    ReplyBuffer reply{};
    // Each item is asked for whatever happened to the one before it.
    bool goOn = true;
    const auto ask = [&](quint8 item) {
        if (!goOn)
            return false;
        if (session.ask(makeApplicationBlock(Protocol::OpRead, item), reply))
            return true;
        goOn = sink.log(QCoreApplication::translate("Device", "Read timeout！"));
        return false;
    };

    // What a device says about itself is kept for the day it waits in its
    // bootloader and can say nothing (the firmware write stage alone).
    const DeviceIdentity device = listedDevice(session.devicePath());
    if (ask(Protocol::ItemName)) {
        info.name = decodeDeviceName(reply);
        query.items |= InfoName;
        rememberNameField(device, nameField(reply));
    }
    if (ask(Protocol::ItemFirmwareVersion)) {
        info.firmwareVersion = decodeFirmwareVersion(reply);
        query.items |= InfoFirmwareVersion;
        rememberFirmwareVersion(device, info.firmwareVersion);
    }
    if (ask(Protocol::ItemScreenAndRanges)) {
        applyScreenAndRanges(info, decodeScreenAndRanges(reply));
        query.items |= InfoScreenAndRanges;
    }
    if (ask(Protocol::ItemIdentification)) {
        info.identification = decodeIdentification(reply);
        query.items |= InfoIdentification;
    }
    if (goOn)
        session.close();
    return query;
}
