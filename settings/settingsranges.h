#pragma once
// The working-mode table against the ranges the device reported (item 0x06):
// which wattages and temperatures lie outside what the device takes, and the
// log line for each.

#include "device/deviceinfo.h"
#include "settings/settingsblocks.h"

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
