#pragma once
// What the device says about itself (items 0x04 to 0x07), decoded from the
// reply buffer and turned into the texts of the Devices page.

#include "device/reports.h"

#include <QString>

// Item 0x06: screen size text, the six ranges and the support flag.
struct ScreenAndRanges
{
    QString screenSize;
    int powerLow = 0;
    int powerHigh = 0;
    int fahrenheitLow = 0;
    int fahrenheitHigh = 0;
    int celsiusLow = 0;
    int celsiusHigh = 0;
    bool supported = true;
};

struct DeviceInfo
{
    QString name;
    QString firmwareVersion;
    QString identification;
    QString supportText; // "Support" / "not support", shown nowhere
    ScreenAndRanges screen;
};

// Item 0x04: offset 4 holds the name end n; the name is offsets 5..5+n
// inclusive (n + 1 bytes), cut at the end of the buffer; n = 0 takes the rest.
QString decodeDeviceName(const ReplyBuffer &reply);
// Item 0x04: the 48 bytes at offsets 5..52, the field a firmware file's
// model header is compared with.
QByteArray nameField(const ReplyBuffer &reply);
// Item 0x05: text from offset 4 up to a zero byte or the end of the buffer.
QString decodeFirmwareVersion(const ReplyBuffer &reply);
// Item 0x06: five screen-size bytes, six big-endian ranges, support flag.
ScreenAndRanges decodeScreenAndRanges(const ReplyBuffer &reply);
// Item 0x07: exactly the fifteen bytes at offsets 3..17.
QString decodeIdentification(const ReplyBuffer &reply);

void applyScreenAndRanges(DeviceInfo &info, const ScreenAndRanges &decoded);

QString screenSizeText(const ScreenAndRanges &screen);
QString powerRangeText(const ScreenAndRanges &screen);
QString temperatureRangeText(const ScreenAndRanges &screen);

// "device_image_<name>.png" in the image folder, or empty when the name could lead
// the path elsewhere (separators, "..", control or zero characters).
QString devicePicturePath(const QString &deviceName);
