#include "device/deviceactivity.h"
#include <QCoreApplication>

void DeviceActivity::whenIdle(std::function<void()> fn)
{
    if (busy)
        deferred.push_back(std::move(fn));
    else
        fn();
}

bool DeviceActivity::tryBegin()
{
    if (busy)
        return false;
    busy = true;
    return true;
}

void DeviceActivity::end()
{
    busy = false;
    // A deferred step may itself start an action; take the list first.
    std::vector<std::function<void()>> pending;
    pending.swap(deferred);
    for (auto &fn : pending)
        fn();
}

DeviceActionGuard::DeviceActionGuard(DeviceActivity &activity)
    : activity(activity), owns(activity.tryBegin())
{
}

DeviceActionGuard::~DeviceActionGuard()
{
    if (owns)
        activity.end();
}

QString deviceBusyText()
{
    return QCoreApplication::translate("Device", "设备忙，请等待当前操作完成");
}
