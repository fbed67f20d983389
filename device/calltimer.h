#pragma once
// The hidapi call the device thread is in, as seen from another thread.
//
// hid_write has no time-out, and a device whose endpoint stalls keeps it from
// returning for as long as it stays attached. The thread that is stuck cannot
// say so itself; it marks each call here before making it, and the thread
// that watches it (the window's) reads how far past its own time-out the call
// in flight has run. One atomic value: nothing else is shared.

#include <QtGlobal>

#include <atomic>

class CallTimer
{
public:
    // The device thread, before a call that may take up to timeoutMs on its
    // own (0 for a write, which should return at once).
    void begin(int timeoutMs);
    // The device thread, once the call returned.
    void end();

    // Any thread: milliseconds the call in flight has run past its time-out;
    // negative while it is within it, and when no call is in flight.
    qint64 overdueMs() const;

private:
    static qint64 nowMs();
    static constexpr qint64 NoCall = -1;
    std::atomic<qint64> deadlineMs{NoCall};
};
