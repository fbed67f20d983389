#pragma once
// Dragging a point of the curve dialog's chart: which of the ten points the
// pointer holds, the power scale the chart is drawn on, and the dialog pixels
// the plot is pinned to. Only the pointer's height sets the watts; its column
// picks the point.

#include "settings/powercurves.h"

#include <QString>

// Geometry of the plot in dialog pixels: second j is drawn at x = 50 + 75 j,
// the top of the power scale at y = 40 and 0 W at y = 336.
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
// The point whose column a press at dialog x falls into, or -1 for none.
int curvePointAt(int x);
// Watts for a drag to dialog y on a scale topping out at top watts: the
// height above the 0 W line, clamped to the plot, scaled to watts and
// truncated. Computed in integers so the top of the plot gives exactly top.
int draggedWatts(int y, int top);
// The drag readout, e.g. "3s,25W".
QString curvePointReadout(int point, int watts);

class CurveDragModel
{
public:
    // powerHigh is the device's top wattage as last read (0 when unknown).
    explicit CurveDragModel(int powerHigh = 0) : scaleTop(powerScaleTop(powerHigh)) {}

    // Top of the power axis in watts; never zero or negative.
    int maxWattage() const { return scaleTop; }
    // The point being dragged, -1 when none.
    int heldPoint() const { return held; }

    // A press at dialog x over the chart of points: takes hold of the point in
    // that column, if any (true), and keeps the axis top the chart has now.
    bool press(int x, const CurvePointsRow &points);
    // The watts the held point takes for the pointer at dialog y; -1 with no
    // point held.
    int dragTo(int y, const CurvePointsRow &points) const;
    // Lets go of the point; true when the axis was kept for the drag and may
    // now change (a point dragged down from above the device's top no longer
    // holds it up).
    bool release();

    // Top of the chart's power axis for points: kept during a drag, so the
    // point follows the pointer; otherwise the scale raised to the highest point.
    int chartTop(const CurvePointsRow &points) const;

private:
    int scaleTop;
    int held = -1;
    // The axis top kept while a point is dragged; 0 when no drag is on.
    int dragTop = 0;
};
