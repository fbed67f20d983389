#pragma once
// Reading and writing one power curve (item 0x0A).

#include "settings/powercurves.h"

#include <optional>

class DeviceSession;
class JobSink;

// Opens the device (not shown as reachability), asks for curve (0-4) and
// closes it. Empty when the device could not be opened or stayed silent
// ("读取超时！").
std::optional<CurvePointsRow> readCurve(DeviceSession &session, JobSink &sink, int curve);

// Opens the device, sends the ten points of curve (0-4) and closes it; the
// device sends no answer. False when the device could not be opened or the
// report did not go out whole (logged).
bool writeCurve(DeviceSession &session, JobSink &sink, int curve, const CurvePointsRow &points);
