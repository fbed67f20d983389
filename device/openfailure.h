#pragma once
// Why the device could not be opened, and what the user can do about it.
//
// hid_open only says that it failed. Whether the system still lists the device
// tells the two cases apart that need different help: a device that is not
// attached at all, and one that is attached but that this user may not open
// (on Linux: no permission on its hidraw node until the udev rule is installed).
// Every text about it lives here.

#include <QString>

enum class OpenFailure {
    NotAttached,   // the system lists no such device
    NotAccessible, // listed, yet the open failed
};

// Asks the system which case it is; opens nothing.
OpenFailure diagnoseOpenFailure();

// What the Devices page shows in place of the device picture, in the
// window's language. For a device that cannot be opened on Linux it names
// the udev rule (its path when the program knows where it was installed) and
// the two commands that install it.
QString openFailureExplanation(OpenFailure failure, const QString &udevRulePath);

// The same in one line, for the window's status text.
QString openFailureSummary(OpenFailure failure);

// The log line when a device that was there is gone.
QString deviceLeftText();
