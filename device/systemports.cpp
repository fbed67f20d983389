// The system's answers to where a unit is plugged in, for the real programs.

#include "device/usbport.h"

QByteArray usbPortOf(const QByteArray &hidPath)
{
    return usbPortInSysfs(QStringLiteral("/sys"), hidPath);
}

QByteArray hidPathOnPort(const QByteArray &port)
{
    return hidPathOnPortInSysfs(QStringLiteral("/sys"), port);
}
