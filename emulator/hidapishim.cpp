// hidapi for builds that talk to the emulated device instead of real USB hardware.
#include "emulateddevice.h"

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

// hidapi hands out strings the caller frees with hid_free_enumeration.
wchar_t *wideCopy(const QString &text)
{
    if (text.isEmpty())
        return nullptr;
    auto *copy = static_cast<wchar_t *>(std::calloc(size_t(text.size()) + 1, sizeof(wchar_t)));
    if (copy)
        text.toWCharArray(copy);
    return copy;
}

hid_device_info *listEntry(EmulatedDevice &device)
{
    auto *entry = static_cast<hid_device_info *>(std::calloc(1, sizeof(hid_device_info)));
    if (!entry)
        return nullptr;
    const emu::DeviceProfile &profile = device.profile();
    entry->path = strdup(device.path().constData());
    entry->vendor_id = emu::vendorId;
    entry->product_id = emu::productId;
    entry->serial_number = wideCopy(profile.serialNumber);
    entry->release_number = 0x0100;
    entry->manufacturer_string = wideCopy(profile.manufacturerString);
    entry->product_string = wideCopy(profile.productString);
    entry->interface_number = 0;
    entry->bus_type = HID_API_BUS_USB;
    return entry;
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
// given, carries it. With the second device unplugged (as after every reset)
// this is always the first device, which records the attempt.
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
            return device.hidOpen(emu::vendorId, emu::productId);
    }
    return nullptr;
}

// The devices plugged in and not re-enumerating, in bus order; 0 matches any id.
struct hid_device_info HID_API_EXPORT *HID_API_CALL hid_enumerate(unsigned short vendor_id,
                                                                  unsigned short product_id)
{
    if ((vendor_id != 0 && vendor_id != emu::vendorId) || (product_id != 0 && product_id != emu::productId))
        return nullptr;
    hid_device_info *first = nullptr;
    hid_device_info **next = &first;
    for (int index = 0; index < EmulatedDevice::BusSize; ++index) {
        EmulatedDevice &device = EmulatedDevice::onBus(index);
        if (!device.isListed())
            continue;
        if (hid_device_info *entry = listEntry(device)) {
            *next = entry;
            next = &entry->next;
        }
    }
    return first;
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info *devs)
{
    while (devs) {
        hid_device_info *next = devs->next;
        std::free(devs->path);
        std::free(devs->serial_number);
        std::free(devs->manufacturer_string);
        std::free(devs->product_string);
        std::free(devs);
        devs = next;
    }
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

} // extern "C"
