#pragma once
// The USB port a unit is plugged into, to follow it across its restarts.
//
// A unit that restarts (into its bootloader after an erase, back into its
// application after the last chunk) leaves the bus and enumerates afresh.
// The system may then hand it another hidapi path: on Linux a hidraw node
// goes to the lowest free number, so units restarting together can come back
// on each other's nodes. The port ("1-2", "3-1.4" on Linux) stays with the
// socket the unit sits in, and so names the unit across a restart.
//
// usbPortOf and hidPathOnPort are chosen at link time, as hidapi is: the real
// programs get the system's answers (tessel_system_ports), the tests and the
// emulated programs the emulated bench's. Both only ask the system; nothing
// is sent to any device.

#include <QByteArray>
#include <QString>

// The port of the device at this hidapi path; empty when not known (another
// kind of path, a device not attached, a system that does not say).
QByteArray usbPortOf(const QByteArray &hidPath);
// The hidapi path of the tool's device (0483:5750) on that port now; empty
// when none is attached there.
QByteArray hidPathOnPort(const QByteArray &port);

// What the system's answers read, from a sysfs tree at root ("/sys"): a hidraw
// node's device folder lies under its USB interface ("1-2:1.0"), whose port is
// the part before the colon.
QByteArray usbPortInSysfs(const QString &root, const QByteArray &hidPath);
QByteArray hidPathOnPortInSysfs(const QString &root, const QByteArray &port);
