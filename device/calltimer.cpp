#include "device/calltimer.h"

#include <chrono>

qint64 CallTimer::nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void CallTimer::begin(int timeoutMs)
{
    deadlineMs.store(nowMs() + qMax(timeoutMs, 0), std::memory_order_release);
}

void CallTimer::end()
{
    deadlineMs.store(NoCall, std::memory_order_release);
}

qint64 CallTimer::overdueMs() const
{
    const qint64 deadline = deadlineMs.load(std::memory_order_acquire);
    if (deadline == NoCall)
        return -1;
    return nowMs() - deadline;
}
