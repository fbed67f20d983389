#pragma once

#include "deviceprofile.h"

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QVector>

namespace emu {

// The device's picture memory: takes the image reports (items 0x0C and 0x0D) in the
// order they arrive and rebuilds the pictures the way the device lays them out.
//
// The start report's sizes are cut to their low nibbles on the wire, so the device
// goes by its own geometry for the slot named in the start report:
//  - item 0x0C: a colour picture of width x height pixels, blue-green-red, 18 pixels
//    per data report, the stream running on across rows; bytes beyond the picture
//    (the repeated data report after the last full one) are ignored;
//  - item 0x0D on slot 1 of a colour screen: the boot animation, 25 frames of
//    240 x 40 pixels streamed back to back as for item 0x0C;
//  - item 0x0D otherwise: a one-bit picture in 8-row bands, one byte per column
//    (bit i = row band + i), 54 bytes per data report; the bytes still pending
//    after the last data report travel at the start of the end report's data area.
//
// A transfer counts when its end report arrives; one cut short by a new start
// report, or never ended, leaves the slot's earlier picture in place. Data that
// falls short of the picture at the end report leaves the missing pixels black.
//
// Pictures are kept as QImage::Format_RGB32. A one-bit picture is white where the
// bit is set (a lit pixel) and black where it is clear.
class ImageReceiver
{
public:
    static constexpr int BootAnimationFrames = 25;
    static constexpr int BootFrameWidth = 240;
    static constexpr int BootFrameHeight = 40;

    // One whole 64-byte output report of item 0x0C or 0x0D, as the device took it.
    // Returns true when the report ended a transfer.
    bool take(const QByteArray &report, const DeviceProfile &profile);
    // Forgets every picture and any transfer under way.
    void clear();

    QImage slotPicture(int slot) const;   // null if no transfer to the slot completed
    QVector<QImage> bootAnimationFrames() const;   // empty if none completed
    int completedTransfers() const;

private:
    enum class Kind { None, Colour, BootAnimation, OneBit };

    void start(quint8 item, const QByteArray &report, const DeviceProfile &profile);
    void appendData(const char *bytes, int available);
    void finish();

    Kind m_kind = Kind::None;   // the transfer under way, None between transfers
    quint8 m_item = 0;
    int m_slot = 0;
    int m_width = 0;
    int m_height = 0;
    int m_expectedBytes = 0;
    QByteArray m_stream;

    QMap<int, QImage> m_slotPictures;
    QVector<QImage> m_bootFrames;
    int m_completed = 0;
};

} // namespace emu
