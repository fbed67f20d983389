#include "device/devicelink.h"

#include "device/protocol.h"

#include <hidapi.h>

void waitMs(unsigned int milliseconds)
{
    eventLoopWaiter().waitMs(milliseconds);
}

namespace {

template <typename Open>
hid_device *openWithRetries(Open open, Waiter &waiter)
{
    for (int attempt = 0; attempt < Protocol::OpenAttempts; ++attempt) {
        if (hid_device *handle = open())
            return handle;
        waiter.waitMs(Protocol::OpenRetryPauseMs);
    }
    return nullptr;
}

} // namespace

hid_device *openDevice(unsigned short vendorId, unsigned short productId, Waiter &waiter)
{
    return openWithRetries([&] { return hid_open(vendorId, productId, nullptr); }, waiter);
}

hid_device *openDeviceAtOnce(const QByteArray &path)
{
    return hid_open_path(path.constData());
}

hid_device *openDeviceOnce()
{
    return hid_open(Protocol::VendorId, Protocol::ProductId, nullptr);
}

bool isDeviceListed()
{
    hid_device_info *devices = hid_enumerate(Protocol::VendorId, Protocol::ProductId);
    const bool listed = devices != nullptr;
    hid_free_enumeration(devices);
    return listed;
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
