#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QtGlobal>

#include <array>

namespace emu {

// Wire constants of the device's USB HID link. The emulator plays the device,
// so it keeps its own copy rather than the tool's, under the tool's names.
constexpr quint16 VendorId = 0x0483;
constexpr quint16 ProductId = 0x5750;
constexpr int ReportSize = 64;           // every output and input report
constexpr int ReportHeaderSize = 3;      // output report: id, code, declared length, payload
constexpr int PayloadBytesOnWire = ReportSize - ReportHeaderSize;

constexpr quint8 CmdApplication = 0x55;
constexpr quint8 lastBootloaderCommand = 0x04;   // codes 0x00..0x04 belong to the bootloader
constexpr quint8 OpRead = 'r';
constexpr quint8 OpWrite = 'w';

// Items of the application command.
constexpr quint8 ItemName = 0x04;
constexpr quint8 ItemFirmwareVersion = 0x05;
constexpr quint8 ItemScreenAndRanges = 0x06;
constexpr quint8 ItemIdentification = 0x07;
constexpr quint8 ItemSettingsBlock1 = 0x08;
constexpr quint8 ItemSettingsBlock2 = 0x09;
constexpr quint8 ItemPowerCurve = 0x0A;
constexpr quint8 ItemSlotQuery = 0x0B;
constexpr quint8 ItemColourImage = 0x0C;
constexpr quint8 ItemMonoImage = 0x0D;

constexpr int CurveCount = 5;
constexpr int CurvePoints = 10;
constexpr quint8 FirstCurveNumber = 7;   // curve i travels as 7 + i
constexpr quint8 ColourScreenType = 0x54;

// Everything the device says about itself when asked.
struct DeviceProfile
{
    struct SlotGeometry
    {
        quint16 width;
        quint16 height;
        quint8 screenType;
    };

    QByteArray name = "VELTRA-MINI";
    // Sent at reply offset 4; the device's name field runs through offset 5 + nameEnd.
    quint8 nameEnd = quint8(name.size() - 1);
    QByteArray firmwareVersion = "V1.0.2";
    QByteArray screenSize = "1.69 ";    // exactly five bytes on the wire
    quint16 powerLow = 5;
    quint16 powerHigh = 80;
    quint16 fahrenheitLow = 200;
    quint16 fahrenheitHigh = 600;
    quint16 celsiusLow = 100;
    quint16 celsiusHigh = 316;
    quint8 supportFlag = 'S';           // 'N' would mean temperature control is not supported
    QByteArray identification = "TSL-VM01-000001";   // fifteen bytes on the wire

    // The USB strings the system lists the device with; an empty one is absent.
    QString serialNumber = QStringLiteral("TSL-VM01-000001");
    QString productString = QStringLiteral("VELTRA-MINI");
    QString manufacturerString = QStringLiteral("Tessel");

    // Picture geometry per image slot number ("slots" itself is a Qt keyword macro).
    QMap<int, SlotGeometry> imageSlots;
    SlotGeometry defaultSlot{240, 280, ColourScreenType};   // any slot number not listed

    // Watts for seconds 0..9 of the five stored power curves.
    std::array<std::array<quint16, CurvePoints>, CurveCount> curves{};

    // Exact reply bytes for an item (as the host reads them, offset 0 first), sent
    // instead of the reply built from the fields above; padded with zeros or cut to
    // one report. Lets a test put bytes on the wire that no sane profile would.
    QMap<quint8, QByteArray> rawReplies;

    // A fresh device: the fields above, slot 1 a 240 x 40 boot strip, slots 2-5 full
    // 240 x 280 colour screens, five different stored curves.
    DeviceProfile();

    // Sets the name, the name-end byte that matches it, and the USB product string.
    void setName(const QByteArray &newName);

    static DeviceProfile defaultProfile();
};

// The input report the device sends back for an application request (payload =
// output report bytes 3..63), as hidapi delivers it: no report-id byte, offset 0 is
// 0x55. Empty when the request gets no answer (writes, unknown items, a curve number
// out of range).
QByteArray applicationReply(const DeviceProfile &profile, const QByteArray &payload);

} // namespace emu
