#pragma once
// What the program last read from each device it has met: the 48-byte name
// field of item 0x04 and the firmware version of item 0x05, kept in the
// user's settings under the device's hidapi path and USB serial number.
//
// A device waiting in its bootloader answers no query, so this memory is the
// only thing the write stage alone can hold a firmware file's model header
// against. Nothing is kept while the program has not named itself
// (organisation and application): its settings file would have no home.

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

struct DeviceIdentity
{
    QByteArray path;   // as hid_enumerate lists it
    QString serial;    // the USB serial number string; may be empty

    bool isListed() const { return !path.isEmpty(); }
    bool operator==(const DeviceIdentity &other) const { return path == other.path && serial == other.serial; }
    bool operator!=(const DeviceIdentity &other) const { return !(*this == other); }
};

// The device a session with this hidapi path opens (an empty path: the first
// one listed with the device's ids), as the system lists it now; an empty
// identity when it is not listed. Only asks the system; nothing is sent.
// everyDevice, when given, receives every device with the tool's USB ids the
// same listing found, in the system's order.
DeviceIdentity listedDevice(const QByteArray &sessionPath, QVector<DeviceIdentity> *everyDevice = nullptr);

struct KnownDevice
{
    QByteArray nameField;    // 48 bytes, or empty when never read
    QString firmwareVersion; // empty when never read
};

// The identity the last listedDevice() on this thread found since the last
// take (empty when it found none); nothing when it was not called. The device
// thread learns from it which unit a job served, without a listing of its own.
std::optional<DeviceIdentity> takeLastListing();

KnownDevice knownDevice(const DeviceIdentity &device);
void rememberNameField(const DeviceIdentity &device, const QByteArray &nameField);
void rememberFirmwareVersion(const DeviceIdentity &device, const QString &version);
