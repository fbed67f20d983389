// hidapi (and where each unit sits, device/usbport.h) for builds that talk to
// the emulated device instead of real USB hardware.
#include "emulateddevice.h"

#include "device/usbport.h"

#include <hidapi.h>

#include <cstdlib>
#include <cstring>

using emu::EmulatedDevice;

namespace {

// Calls with a handle go to the device it was opened on; a handle no device
// knows goes to the first, which counts it as misuse.
EmulatedDevice &deviceOf(const hid_device *handle)
{
    EmulatedDevice *owner = EmulatedDevice::owner(handle);
    return owner ? *owner : EmulatedDevice::instance();
}

} // namespace

extern "C" {

int HID_API_EXPORT HID_API_CALL hid_init(void)
{
    return EmulatedDevice::instance().hidInit();
}

int HID_API_EXPORT HID_API_CALL hid_exit(void)
{
    return EmulatedDevice::instance().hidExit();
}

// The first device on the bus that is plugged in and, when a serial number is
// given, carries it. With one device on the bench (as after every reset
// unless TESSEL_EMULATED_DEVICES asks for more) this is always the first
// device, which records the attempt.
HID_API_EXPORT hid_device *HID_API_CALL hid_open(unsigned short vendor_id,
                                                 unsigned short product_id,
                                                 const wchar_t *serial_number)
{
    for (int index = 0; index < EmulatedDevice::BusSize; ++index) {
        EmulatedDevice &device = EmulatedDevice::onBus(index);
        if (index > 0 && !device.isPresent())
            continue;
        if (serial_number && !device.hasSerialNumber(serial_number))
            continue;
        if (hid_device *handle = device.hidOpen(vendor_id, product_id))
            return handle;
    }
    return nullptr;
}

HID_API_EXPORT hid_device *HID_API_CALL hid_open_path(const char *path)
{
    for (int index = 0; path && index < EmulatedDevice::BusSize; ++index) {
        EmulatedDevice &device = EmulatedDevice::onBus(index);
        if (device.path() == path)
            return device.hidOpen(emu::VendorId, emu::ProductId);
    }
    return nullptr;
}

// The devices plugged in and not re-enumerating, in bus order; 0 matches any id.
struct hid_device_info HID_API_EXPORT *HID_API_CALL hid_enumerate(unsigned short vendor_id,
                                                                  unsigned short product_id)
{
    hid_device_info *first = nullptr;
    hid_device_info **next = &first;
    for (int index = 0; index < EmulatedDevice::BusSize; ++index) {
        if (hid_device_info *entry = EmulatedDevice::onBus(index).hidEnumerate(vendor_id, product_id)) {
            *next = entry;
            next = &entry->next;
        }
    }
    return first;
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info *devs)
{
    EmulatedDevice::hidFreeEnumeration(devs);
}

int HID_API_EXPORT HID_API_CALL hid_set_nonblocking(hid_device *dev, int nonblock)
{
    return deviceOf(dev).hidSetNonblocking(dev, nonblock);
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device *dev, const unsigned char *data, size_t length)
{
    return deviceOf(dev).hidWrite(dev, data, length);
}

int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device *dev, unsigned char *data,
                                                 size_t length, int milliseconds)
{
    return deviceOf(dev).hidReadTimeout(dev, data, length, milliseconds);
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device *dev)
{
    deviceOf(dev).hidClose(dev);
}

// The About box names the library that answers the program's hidapi calls.
HID_API_EXPORT const char *HID_API_CALL hid_version_str(void)
{
    return "emulated device";
}

} // extern "C"

// Where the bench's units sit: bench index N is port "emulated-port:N",
// whatever path it came back on. In the same object as the hidapi calls, so
// that every program that links those links these.
QByteArray usbPortOf(const QByteArray &hidPath)
{
    for (int index = 0; index < EmulatedDevice::BusSize; ++index) {
        const EmulatedDevice &device = EmulatedDevice::onBus(index);
        if (device.isListed() && device.path() == hidPath)
            return device.usbPort();
    }
    return QByteArray();
}

QByteArray hidPathOnPort(const QByteArray &port)
{
    for (int index = 0; index < EmulatedDevice::BusSize; ++index) {
        const EmulatedDevice &device = EmulatedDevice::onBus(index);
        if (device.usbPort() == port)
            return device.isListed() ? device.path() : QByteArray();
    }
    return QByteArray();
}
