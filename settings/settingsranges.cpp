#include "settings/settingsranges.h"
#include <QCoreApplication>

QVector<OutOfRangeCell> cellsOutOfRange(const SettingsValues &values, const ScreenAndRanges &ranges)
{
    QVector<OutOfRangeCell> outside;
    if (ranges.powerHigh <= 0)
        return outside;
    for (int row = 0; row < SettingsRows; ++row) {
        for (int column : {int(WattageColumn), int(TemperatureColumn)}) {
            if (!settingsCellTakesNumber(row, column))
                continue;
            const bool wattage = column == WattageColumn;
            if (!wattage && ranges.celsiusHigh <= 0)
                continue;
            const int low = wattage ? ranges.powerLow : ranges.celsiusLow;
            const int high = wattage ? ranges.powerHigh : ranges.celsiusHigh;
            const qint32 value = values[size_t(row)][size_t(column)];
            if (value < low || value > high)
                outside.append({row, column, value, low, high});
        }
    }
    return outside;
}

QString outOfRangeText(const OutOfRangeCell &cell)
{
    const QString name = QString::fromUtf8(settingsRows()[size_t(cell.row)].name);
    const QString text = cell.column == WattageColumn ? QCoreApplication::translate("Settings", "%1 功率设定（W）：%2，设备范围 %3–%4 W")
                                                      : QCoreApplication::translate("Settings", "%1 温度设定（°C）：%2，设备范围 %3–%4 °C");
    return text.arg(name).arg(cell.value).arg(cell.low).arg(cell.high);
}
