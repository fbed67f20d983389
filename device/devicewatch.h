#pragma once
// Notices the device arriving and leaving.
//
// Presence is what the system lists (hid_enumerate), looked at once a second.
// That works the same with every hidapi backend and with the emulated device,
// and it never opens the device or sends it anything. While a device action
// holds the session the watch does not look at all, so it cannot cut into the
// action; a change meanwhile is seen at the first look after the action ends.
//
// A platform that hears of devices coming and going (udev events, a window
// message) may call check() when it does, to notice sooner; the poll stays,
// so nothing depends on such a source.

#include <QObject>
#include <QTimer>

class DeviceActivity;

class DeviceWatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int PollIntervalMs = 1000;
    // A device that has just appeared may not open for a moment: udev gives its
    // node the user's permissions after it is listed.
    static constexpr int ArrivalSettleMs = 250;

    explicit DeviceWatch(DeviceActivity &activity, QObject *parent = nullptr);

    // Looks once every interval from now on, starting from what is assumed.
    void start(int intervalMs = PollIntervalMs);
    void stop();
    bool isRunning() const { return timer.isActive(); }

    // What a device action has just learned (the device opened, or the system
    // did or did not list it): the watch goes on from there without a signal,
    // so a device the action already handled is not reported again.
    void assume(bool present);
    bool isPresent() const { return present; }

public slots:
    // One look now, unless a device action runs; arrived() or left() when the
    // device's presence changed since the last look.
    void check();

signals:
    void arrived();
    void left();

private:
    DeviceActivity &activity;
    QTimer timer;
    bool present = false;
};
