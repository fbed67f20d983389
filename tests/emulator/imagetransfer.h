#pragma once
// Image transfers as the program puts them on the wire (items 0x0C and 0x0D), built
// independently of the program's encoder so the emulated device can be checked alone.

#include <QByteArray>
#include <QImage>
#include <QVector>

#include <hidapi.h>

namespace imagetransfer {

// One 63-byte argument block per transfer, reused for every report: bytes a report
// does not set keep what the previous report left there.
class Transfer
{
public:
    Transfer(quint8 item, int slot, int width, int height) : m_block(63, '\0')
    {
        const quint8 start[] = {'w', item, 0x36, 0x01, quint8(slot), quint8(width >> 8),
                                quint8(width & 0x0F), quint8(height >> 8), quint8(height & 0x0F)};
        for (int i = 0; i < int(sizeof start); ++i)
            m_block[i] = char(start[i]);
        send();
        m_block[3] = 0x02;
    }
    void put(quint8 byte)
    {
        m_block[4 + m_count] = char(byte);
        if (++m_count == 54) {
            send();
            m_count = 0;
        }
    }
    void send() { m_reports << QByteArray("\x00\x55\x3F", 3) + m_block.left(61); }
    // The end report carries whatever the block holds: pending bytes, then old ones.
    QVector<QByteArray> end()
    {
        m_block[3] = 0x03;
        send();
        return m_reports;
    }

private:
    QByteArray m_block;
    QVector<QByteArray> m_reports;
    int m_count = 0;
};

// Blue, green, red, 18 pixels a report across rows and pictures, then the block once
// more as a data report, then the end report.
inline QVector<QByteArray> colourReports(quint8 item, int slot, int width, int height,
                                         const QVector<QImage> &pictures)
{
    Transfer transfer(item, slot, width, height);
    for (const QImage &picture : pictures) {
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb pixel = picture.pixel(x, y);
                transfer.put(quint8(qBlue(pixel)));
                transfer.put(quint8(qGreen(pixel)));
                transfer.put(quint8(qRed(pixel)));
            }
        }
    }
    transfer.send();
    return transfer.end();
}

// Item 0x0D in 8-row bands, one byte per column, bit i = row band + i, set when a
// channel is above 128; the unsent bytes travel in the end report.
inline QVector<QByteArray> oneBitReports(int slot, const QImage &picture)
{
    Transfer transfer(0x0D, slot, picture.width(), picture.height());
    for (int band = 0; band < picture.height(); band += 8) {
        for (int x = 0; x < picture.width(); ++x) {
            quint8 byte = 0;
            for (int i = 0; i < 8 && band + i < picture.height(); ++i) {
                const QRgb pixel = picture.pixel(x, band + i);
                if (qRed(pixel) > 128 || qGreen(pixel) > 128 || qBlue(pixel) > 128)
                    byte |= quint8(1 << i);
            }
            transfer.put(byte);
        }
    }
    return transfer.end();
}

// A picture whose every channel changes from pixel to pixel, so swapped channels,
// shifted rows or lost reports all show.
inline QImage pattern(int width, int height, int seed = 0)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb((x * 7 + seed * 31) & 0xFF, (y * 5 + x + seed) & 0xFF, (x ^ y ^ (seed * 13)) & 0xFF));
    }
    return picture;
}

// Black and white only, as a one-bit screen shows it.
inline QImage oneBitPattern(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, (x * 3 + y * y) % 7 < 3 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    }
    return picture;
}

inline void write(hid_device *handle, const QVector<QByteArray> &reports)
{
    for (const QByteArray &report : reports)
        hid_write(handle, reinterpret_cast<const unsigned char *>(report.constData()), size_t(report.size()));
}

} // namespace imagetransfer
