// hidapi for builds that talk to the emulated device instead of real USB hardware.
#include "emulateddevice.h"

#include <hidapi.h>

using emu::EmulatedDevice;

extern "C" {

int HID_API_EXPORT HID_API_CALL hid_init(void)
{
    return EmulatedDevice::instance().hidInit();
}

int HID_API_EXPORT HID_API_CALL hid_exit(void)
{
    return EmulatedDevice::instance().hidExit();
}

// The emulated bus holds a single device, so the serial-number filter has nothing to choose.
HID_API_EXPORT hid_device *HID_API_CALL hid_open(unsigned short vendor_id,
                                                 unsigned short product_id,
                                                 const wchar_t * /*serial_number*/)
{
    return EmulatedDevice::instance().hidOpen(vendor_id, product_id);
}

int HID_API_EXPORT HID_API_CALL hid_set_nonblocking(hid_device *dev, int nonblock)
{
    return EmulatedDevice::instance().hidSetNonblocking(dev, nonblock);
}

int HID_API_EXPORT HID_API_CALL hid_write(hid_device *dev, const unsigned char *data, size_t length)
{
    return EmulatedDevice::instance().hidWrite(dev, data, length);
}

int HID_API_EXPORT HID_API_CALL hid_read_timeout(hid_device *dev, unsigned char *data,
                                                 size_t length, int milliseconds)
{
    return EmulatedDevice::instance().hidReadTimeout(dev, data, length, milliseconds);
}

void HID_API_EXPORT HID_API_CALL hid_close(hid_device *dev)
{
    EmulatedDevice::instance().hidClose(dev);
}

struct hid_device_info HID_API_EXPORT *HID_API_CALL hid_enumerate(unsigned short vendor_id,
                                                                 unsigned short product_id)
{
    return EmulatedDevice::instance().hidEnumerate(vendor_id, product_id);
}

void HID_API_EXPORT HID_API_CALL hid_free_enumeration(struct hid_device_info *devs)
{
    EmulatedDevice::hidFreeEnumeration(devs);
}

// The About box names the library that answers the program's hidapi calls.
HID_API_EXPORT const char *HID_API_CALL hid_version_str(void)
{
    return "emulated device";
}

} // extern "C"
