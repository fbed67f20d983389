#include "device/waiter.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

void EventLoopWaiter::waitMs(unsigned int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < qint64(milliseconds)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        // A short nap keeps the wait from spinning a core; input is still
        // handled within a millisecond.
        if (timer.elapsed() < qint64(milliseconds))
            QThread::msleep(1);
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
