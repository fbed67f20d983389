#include "device/devicewatch.h"

#include "device/deviceactivity.h"
#include "device/devicelink.h"

DeviceWatch::DeviceWatch(DeviceActivity &activity, QObject *parent) : QObject(parent), activity(activity)
{
    connect(&timer, &QTimer::timeout, this, &DeviceWatch::check);
}

void DeviceWatch::start(int intervalMs)
{
    timer.start(intervalMs);
}

void DeviceWatch::stop()
{
    timer.stop();
}

void DeviceWatch::assume(bool nowPresent)
{
    present = nowPresent;
}

void DeviceWatch::check()
{
    if (activity.isBusy())
        return;
    const bool listed = isDeviceListed();
    if (listed == present)
        return;
    present = listed;
    if (listed)
        emit arrived();
    else
        emit left();
}
