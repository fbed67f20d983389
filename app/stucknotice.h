#pragma once
// What the window tells its user when it closes while the device is stuck in
// a call: the program ends without waiting for it.

#include <functional>

class QWidget;

using StuckDeviceNotice = std::function<void(QWidget *parent)>;
// Replaces the message box (tests); an empty function restores it.
void setStuckDeviceNotice(StuckDeviceNotice notice);
void tellDeviceStuck(QWidget *parent);
