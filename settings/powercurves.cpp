#include "settings/powercurves.h"

#include <algorithm>
#include <cstdlib>

std::array<CurvePointsRow, CurveCount> curveTable{};
qint32 currentCurve = 0;
qint32 selectedPoint = -1;
std::array<bool, CurveCount> curveHeld{};
qint32 maxWattage = FallbackMaxWattage;

namespace {

// Argument offsets of the curve item within the application block.
constexpr int ByteCountAt = 2;
constexpr int CurveNumberAt = 3;
constexpr int WritePointsAt = 4;
constexpr int ReplyPointsAt = 6;
// The curve number and the twenty data bytes that follow the count.
constexpr quint8 WriteByteCount = 1 + 2 * CurvePoints;
constexpr quint8 FirstCurveNumber = 7;

} // namespace

int powerScaleTop(int powerHigh)
{
    // A zero top would make the watt height infinite and every drag meaningless.
    return powerHigh > 0 ? powerHigh : FallbackMaxWattage;
}

void setPowerScale(int powerHigh)
{
    maxWattage = powerScaleTop(powerHigh);
}

int curvePointAt(int x)
{
    int hit = -1;
    for (int j = 0; j < CurvePoints; ++j) {
        if (std::abs(x - CurvePlot::FirstPointX - CurvePlot::PointSpacing * j) <= CurvePlot::HitRadius)
            hit = j;
    }
    return hit;
}

int draggedWatts(int y, int top)
{
    const int h = std::clamp(CurvePlot::BottomY - y, 0, CurvePlot::Height);
    // Scaling by a rounded watt height instead loses the top watt on some
    // scales (80 W would give 79).
    return int(qint64(h) * top / CurvePlot::Height);
}

QString curvePointReadout(int point, int watts)
{
    return QString::number(point) + QStringLiteral("s,") + QString::number(watts) + QStringLiteral("W");
}

quint8 curveNumber(int curve)
{
    return quint8(FirstCurveNumber + curve);
}

ApplicationBlock curveReadRequest(int curve)
{
    ApplicationBlock block = makeApplicationBlock(Protocol::OpRead, Protocol::ItemPowerCurve);
    block[ByteCountAt] = 0x00;
    block[CurveNumberAt] = curveNumber(curve);
    return block;
}

ApplicationBlock curveWriteRequest(int curve, const CurvePointsRow &points)
{
    ApplicationBlock block = makeApplicationBlock(Protocol::OpWrite, Protocol::ItemPowerCurve);
    block[ByteCountAt] = WriteByteCount;
    block[CurveNumberAt] = curveNumber(curve);
    for (int j = 0; j < CurvePoints; ++j) {
        const qint32 watts = points[size_t(j)];
        block[size_t(WritePointsAt + 2 * j)] = quint8(watts / 256);
        block[size_t(WritePointsAt + 2 * j + 1)] = quint8(watts % 256);
    }
    return block;
}

CurvePointsRow decodeCurveReply(const ReplyBuffer &reply)
{
    CurvePointsRow points{};
    for (int j = 0; j < CurvePoints; ++j)
        points[size_t(j)] = reply[size_t(ReplyPointsAt + 2 * j)] * 256 + reply[size_t(ReplyPointsAt + 2 * j + 1)];
    return points;
}
