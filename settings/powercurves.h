#pragma once
// The five power curves the device keeps, shared by every curve dialog and
// profile of one run; the line the chart draws through them; and the pure
// part of the curve exchange: request blocks and reply decoding.

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

// Top of the chart's power axis for a curve: the device's top (as the scale
// gives it), raised to the curve's highest point so that every point is drawn
// at its own value.
int curveScaleTop(const CurvePointsRow &points, int scaleTop);

// The line drawn through the ten points: a monotone cubic (Fritsch-Carlson),
// sampled samplesPerSecond times per second. It passes through every point
// and, between two points, never leaves the range of those two: no overshoot
// below zero or above a flat top, as a spline would draw.
QVector<QPointF> curveLine(const CurvePointsRow &points, int samplesPerSecond);

// Curve i travels as number 7 + i.
quint8 curveNumber(int curve);
// 'r', item 0x0A, 0x00, curve number.
ApplicationBlock curveReadRequest(int curve);
// 'w', item 0x0A, 21 bytes following, curve number, ten big-endian points.
ApplicationBlock curveWriteRequest(int curve, const CurvePointsRow &points);
// The ten big-endian points at reply offsets 6 to 25.
CurvePointsRow decodeCurveReply(const ReplyBuffer &reply);
