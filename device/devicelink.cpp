#include "device/devicelink.h"

#include "device/protocol.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <hidapi.h>

void waitMs(unsigned int milliseconds)
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

hid_device *openDevice(unsigned short vendorId, unsigned short productId)
{
    for (int attempt = 0; attempt < Protocol::OpenAttempts; ++attempt) {
        if (hid_device *handle = hid_open(vendorId, productId, nullptr))
            return handle;
        waitMs(Protocol::OpenRetryPauseMs);
    }
    return nullptr;
}

hid_device *openDeviceOnce()
{
    return hid_open(Protocol::VendorId, Protocol::ProductId, nullptr);
}

void beginExchange(CommandRecord &record, hid_device *handle)
{
    record = CommandRecord{};
    hid_set_nonblocking(handle, 0);
}

void closeDevice(hid_device *&handle)
{
    if (handle)
        hid_close(handle);
    handle = nullptr;
}
