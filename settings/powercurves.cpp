#include "settings/powercurves.h"

#include "device/protocol_settings.h"

#include <algorithm>
#include <cmath>

std::array<CurvePointsRow, CurveCount> curveTable{};
std::array<bool, CurveCount> curveHeld{};

static_assert(Protocol::CurveWriteByteCount == 1 + 2 * CurvePoints, "a curve write declares its number and its points");

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

quint8 curveNumber(int curve)
{
    return quint8(Protocol::FirstCurveNumber + curve);
}

ApplicationBlock curveReadRequest(int curve)
{
    ApplicationBlock block = makeApplicationBlock(Protocol::OpRead, Protocol::ItemPowerCurve);
    block[Protocol::CurveByteCountAt] = 0x00;
    block[Protocol::CurveNumberAt] = curveNumber(curve);
    return block;
}

ApplicationBlock curveWriteRequest(int curve, const CurvePointsRow &points)
{
    ApplicationBlock block = makeApplicationBlock(Protocol::OpWrite, Protocol::ItemPowerCurve);
    block[Protocol::CurveByteCountAt] = Protocol::CurveWriteByteCount;
    block[Protocol::CurveNumberAt] = curveNumber(curve);
    for (int j = 0; j < CurvePoints; ++j) {
        const qint32 watts = points[size_t(j)];
        block[size_t(Protocol::CurveWritePointsAt + 2 * j)] = quint8(watts / 256);
        block[size_t(Protocol::CurveWritePointsAt + 2 * j + 1)] = quint8(watts % 256);
    }
    return block;
}

CurvePointsRow decodeCurveReply(const ReplyBuffer &reply)
{
    CurvePointsRow points{};
    for (int j = 0; j < CurvePoints; ++j) {
        const size_t at = size_t(Protocol::CurveReplyPointsAt + 2 * j);
        points[size_t(j)] = reply[at] * 256 + reply[at + 1];
    }
    return points;
}
