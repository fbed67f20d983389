#include "settings/settingsblocks.h"

#include "device/protocol_settings.h"

#include <cmath>
#include <QCoreApplication>

namespace {

constexpr int PowerModeRow = 0;
constexpr double MaxWireValue = 65535.0;

// Column captions as the page shows them above the table.
const char *const ColumnCaptions[SettingsColumns] = {
    QT_TRANSLATE_NOOP("Settings", "工作模式"), QT_TRANSLATE_NOOP("Settings", "功率设定（W）"),
    QT_TRANSLATE_NOOP("Settings", "温度设定（°C）"), QT_TRANSLATE_NOOP("Settings", "发热丝系数调节/TCR")};

// High byte first, each byte the C-style quotient or remainder cut to 8 bits.
void putBigEndian(ApplicationBlock &block, int at, qint32 value)
{
    block[size_t(at)] = quint8(value / 256);
    block[size_t(at + 1)] = quint8(value % 256);
}

// A material record: mode id, wattage, temperature, a reserved zero, TCR x 100000.
int putMaterial(ApplicationBlock &block, int at, const SettingsValues &values, int row)
{
    const auto &cells = values[size_t(row)];
    block[size_t(at)] = settingsRows()[size_t(row)].modeId;
    putBigEndian(block, at + 1, cells[WattageColumn]);
    putBigEndian(block, at + 3, cells[TemperatureColumn]);
    block[size_t(at + 5)] = 0;
    putBigEndian(block, at + 6, cells[TcrColumn]);
    return at + 8;
}

} // namespace

const std::array<SettingsRow, SettingsRows> &settingsRows()
{
    static const std::array<SettingsRow, SettingsRows> rows = {{
        {"PWR", 1, true, false},
        {"NI200", 2, true, true},
        {"TI", 3, true, true},
        {"SS", 4, true, true},
        {"BY PASS", 0, false, false},
        {"TCR1", 5, true, true},
        {"TCR2", 6, true, true},
    }};
    return rows;
}

bool settingsCellTakesNumber(int row, int column)
{
    if (row < 0 || row >= SettingsRows)
        return false;
    const SettingsRow &r = settingsRows()[size_t(row)];
    switch (column) {
    case WattageColumn: return r.wattage;
    case TemperatureColumn:
    case TcrColumn: return r.temperatureAndTcr;
    default: return false;
    }
}

bool settingsWireValue(int column, const QString &text, qint32 &wireValue)
{
    // Parsed as the spin box itself reads its text: a 32-bit float.
    bool isNumber = false;
    const float number = text.toFloat(&isNumber);
    if (!isNumber || !std::isfinite(number))
        return false;
    // The TCR is rounded from double: 0.0039 held as a float is 0.00389999...,
    // which truncation would send as 389.
    const bool tcr = column == TcrColumn;
    const double scaled = tcr ? double(number) * TcrWireScale : double(number);
    if (scaled < 0.0)
        return false;
    // Wattage and temperature are judged as typed (65535.5 is too large); the
    // TCR once rounded, so the float's error cannot push 0.65535 past 65535.
    const double carried = tcr ? std::round(scaled) : std::trunc(scaled);
    if ((tcr ? carried : scaled) > MaxWireValue)
        return false;
    wireValue = qint32(carried);
    return true;
}

SettingsCollection collectSettings(const SettingsTexts &texts)
{
    SettingsCollection collection;
    for (int row = 0; row < SettingsRows; ++row) {
        for (int column = WattageColumn; column < SettingsColumns; ++column) {
            if (!settingsCellTakesNumber(row, column))
                continue;
            qint32 &cell = collection.values[size_t(row)][size_t(column)];
            if (!settingsWireValue(column, texts[size_t(row)][size_t(column)], cell)) {
                collection.badRow = row;
                collection.badColumn = column;
                return collection;
            }
        }
    }
    return collection;
}

QString unsendableSettingText(int row, int column)
{
    return QCoreApplication::translate("Settings", "%1 %2：数值无效或超出范围，未写入设备")
        .arg(QString::fromUtf8(settingsRows()[size_t(row)].name), QCoreApplication::translate("Settings", ColumnCaptions[column]));
}

ApplicationBlock settingsBlock1(const SettingsValues &values)
{
    ApplicationBlock block = makeApplicationBlock(Protocol::OpWrite, Protocol::ItemSettingsBlock1);
    block[2] = Protocol::SettingsBlock1Count;
    // The power mode has no temperature control: its record is id and wattage only.
    block[3] = settingsRows()[PowerModeRow].modeId;
    putBigEndian(block, 4, values[PowerModeRow][WattageColumn]);
    int at = 6;
    for (int row = 1; row <= 3; ++row)
        at = putMaterial(block, at, values, row);
    return block;
}

ApplicationBlock settingsBlock2(const SettingsValues &values)
{
    ApplicationBlock block = makeApplicationBlock(Protocol::OpWrite, Protocol::ItemSettingsBlock2);
    block[2] = Protocol::SettingsBlock2Count;
    int at = 3;
    for (int row = 5; row <= 6; ++row)
        at = putMaterial(block, at, values, row);
    return block;
}
