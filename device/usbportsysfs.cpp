#include "device/usbport.h"

#include "device/protocol.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QByteArray HidrawPrefix = "/dev/hidraw";

struct NodePlace
{
    QByteArray port;
    bool toolsDevice = false;   // the HID device folder names 0483:5750
};

// Where the hidraw node called name sits: its class entry is a link into the
// device tree, .../usb1/1-2/1-2:1.0/0003:0483:5750.0005/hidraw/hidraw3.
NodePlace placeOf(const QString &root, const QString &name)
{
    static const QRegularExpression interfaceName(QStringLiteral("^(\\d+-\\d+(?:\\.\\d+)*):\\d+\\.\\d+$"));
    static const QRegularExpression hidName(QStringLiteral("^[0-9A-Fa-f]{4}:([0-9A-Fa-f]{4}):([0-9A-Fa-f]{4})\\.[0-9A-Fa-f]+$"));
    NodePlace place;
    const QString target = QFileInfo(root + QStringLiteral("/class/hidraw/") + name).canonicalFilePath();
    if (target.isEmpty())
        return place;
    for (const QString &part : target.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch usb = interfaceName.match(part);
        if (usb.hasMatch())
            place.port = usb.captured(1).toLatin1();
        const QRegularExpressionMatch hid = hidName.match(part);
        if (hid.hasMatch())
            place.toolsDevice = hid.captured(1).toUShort(nullptr, 16) == Protocol::VendorId
                                && hid.captured(2).toUShort(nullptr, 16) == Protocol::ProductId;
    }
    return place;
}

} // namespace

QByteArray usbPortInSysfs(const QString &root, const QByteArray &hidPath)
{
    if (!hidPath.startsWith(HidrawPrefix) || hidPath.size() == HidrawPrefix.size())
        return QByteArray();
    const QString name = QString::fromLatin1(hidPath.mid(5));   // "hidraw3"
    if (name.contains(QLatin1Char('/')))
        return QByteArray();
    return placeOf(root, name).port;
}

QByteArray hidPathOnPortInSysfs(const QString &root, const QByteArray &port)
{
    if (port.isEmpty())
        return QByteArray();
    const QStringList nodes =
        QDir(root + QStringLiteral("/class/hidraw")).entryList({QStringLiteral("hidraw*")}, QDir::AllEntries | QDir::System, QDir::Name);
    for (const QString &name : nodes) {
        const NodePlace place = placeOf(root, name);
        if (place.port == port && place.toolsDevice)
            return "/dev/" + name.toLatin1();
    }
    return QByteArray();
}
