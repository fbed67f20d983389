#pragma once
// Opening, preparing and closing the device around one transaction.

#include "device/commandrecord.h"
#include "device/waiter.h"

#include <QByteArray>

struct hid_device_;
typedef struct hid_device_ hid_device;

// Waits while the window keeps handling events (repaints, clicks).
void waitMs(unsigned int milliseconds);

// Up to 20 opens with a 100 ms pause after each failure (also the last);
// null when the device never appeared. Used where the device may still be
// re-enumerating, as after the bootloader erase.
hid_device *openDevice(unsigned short vendorId, unsigned short productId, Waiter &waiter = eventLoopWaiter());

// A single open of the device, as every other feature does it.
hid_device *openDeviceOnce();

// A single open of the device at one hidapi path (a program serving one of
// several attached devices; DeviceSession retries it, following the unit).
hid_device *openDeviceAtOnce(const QByteArray &path);

// Whether the system lists the device among its HID devices. Only asks the
// system: the device is neither opened nor sent anything, so this works while
// the device cannot be opened, and says nothing about whether it could be.
bool isDeviceListed();

// Start of the exchange: a fresh record and a blocking handle.
void beginExchange(CommandRecord &record, hid_device *handle);

// End of a transaction: close a handle that is open and forget it.
void closeDevice(hid_device *&handle);
