#include "device/workerwaiter.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

void WorkerWaiter::waitMs(unsigned int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (stopping.load(std::memory_order_acquire))
            return;
        const qint64 left = qint64(milliseconds) - timer.elapsed();
        if (left <= 0)
            return;
        QThread::msleep(static_cast<unsigned long>(std::min<qint64>(left, SliceMs)));
    }
}
