#pragma once
// Keeps device actions from overlapping.
//
// Waits and log lines process events, so a click can arrive while a device
// action is still running on the one shared handle. Only one action may run
// at a time; work that must not cut into a running action (closing the
// window) is deferred until it ends.

#include <QString>

#include <functional>
#include <vector>

class DeviceActivity
{
public:
    bool isBusy() const { return busy; }

    // Runs fn now when idle, else right after the running action ends.
    void whenIdle(std::function<void()> fn);

private:
    friend class DeviceActionGuard;
    bool tryBegin();
    void end();

    bool busy = false;
    std::vector<std::function<void()>> deferred;
};

// The one log line of a device action refused while another runs.
QString deviceBusyText();

// Scope of one device action. Test it before touching the device:
//   DeviceActionGuard guard(activity);
//   if (!guard) { ...refuse...; return; }
class DeviceActionGuard
{
public:
    explicit DeviceActionGuard(DeviceActivity &activity);
    ~DeviceActionGuard();
    DeviceActionGuard(const DeviceActionGuard &) = delete;
    DeviceActionGuard &operator=(const DeviceActionGuard &) = delete;

    explicit operator bool() const { return owns; }

private:
    DeviceActivity &activity;
    bool owns;
};
