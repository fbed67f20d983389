#include "device/deviceinfo.h"

#include "desktop/datafolder.h"

#include <algorithm>

namespace {

// Fixed-width text: every byte becomes one Latin-1 character, zeros included.
QString latin1Field(const ReplyBuffer &reply, int from, int count)
{
    count = std::max(0, std::min(count, int(reply.size()) - from));
    return QString::fromLatin1(reinterpret_cast<const char *>(reply.data()) + from, count);
}

int bigEndian16(const ReplyBuffer &reply, int offset)
{
    return reply[size_t(offset)] * 256 + reply[size_t(offset + 1)];
}

} // namespace

QString decodeDeviceName(const ReplyBuffer &reply)
{
    const int nameEnd = reply[4];
    const int last = nameEnd == 0 ? int(reply.size()) - 1 : 5 + nameEnd;
    return latin1Field(reply, 5, last - 5 + 1);
}

QByteArray nameField(const ReplyBuffer &reply)
{
    return QByteArray(reinterpret_cast<const char *>(reply.data()) + 5, 48);
}

QString decodeFirmwareVersion(const ReplyBuffer &reply)
{
    const auto begin = reply.begin() + 4;
    const auto end = std::find(begin, reply.end(), quint8(0));
    return latin1Field(reply, 4, int(end - begin));
}

ScreenAndRanges decodeScreenAndRanges(const ReplyBuffer &reply)
{
    ScreenAndRanges d;
    d.screenSize = latin1Field(reply, 4, 5);
    d.powerLow = bigEndian16(reply, 9);
    d.powerHigh = bigEndian16(reply, 11);
    d.fahrenheitLow = bigEndian16(reply, 13);
    d.fahrenheitHigh = bigEndian16(reply, 15);
    d.celsiusLow = bigEndian16(reply, 17);
    d.celsiusHigh = bigEndian16(reply, 19);
    d.supported = reply[21] != 'N';
    return d;
}

QString decodeIdentification(const ReplyBuffer &reply)
{
    return latin1Field(reply, 3, 15);
}

void applyScreenAndRanges(DeviceInfo &info, const ScreenAndRanges &decoded)
{
    info.screen = decoded;
    info.supportText = decoded.supported ? QStringLiteral("Support") : QStringLiteral("not support");
}

QString screenSizeText(const ScreenAndRanges &screen)
{
    return screen.screenSize + QStringLiteral("inch");
}

QString powerRangeText(const ScreenAndRanges &screen)
{
    return QStringLiteral("%1-%2 W").arg(screen.powerLow).arg(screen.powerHigh);
}

QString temperatureRangeText(const ScreenAndRanges &screen)
{
    return QStringLiteral("%1-%2°F/%3-%4°C")
        .arg(screen.fahrenheitLow)
        .arg(screen.fahrenheitHigh)
        .arg(screen.celsiusLow)
        .arg(screen.celsiusHigh);
}

QString devicePicturePath(const QString &deviceName)
{
    if (deviceName.contains(QLatin1Char('/')) || deviceName.contains(QLatin1Char('\\'))
        || deviceName.contains(QLatin1String("..")))
        return QString();
    for (const QChar c : deviceName) {
        if (c.isNull() || c.category() == QChar::Other_Control)
            return QString();
    }
    return imageFolder() + QStringLiteral("/device_image_") + deviceName + QStringLiteral(".png");
}
