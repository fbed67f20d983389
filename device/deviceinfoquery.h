#pragma once
// The device information query: items 0x04 to 0x07, one after the other.

#include "device/deviceinfo.h"

class DeviceSession;
class JobSink;

// The items of the query, as bits of DeviceQuery::items.
enum DeviceInfoItem {
    InfoName = 1 << 0,
    InfoFirmwareVersion = 1 << 1,
    InfoScreenAndRanges = 1 << 2,
    InfoIdentification = 1 << 3,
};

struct DeviceQuery
{
    bool online = false;
    int items = 0; // the items that answered; info holds them
};

// Opens the device (its answer is shown as reachability), asks for each item
// and closes it. Each item that answers updates info; one that does not logs
// "Read timeout！" and leaves its part of info as it was.
DeviceQuery queryDeviceInformation(DeviceSession &session, JobSink &sink, DeviceInfo &info);
