#include "settings/curvedragmodel.h"

#include <algorithm>
#include <cstdlib>

int powerScaleTop(int powerHigh)
{
    // A zero top would make the watt height infinite and every drag meaningless.
    return powerHigh > 0 ? powerHigh : FallbackMaxWattage;
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

bool CurveDragModel::press(int x, const CurvePointsRow &points)
{
    const int hit = curvePointAt(x);
    if (hit < 0)
        return false;
    held = hit;
    dragTop = curveScaleTop(points, scaleTop);
    return true;
}

int CurveDragModel::dragTo(int y, const CurvePointsRow &points) const
{
    if (held < 0 || held >= CurvePoints)
        return -1;
    return draggedWatts(y, chartTop(points));
}

bool CurveDragModel::release()
{
    held = -1;
    const bool kept = dragTop > 0;
    dragTop = 0;
    return kept;
}

int CurveDragModel::chartTop(const CurvePointsRow &points) const
{
    return dragTop > 0 ? dragTop : curveScaleTop(points, scaleTop);
}
