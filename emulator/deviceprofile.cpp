#include "deviceprofile.h"

#include <cstring>

namespace emu {

namespace {

constexpr int maxNameBytes = ReportSize - 5;       // name field: offsets 5..63
constexpr int maxVersionChars = ReportSize - 4 - 1; // room for the terminating zero
constexpr int screenSizeBytes = 5;
constexpr int identificationBytes = 15;

quint8 payloadByte(const QByteArray &payload, int index)
{
    return index < payload.size() ? quint8(payload.at(index)) : 0;
}

void putBytes(QByteArray &reply, int offset, const QByteArray &bytes, int width)
{
    std::memcpy(reply.data() + offset, bytes.constData(), size_t(qMin(bytes.size(), width)));
}

void putBigEndian(QByteArray &reply, int offset, quint16 value)
{
    reply[offset] = char(value >> 8);
    reply[offset + 1] = char(value & 0xFF);
}

// Only read requests and the start of an image transfer get an answer.
bool isAnswered(quint8 op, quint8 requestItem, quint8 phase)
{
    switch (requestItem) {
    case ItemName:
    case ItemFirmwareVersion:
    case ItemScreenAndRanges:
    case ItemIdentification:
    case ItemPowerCurve:
    case ItemSlotQuery:
        return op == OpRead;
    case ItemColourImage:
    case ItemMonoImage:
        return op == OpWrite && phase == 1;
    default:
        return false;
    }
}

} // namespace

DeviceProfile::DeviceProfile()
{
    imageSlots.insert(1, SlotGeometry{240, 40, ColourScreenType});   // boot animation strip
    for (int slot = 2; slot <= 5; ++slot)
        imageSlots.insert(slot, SlotGeometry{240, 280, ColourScreenType});

    curves = {{
        {30, 30, 30, 30, 30, 30, 30, 30, 30, 30},   // M1 flat
        {10, 15, 20, 25, 30, 35, 40, 45, 50, 55},   // M2 rising
        {55, 50, 45, 40, 35, 30, 25, 20, 15, 10},   // M3 falling
        {20, 30, 40, 50, 60, 60, 50, 40, 30, 20},   // M4 peaked
        {10, 15, 20, 25, 30, 30, 30, 30, 30, 30},   // M5 soft start
    }};
}

void DeviceProfile::setName(const QByteArray &newName)
{
    name = newName;
    nameEnd = quint8(qMax(newName.size() - 1, 0));
    // The USB product string of such devices is their model name.
    productString = QString::fromLatin1(newName);
}

DeviceProfile DeviceProfile::defaultProfile()
{
    return DeviceProfile();
}

QByteArray applicationReply(const DeviceProfile &profile, const QByteArray &payload)
{
    const quint8 op = payloadByte(payload, 0);
    const quint8 requestItem = payloadByte(payload, 1);
    if (!isAnswered(op, requestItem, payloadByte(payload, 3)))
        return {};

    const auto raw = profile.rawReplies.constFind(requestItem);
    if (raw != profile.rawReplies.constEnd())
        return raw->left(ReportSize).leftJustified(ReportSize, '\0');

    QByteArray reply(ReportSize, '\0');
    reply[0] = char(CmdApplication);
    reply[1] = char(op);
    reply[2] = char(requestItem);

    switch (requestItem) {
    case ItemName:
        reply[4] = char(profile.nameEnd);
        putBytes(reply, 5, profile.name, maxNameBytes);
        break;
    case ItemFirmwareVersion:
        putBytes(reply, 4, profile.firmwareVersion, maxVersionChars);
        break;
    case ItemScreenAndRanges:
        putBytes(reply, 4, profile.screenSize, screenSizeBytes);
        putBigEndian(reply, 9, profile.powerLow);
        putBigEndian(reply, 11, profile.powerHigh);
        putBigEndian(reply, 13, profile.fahrenheitLow);
        putBigEndian(reply, 15, profile.fahrenheitHigh);
        putBigEndian(reply, 17, profile.celsiusLow);
        putBigEndian(reply, 19, profile.celsiusHigh);
        reply[21] = char(profile.supportFlag);
        break;
    case ItemIdentification:
        putBytes(reply, 3, profile.identification, identificationBytes);
        break;
    case ItemPowerCurve: {
        const quint8 curveNumber = payloadByte(payload, 3);
        const int index = curveNumber - FirstCurveNumber;
        if (index < 0 || index >= CurveCount)
            return {};   // the device keeps no such curve and stays silent
        // Same shape as a curve write: byte count, curve number, then the points.
        reply[4] = char(1 + 2 * CurvePoints);
        reply[5] = char(curveNumber);
        for (int j = 0; j < CurvePoints; ++j)
            putBigEndian(reply, 6 + 2 * j, profile.curves[size_t(index)][size_t(j)]);
        break;
    }
    case ItemSlotQuery: {
        const quint8 slot = payloadByte(payload, 2);
        const DeviceProfile::SlotGeometry geometry =
            profile.imageSlots.value(slot, profile.defaultSlot);
        reply[4] = char(slot);
        putBigEndian(reply, 5, geometry.width);
        putBigEndian(reply, 7, geometry.height);
        reply[9] = char(geometry.screenType);
        break;
    }
    case ItemColourImage:
    case ItemMonoImage:
        // Ready for the picture: echo the phase and the slot it goes to.
        reply[3] = 0x01;
        reply[4] = char(payloadByte(payload, 4));
        break;
    }
    return reply;
}

} // namespace emu
