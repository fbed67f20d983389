#pragma once
// The waiter of the device thread: it sleeps, in slices, and gives up the rest
// of a wait once the controller is shutting down (the job stops at its next
// log line anyway, and the program should not wait out a settle for it).

#include "device/waiter.h"

#include <atomic>

class WorkerWaiter : public Waiter
{
public:
    static constexpr unsigned int SliceMs = 100;

    explicit WorkerWaiter(const std::atomic<bool> &stopping) : stopping(stopping) {}
    void waitMs(unsigned int milliseconds) override;
    void processEvents() override {}

private:
    const std::atomic<bool> &stopping;
};
