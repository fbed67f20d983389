#pragma once
// The working-mode table and the power curves against the ranges the device
// reported (item 0x06): which wattages and temperatures lie outside what the
// device takes, and the log line for each; and the default table within them.

#include "device/deviceinfo.h"
#include "settings/powercurves.h"
#include "settings/settingsblocks.h"

#include <QPoint>
#include <QString>
#include <QVector>

struct OutOfRangeCell
{
    int row = 0;
    int column = 0;   // WattageColumn or TemperatureColumn
    qint32 value = 0;
    int low = 0;
    int high = 0;
};

// The wattage and temperature cells, in reading order, whose value lies
// outside the device's power or Celsius range. Nothing while the ranges are
// unknown (power high not above zero); temperatures are judged only when the
// device reported a Celsius high above zero. The TCR has no range.
QVector<OutOfRangeCell> cellsOutOfRange(const SettingsValues &values, const ScreenAndRanges &ranges);

// E.g. "NI200 功率设定（W）：1000，设备范围 5–80 W".
QString outOfRangeText(const OutOfRangeCell &cell);

// The points of a curve above the device's top wattage, as (second, watts).
// Nothing while the ranges are unknown (power high not above zero). Points
// below the bottom of the range are no fault: a curve may start from 0 W.
QVector<QPoint> curvePointsAboveTop(const CurvePointsRow &points, const ScreenAndRanges &ranges);

// E.g. "M2 第 3 秒：120 W，设备最高 80 W".
QString curvePointAboveText(int curve, const QPoint &point, const ScreenAndRanges &ranges);

// The values the table's defaults fill in: 200 W, 280 °C and TCR 0.0005, each
// brought within the device's range once the device has reported it.
SettingsValues defaultSettingsValues(const ScreenAndRanges &ranges);
