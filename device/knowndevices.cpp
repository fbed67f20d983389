#include "device/knowndevices.h"

#include "device/protocol.h"

#include <hidapi.h>

#include <QCoreApplication>
#include <QSettings>

namespace {

// Settings keys must not hold the path's slashes: path and serial as hex.
QString deviceKey(const DeviceIdentity &device)
{
    return QStringLiteral("knownDevices/") + QString::fromLatin1(device.path.toHex()) + QLatin1Char('-')
           + QString::fromLatin1(device.serial.toUtf8().toHex());
}

bool settingsHaveAHome()
{
    return !QCoreApplication::organizationName().isEmpty() && !QCoreApplication::applicationName().isEmpty();
}

thread_local std::optional<DeviceIdentity> lastListing;

} // namespace

std::optional<DeviceIdentity> takeLastListing()
{
    std::optional<DeviceIdentity> taken;
    taken.swap(lastListing);
    return taken;
}

DeviceIdentity listedDevice(const QByteArray &sessionPath, QVector<DeviceIdentity> *everyDevice)
{
    DeviceIdentity identity;
    if (everyDevice)
        everyDevice->clear();
    hid_device_info *devices = hid_enumerate(Protocol::VendorId, Protocol::ProductId);
    for (const hid_device_info *d = devices; d; d = d->next) {
        if (!d->path)
            continue;
        DeviceIdentity seen{QByteArray(d->path), QString()};
        if (d->serial_number)
            seen.serial = QString::fromWCharArray(d->serial_number);
        if (everyDevice)
            everyDevice->append(seen);
        if (!identity.isListed() && (sessionPath.isEmpty() || sessionPath == seen.path)) {
            identity = seen;
            if (!everyDevice)
                break;
        }
    }
    hid_free_enumeration(devices);
    lastListing = identity;
    return identity;
}

KnownDevice knownDevice(const DeviceIdentity &device)
{
    KnownDevice known;
    if (!device.isListed() || !settingsHaveAHome())
        return known;
    QSettings settings;
    settings.beginGroup(deviceKey(device));
    known.nameField = settings.value(QStringLiteral("nameField")).toByteArray();
    known.firmwareVersion = settings.value(QStringLiteral("firmwareVersion")).toString();
    return known;
}

void rememberNameField(const DeviceIdentity &device, const QByteArray &nameField)
{
    if (device.isListed() && settingsHaveAHome())
        QSettings().setValue(deviceKey(device) + QStringLiteral("/nameField"), nameField);
}

void rememberFirmwareVersion(const DeviceIdentity &device, const QString &version)
{
    if (device.isListed() && settingsHaveAHome())
        QSettings().setValue(deviceKey(device) + QStringLiteral("/firmwareVersion"), version);
}
