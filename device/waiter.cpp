#include "device/waiter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <chrono>
#include <thread>

void EventLoopWaiter::waitMs(unsigned int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    const qint64 waitNs = qint64(milliseconds) * 1000000;
    for (;;) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        const qint64 leftNs = waitNs - timer.nsecsElapsed();
        if (leftNs <= 0)
            return;
        // A short nap keeps the wait from spinning a core; input is still
        // handled within a millisecond, and the last nap ends with the wait
        // rather than up to a millisecond after it.
        std::this_thread::sleep_for(std::chrono::nanoseconds(std::min<qint64>(leftNs, 1000000)));
    }
}

void EventLoopWaiter::processEvents()
{
    QCoreApplication::processEvents();
}

void SleepWaiter::waitMs(unsigned int milliseconds)
{
    QThread::msleep(milliseconds);
}

Waiter &eventLoopWaiter()
{
    static EventLoopWaiter waiter;
    return waiter;
}
