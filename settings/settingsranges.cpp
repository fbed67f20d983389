#include "settings/settingsranges.h"
#include <QCoreApplication>

#include <algorithm>

namespace {

constexpr qint32 DefaultWatts = 200;
constexpr qint32 DefaultCelsius = 280;
constexpr qint32 DefaultTcrWire = 50; // 0.0005

} // namespace

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

QVector<QPoint> curvePointsAboveTop(const CurvePointsRow &points, const ScreenAndRanges &ranges)
{
    QVector<QPoint> above;
    if (ranges.powerHigh <= 0)
        return above;
    for (int second = 0; second < CurvePoints; ++second) {
        if (points[size_t(second)] > ranges.powerHigh)
            above.append(QPoint(second, points[size_t(second)]));
    }
    return above;
}

QString curvePointAboveText(int curve, const QPoint &point, const ScreenAndRanges &ranges)
{
    return QCoreApplication::translate("Settings", "M%1 第 %2 秒：%3 W，设备最高 %4 W")
        .arg(curve + 1)
        .arg(point.x())
        .arg(point.y())
        .arg(ranges.powerHigh);
}

SettingsValues defaultSettingsValues(const ScreenAndRanges &ranges)
{
    // A range the device reported upside down is no range to clamp to.
    const auto within = [](qint32 value, int low, int high) {
        return high > 0 && low <= high ? std::clamp(value, qint32(low), qint32(high)) : value;
    };
    const qint32 watts = within(DefaultWatts, ranges.powerLow, ranges.powerHigh);
    const qint32 celsius = within(DefaultCelsius, ranges.celsiusLow, ranges.celsiusHigh);
    SettingsValues values{};
    for (auto &row : values) {
        row[size_t(WattageColumn)] = watts;
        row[size_t(TemperatureColumn)] = celsius;
        row[size_t(TcrColumn)] = DefaultTcrWire;
    }
    return values;
}
