#pragma once
// What the device makes of the settings blocks it received: per working mode,
// the wattage, temperature and TCR (x 100000) it would now run with.

#include <QByteArray>
#include <QVector>
#include <QtGlobal>

namespace emu {

class EmulatedDevice;

constexpr quint8 powerModeId = 1;   // its record carries the wattage only

struct ModeSettings
{
    quint8 mode = 0;
    quint16 wattage = 0;
    quint16 temperature = 0;
    quint16 tcr = 0;   // x 100000

    bool operator==(const ModeSettings &o) const
    {
        return mode == o.mode && wattage == o.wattage && temperature == o.temperature && tcr == o.tcr;
    }
};

// The mode records of one settings block (payload as received: 'w', item,
// count, records). The power mode's record is id and wattage; every other is
// id, wattage, temperature, a reserved byte and TCR. Empty when the block is
// not a settings write or its count does not end on a whole record.
QVector<ModeSettings> decodeSettingsBlock(const QByteArray &payload);

// The modes of the last block 0x08 followed by those of the last block 0x09
// the device kept; a block never received contributes nothing.
QVector<ModeSettings> keptModeSettings(const EmulatedDevice &device);

} // namespace emu
