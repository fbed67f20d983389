// Fuzz target: the texts of the working-mode table as they become numbers for
// the device. The data, read as UTF-8 and split at line feeds, fills the
// table's cells in reading order; each text is also judged on its own.

#include "fuzz/fuzzcheck.h"

#include "settings/settingsblocks.h"

#include <QStringList>

#include <cmath>

namespace {

constexpr qint32 MaxWire = 0xFFFF;

// A text accepted goes out as the number the spin box shows (truncated, or
// the TCR scaled and rounded) and fits two bytes; a number that fits is
// never refused.
void checkCell(int column, const QString &text)
{
    qint32 wire = -1;
    const bool accepted = settingsWireValue(column, text, wire);
    bool isNumber = false;
    const double typed = double(text.toFloat(&isNumber));
    const bool tcr = column == TcrColumn;
    const double scaled = typed * (tcr ? TcrWireScale : 1.0);
    if (accepted) {
        FUZZ_CHECK(wire >= 0 && wire <= MaxWire);
        FUZZ_CHECK(isNumber);
        if (tcr)
            FUZZ_CHECK(std::abs(scaled - wire) <= 0.5);
        else
            FUZZ_CHECK(wire <= scaled && scaled < wire + 1.0);
    } else if (isNumber && std::isfinite(scaled) && scaled >= 0.0) {
        FUZZ_CHECK((tcr ? std::round(scaled) : scaled) > MaxWire);
    }
}

// The blocks carry each value in its two bytes unchanged.
void checkBlocks(const SettingsValues &values)
{
    const ApplicationBlock first = settingsBlock1(values);
    const ApplicationBlock second = settingsBlock2(values);
    FUZZ_CHECK(bigEndianAt(first, 4) == values[0][WattageColumn]);
    struct Record { const ApplicationBlock &block; size_t at; int row; };
    const Record records[] = {{first, 6, 1}, {first, 14, 2}, {first, 22, 3}, {second, 3, 5}, {second, 11, 6}};
    for (const Record &r : records) {
        const auto &cells = values[size_t(r.row)];
        FUZZ_CHECK(bigEndianAt(r.block, r.at + 1) == cells[WattageColumn]);
        FUZZ_CHECK(bigEndianAt(r.block, r.at + 3) == cells[TemperatureColumn]);
        FUZZ_CHECK(bigEndianAt(r.block, r.at + 6) == cells[TcrColumn]);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString all = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const QStringList pieces = all.split(QLatin1Char('\n'));

    SettingsTexts texts;
    for (int i = 0; i < pieces.size(); ++i) {
        checkCell(i % SettingsColumns, pieces.at(i));
        if (i < SettingsRows * SettingsColumns)
            texts[size_t(i / SettingsColumns)][size_t(i % SettingsColumns)] = pieces.at(i);
    }

    // Every cell before the first refused one (in reading order) was accepted
    // and holds its number; the refused one takes a number and cannot be sent;
    // cells without a number stay 0.
    const SettingsCollection collection = collectSettings(texts);
    bool refusedSeen = false;
    for (int row = 0; row < SettingsRows; ++row) {
        for (int column = 0; column < SettingsColumns; ++column) {
            const qint32 value = collection.values[size_t(row)][size_t(column)];
            const QString &text = texts[size_t(row)][size_t(column)];
            if (!settingsCellTakesNumber(row, column)) {
                FUZZ_CHECK(value == 0);
                FUZZ_CHECK(!(row == collection.badRow && column == collection.badColumn));
                continue;
            }
            if (row == collection.badRow && column == collection.badColumn) {
                qint32 wire = 0;
                FUZZ_CHECK(!settingsWireValue(column, text, wire));
                refusedSeen = true;
            } else if (!refusedSeen) {
                qint32 wire = -1;
                FUZZ_CHECK(settingsWireValue(column, text, wire) && wire == value);
            }
        }
    }
    FUZZ_CHECK(refusedSeen == !collection.ok());
    if (collection.ok())
        checkBlocks(collection.values);
    else
        FUZZ_CHECK(!unsendableSettingText(collection.badRow, collection.badColumn).isEmpty());
    return 0;
}
