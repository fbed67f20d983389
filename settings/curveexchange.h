#pragma once
// Reading and writing one power curve (item 0x0A).

#include "settings/powercurves.h"

#include <array>
#include <functional>
#include <optional>

class DeviceSession;
class JobSink;

// Opens the device (not shown as reachability), asks for curve (0-4) and
// closes it. Empty when the device could not be opened or stayed silent
// ("读取超时！").
std::optional<CurvePointsRow> readCurve(DeviceSession &session, JobSink &sink, int curve);

// Opens the device once and asks for the five curves in turn, each as its own
// exchange with its own wait, as readCurve() asks for one; eachCurve hears
// every curve that answered, as it answers. A silent curve logs "读取超时！"
// and the next one follows. Ends at once, with what it read so far, when a
// Cancel stops the job (its next request is not sent).
std::array<std::optional<CurvePointsRow>, CurveCount>
readAllCurves(DeviceSession &session, JobSink &sink, const std::function<void(int curve, const CurvePointsRow &points)> &eachCurve);

// Opens the device, sends the ten points of curve (0-4) and closes it; the
// device sends no answer. False when the device could not be opened or the
// report did not go out whole (logged).
bool writeCurve(DeviceSession &session, JobSink &sink, int curve, const CurvePointsRow &points);
