#include "imagereceiver.h"

#include <QtDebug>

#include <cstring>

namespace emu {

namespace {

// Output report layout of an image item: 00 55 3F 'w' item 36 phase, then 54 data bytes.
constexpr int itemOffset = 4;
constexpr int phaseOffset = 6;
constexpr int dataOffset = 7;
constexpr int ImageDataBytes = 54;
constexpr int slotOffset = dataOffset;   // start report: the slot number, low 8 bits

constexpr quint8 PhaseStart = 0x01;
constexpr quint8 PhaseData = 0x02;
constexpr quint8 PhaseEnd = 0x03;

constexpr quint8 BootScreenSlot = 1;
constexpr int bytesPerColourPixel = 3;
constexpr int bandRows = 8;
// Far above any screen of this device family; a profile asking for more gets no picture
// rather than an allocation of gigabytes.
constexpr qint64 maxPixels = 4096 * 4096;

const QRgb lit = qRgb(255, 255, 255);
const QRgb dark = qRgb(0, 0, 0);

quint8 byteAt(const QByteArray &bytes, int index)
{
    return index < bytes.size() ? quint8(bytes.at(index)) : 0;
}

// Blue, green, red per pixel from offset `first` of the stream, row after row; pixels
// the stream does not reach stay black.
QImage colourPicture(const QByteArray &stream, int first, int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    const auto *bytes = reinterpret_cast<const uchar *>(stream.constData());
    qint64 at = first;
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        for (int x = 0; x < width; ++x, at += bytesPerColourPixel) {
            line[x] = at + bytesPerColourPixel <= stream.size()
                          ? qRgb(bytes[at + 2], bytes[at + 1], bytes[at])
                          : dark;
        }
    }
    return picture;
}

// Column bytes band by band: byte (band, x) holds rows band*8 .. band*8+7 of column x.
QImage oneBitPicture(const QByteArray &stream, int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
        const qint64 bandStart = qint64(y / bandRows) * width;
        const int bit = y % bandRows;
        for (int x = 0; x < width; ++x)
            line[x] = byteAt(stream, int(bandStart + x)) >> bit & 1 ? lit : dark;
    }
    return picture;
}

} // namespace

bool ImageReceiver::take(const QByteArray &report, const DeviceProfile &profile)
{
    const quint8 item = byteAt(report, itemOffset);
    const quint8 phase = byteAt(report, phaseOffset);
    if (phase == PhaseStart) {
        // A start report ends whatever transfer was under way without keeping it.
        start(item, report, profile);
        return false;
    }
    // Data and end reports belong to the transfer their item started.
    if (m_kind == Kind::None || item != m_item)
        return false;
    if (phase == PhaseData) {
        appendData(report.constData() + dataOffset, report.size() - dataOffset);
        return false;
    }
    if (phase == PhaseEnd) {
        // One-bit pictures: the bytes that did not fill a data report come here.
        if (m_kind == Kind::OneBit)
            appendData(report.constData() + dataOffset, report.size() - dataOffset);
        finish();
        return true;
    }
    return false;
}

void ImageReceiver::clear()
{
    m_kind = Kind::None;
    m_stream.clear();
    m_slotPictures.clear();
    m_bootFrames.clear();
    m_completed = 0;
}

QImage ImageReceiver::slotPicture(int slot) const
{
    return m_slotPictures.value(slot);
}

QVector<QImage> ImageReceiver::bootAnimationFrames() const
{
    return m_bootFrames;
}

int ImageReceiver::completedTransfers() const
{
    return m_completed;
}

void ImageReceiver::start(quint8 item, const QByteArray &report, const DeviceProfile &profile)
{
    m_kind = Kind::None;
    m_stream.clear();
    m_item = item;
    m_slot = byteAt(report, slotOffset);
    const DeviceProfile::SlotGeometry geometry = profile.imageSlots.value(m_slot, profile.defaultSlot);
    m_width = geometry.width;
    m_height = geometry.height;

    qint64 pixels = qint64(m_width) * m_height;
    qint64 expected = pixels * bytesPerColourPixel;
    Kind kind = Kind::Colour;
    if (item == ItemMonoImage) {
        if (m_slot == BootScreenSlot && geometry.screenType == ColourScreenType) {
            kind = Kind::BootAnimation;
            pixels = qint64(BootAnimationFrames) * BootFrameWidth * BootFrameHeight;
            expected = pixels * bytesPerColourPixel;
        } else {
            kind = Kind::OneBit;
            expected = qint64(m_width) * ((m_height + bandRows - 1) / bandRows);
        }
    }
    if (pixels > maxPixels) {
        qWarning("emulated device: slot %d geometry %d x %d is too large to keep", m_slot, m_width,
                 m_height);
        return;
    }
    m_kind = kind;
    m_expectedBytes = int(expected);
    // Room for a whole screen or the boot animation up front; larger pictures grow as
    // their data actually arrives.
    m_stream.reserve(qMin(m_expectedBytes, 1 << 20));
}

void ImageReceiver::appendData(const char *bytes, int available)
{
    const int wanted = qMin(qMin(available, ImageDataBytes), m_expectedBytes - m_stream.size());
    if (wanted > 0)
        m_stream.append(bytes, wanted);
}

void ImageReceiver::finish()
{
    switch (m_kind) {
    case Kind::Colour:
        m_slotPictures.insert(m_slot, colourPicture(m_stream, 0, m_width, m_height));
        break;
    case Kind::OneBit:
        m_slotPictures.insert(m_slot, oneBitPicture(m_stream, m_width, m_height));
        break;
    case Kind::BootAnimation: {
        QVector<QImage> frames;
        const int frameBytes = BootFrameWidth * BootFrameHeight * bytesPerColourPixel;
        for (int k = 0; k < BootAnimationFrames; ++k)
            frames.append(colourPicture(m_stream, k * frameBytes, BootFrameWidth, BootFrameHeight));
        m_bootFrames = frames;
        break;
    }
    case Kind::None:
        return;
    }
    ++m_completed;
    m_kind = Kind::None;
    m_stream.clear();
    m_stream.squeeze();
}

} // namespace emu
