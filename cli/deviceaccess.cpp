#include "cli/deviceaccess.h"

#include "device/protocol.h"

#include <hidapi.h>

#include <algorithm>

namespace {

std::optional<QString> text(const wchar_t *wide)
{
    if (!wide)
        return std::nullopt;
    return QString::fromWCharArray(wide);
}

} // namespace

QVector<AttachedDevice> attachedDevices()
{
    QVector<AttachedDevice> devices;
    hid_device_info *list = hid_enumerate(Protocol::VendorId, Protocol::ProductId);
    for (const hid_device_info *entry = list; entry; entry = entry->next)
        devices.append({QByteArray(entry->path ? entry->path : ""), text(entry->serial_number),
                        text(entry->product_string)});
    hid_free_enumeration(list);
    return devices;
}

QString unreachableDeviceText(const QByteArray &path, const QString &program)
{
    const QVector<AttachedDevice> devices = attachedDevices();
    const bool attached = path.isEmpty() ? !devices.isEmpty()
                                         : std::any_of(devices.cbegin(), devices.cend(),
                                                       [&](const AttachedDevice &d) { return d.path == path; });
    const QString which = path.isEmpty() ? QStringLiteral("the device (USB 0483:5750)")
                                         : QStringLiteral("the device at %1").arg(QString::fromLocal8Bit(path));
    if (!attached) {
        return path.isEmpty() ? QStringLiteral("no device attached (USB 0483:5750)")
                              : QStringLiteral("no device at %1 (see '%2 list')").arg(QString::fromLocal8Bit(path), program);
    }
    return QStringLiteral("%1 is attached but cannot be opened: this user has no access to it; install the udev "
                          "rule 70-tessel-control.rules ('%2 print-udev-rule') and plug the device in again")
        .arg(which, program);
}
