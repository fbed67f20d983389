#include "emulator/settingsdecoder.h"

#include "emulator/emulateddevice.h"

namespace emu {

namespace {

constexpr int recordsOffset = 3;
constexpr int powerRecordSize = 3;
constexpr int materialRecordSize = 8;

quint16 wordAt(const QByteArray &bytes, int at)
{
    return quint16(quint8(bytes[at]) << 8 | quint8(bytes[at + 1]));
}

} // namespace

QVector<ModeSettings> decodeSettingsBlock(const QByteArray &payload)
{
    if (payload.size() < recordsOffset || quint8(payload[0]) != OpWrite)
        return {};
    const quint8 blockItem = quint8(payload[1]);
    if (blockItem != ItemSettingsBlock1 && blockItem != ItemSettingsBlock2)
        return {};
    const int end = recordsOffset + quint8(payload[2]);
    if (end > payload.size())
        return {};

    QVector<ModeSettings> modes;
    int at = recordsOffset;
    while (at < end) {
        ModeSettings mode;
        mode.mode = quint8(payload[at]);
        const int size = mode.mode == powerModeId ? powerRecordSize : materialRecordSize;
        if (at + size > end)
            return {};
        mode.wattage = wordAt(payload, at + 1);
        if (size == materialRecordSize) {
            mode.temperature = wordAt(payload, at + 3);
            mode.tcr = wordAt(payload, at + 6);
        }
        modes.append(mode);
        at += size;
    }
    return modes;
}

QVector<ModeSettings> keptModeSettings(const EmulatedDevice &device)
{
    QVector<ModeSettings> modes;
    for (quint8 blockItem : {ItemSettingsBlock1, ItemSettingsBlock2}) {
        const QVector<QByteArray> blocks = device.settingsBlocks(blockItem);
        if (!blocks.isEmpty())
            modes += decodeSettingsBlock(blocks.last());
    }
    return modes;
}

} // namespace emu
