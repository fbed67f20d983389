#pragma once
// The slot query: which picture a slot takes (item 0x0B).

#include "images/imageslot.h"

#include <optional>

class DeviceSession;
class JobSink;

// Opens the device (its answer is shown as reachability) and asks for the
// slot's geometry. A silent device gets a 128 x 128 colour picture and the
// line "读取超时！". The device stays open: the upload that follows uses it.
// Empty when the device could not be opened, or when it reported a size no
// slot can have (logged, and the device closed: nothing will be sent).
// answered, when given, tells whether the geometry is the device's reply
// rather than the stand-in for a silent device.
std::optional<SlotGeometry> querySlot(DeviceSession &session, JobSink &sink, int slot, bool *answered = nullptr);
