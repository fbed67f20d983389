#include "settings/powercurves.h"

#include <algorithm>
#include <cmath>
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

int curveScaleTop(const CurvePointsRow &points, int scaleTop)
{
    return std::max(scaleTop, *std::max_element(points.begin(), points.end()));
}

QVector<QPointF> curveLine(const CurvePointsRow &points, int samplesPerSecond)
{
    constexpr int Last = CurvePoints - 1;
    std::array<double, Last> slope{};
    for (int k = 0; k < Last; ++k)
        slope[size_t(k)] = double(points[size_t(k + 1)]) - double(points[size_t(k)]);
    // Tangents: the mean of the neighbouring slopes, zero at a peak, a dip or
    // a flat stretch, the one slope at either end.
    std::array<double, CurvePoints> tangent{};
    tangent[0] = slope[0];
    tangent[size_t(Last)] = slope[size_t(Last - 1)];
    for (int k = 1; k < Last; ++k) {
        const double before = slope[size_t(k - 1)];
        const double after = slope[size_t(k)];
        tangent[size_t(k)] = before * after > 0 ? (before + after) / 2 : 0;
    }
    // Tangents too steep for their stretch are scaled down, which keeps the
    // cubic between its two points.
    for (int k = 0; k < Last; ++k) {
        const double d = slope[size_t(k)];
        if (d == 0) {
            tangent[size_t(k)] = tangent[size_t(k + 1)] = 0;
            continue;
        }
        const double a = tangent[size_t(k)] / d;
        const double b = tangent[size_t(k + 1)] / d;
        const double length = a * a + b * b;
        if (length > 9) {
            const double scale = 3 / std::sqrt(length);
            tangent[size_t(k)] = scale * a * d;
            tangent[size_t(k + 1)] = scale * b * d;
        }
    }

    const int samples = std::max(samplesPerSecond, 1);
    QVector<QPointF> line;
    line.reserve(Last * samples + 1);
    for (int k = 0; k < Last; ++k) {
        const double y0 = points[size_t(k)];
        const double y1 = points[size_t(k + 1)];
        const double low = std::min(y0, y1);
        const double high = std::max(y0, y1);
        for (int i = 0; i < samples; ++i) {
            const double t = double(i) / samples;
            const double t2 = t * t;
            const double t3 = t2 * t;
            const double y = (2 * t3 - 3 * t2 + 1) * y0 + (t3 - 2 * t2 + t) * tangent[size_t(k)]
                             + (-2 * t3 + 3 * t2) * y1 + (t3 - t2) * tangent[size_t(k + 1)];
            // Rounding alone may reach a hair past a point.
            line.append(QPointF(k + t, std::clamp(y, low, high)));
        }
    }
    line.append(QPointF(Last, points[size_t(Last)]));
    return line;
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
