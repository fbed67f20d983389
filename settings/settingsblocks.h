#pragma once
// The working-mode table as the device receives it: which cells hold numbers,
// what each cell puts on the wire, and the two settings blocks of the
// application command (items 0x08 and 0x09). No widgets, no device handle.

#include "device/reports.h"

#include <QString>
#include <array>

constexpr int SettingsRows = 7;
constexpr int SettingsColumns = 4;

enum SettingsColumn { ModeColumn = 0, WattageColumn = 1, TemperatureColumn = 2, TcrColumn = 3 };

// The TCR travels as value x 100000.
constexpr double TcrWireScale = 100000.0;

// One row of the table: the mode's name, its id in the settings blocks (0 for
// the bypass mode, which the device is never told about) and which of the
// three columns take a number.
struct SettingsRow
{
    const char *name;
    quint8 modeId;
    bool wattage;
    bool temperatureAndTcr;
};

// "PWR", "NI200", "TI", "SS", "BY PASS", "TCR1", "TCR2", top to bottom.
const std::array<SettingsRow, SettingsRows> &settingsRows();

// True where the table shows a spin box; elsewhere (column 0 and the modes'
// unsupported settings) it shows an item.
bool settingsCellTakesNumber(int row, int column);

// Per row and column: wattage and temperature as sent, TCR x 100000.
using SettingsValues = std::array<std::array<qint32, SettingsColumns>, SettingsRows>;
// Per row and column: the text each spin box shows (unused where there is none).
using SettingsTexts = std::array<std::array<QString, SettingsColumns>, SettingsRows>;

// What a cell's text puts on the wire: wattage and temperature truncated
// toward zero, the TCR scaled and rounded to the nearest step. False when the
// text is not a number, the number is negative, or what it carries exceeds
// 65535: two bytes cannot hold it, and a wrapped value would reach the device
// as some other setting.
bool settingsWireValue(int column, const QString &text, qint32 &wireValue);

struct SettingsCollection
{
    SettingsValues values{};
    // The first cell, in reading order, whose text cannot be sent; -1 if none.
    int badRow = -1;
    int badColumn = -1;
    bool ok() const { return badRow < 0; }
};

// Reads every cell that takes a number; stops at the first that cannot be sent.
SettingsCollection collectSettings(const SettingsTexts &texts);

// The log line for a cell that cannot be sent, naming its mode and column.
QString unsendableSettingText(int row, int column);

// Block 1 (item 0x08): the power mode and the materials NI200, TI and SS.
ApplicationBlock settingsBlock1(const SettingsValues &values);
// Block 2 (item 0x09): the two TCR modes.
ApplicationBlock settingsBlock2(const SettingsValues &values);
