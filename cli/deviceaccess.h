#pragma once
// The devices the system lists with the tool's USB id, and why one could not
// be opened: not attached at all, or attached but not accessible to this user.

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

struct AttachedDevice
{
    QByteArray path;                  // what --device takes
    std::optional<QString> serial;    // absent when the device reports none
    std::optional<QString> product;
};

// Every attached device with vendor 0x0483 and product 0x5750, in the
// system's order.
QVector<AttachedDevice> attachedDevices();

// One line for a device that would not open: path is the --device path, empty
// for the first device; program names the tool in the udev hint.
QString unreachableDeviceText(const QByteArray &path, const QString &program);
