#pragma once
// The five power curves the device keeps, the drag state of the curve dialog
// and the power scale, shared by every curve dialog of one run; and the pure
// part of the curve exchange: request blocks, reply decoding, drag geometry.

#include "device/reports.h"

#include <QPointF>
#include <QString>
#include <QVector>
#include <QtGlobal>

#include <array>

constexpr int CurveCount = 5;   // shown as "M1" to "M5"
constexpr int CurvePoints = 10; // watts for the seconds 0 to 9

using CurvePointsRow = std::array<qint32, CurvePoints>;

// Watts of point j of curve i; all zero until a curve is read or dragged.
extern std::array<CurvePointsRow, CurveCount> curveTable;
// Which curves the program holds: read from the device, dragged, imported or
// loaded from a profile. Only these are saved to a profile.
extern std::array<bool, CurveCount> curveHeld;
// The curve shown, dragged and written (0 to 4).
extern qint32 currentCurve;
// The point being dragged, -1 when none.
extern qint32 selectedPoint;
// Top of the power axis in watts; never zero or negative.
extern qint32 maxWattage;

// Geometry of the plot in dialog pixels: second j is drawn at x = 50 + 75 j,
// maxWattage at y = 40 and 0 W at y = 336.
namespace CurvePlot {
constexpr int FirstPointX = 50;
constexpr int PointSpacing = 75;
constexpr int HitRadius = 10;
constexpr int TopY = 40;
constexpr int Height = 296;
constexpr int BottomY = TopY + Height; // 336
} // namespace CurvePlot

// Scale used before the device has told its power range, or when it reports 0.
constexpr int FallbackMaxWattage = 152;

// The top of the power axis for the power high the device reported:
// the power high itself, or 152 when it is not positive.
int powerScaleTop(int powerHigh);
// Sets maxWattage for the power high the device reported.
void setPowerScale(int powerHigh);

// Top of the chart's power axis for a curve: the device's top (as the scale
// gives it), raised to the curve's highest point so that every point is drawn
// at its own value.
int curveScaleTop(const CurvePointsRow &points, int scaleTop);

// The line drawn through the ten points: a monotone cubic (Fritsch-Carlson),
// sampled samplesPerSecond times per second. It passes through every point
// and, between two points, never leaves the range of those two: no overshoot
// below zero or above a flat top, as a spline would draw.
QVector<QPointF> curveLine(const CurvePointsRow &points, int samplesPerSecond);

// The point whose column a press at dialog x falls into, or -1 for none.
int curvePointAt(int x);
// Watts for a drag to dialog y on a scale topping out at top watts: the
// height above the 0 W line, clamped to the plot, scaled to watts and
// truncated. Computed in integers so the top of the plot gives exactly top.
int draggedWatts(int y, int top);
// The drag readout, e.g. "3s,25W".
QString curvePointReadout(int point, int watts);

// Curve i travels as number 7 + i.
quint8 curveNumber(int curve);
// 'r', item 0x0A, 0x00, curve number.
ApplicationBlock curveReadRequest(int curve);
// 'w', item 0x0A, 21 bytes following, curve number, ten big-endian points.
ApplicationBlock curveWriteRequest(int curve, const CurvePointsRow &points);
// The ten big-endian points at reply offsets 6 to 25.
CurvePointsRow decodeCurveReply(const ReplyBuffer &reply);
