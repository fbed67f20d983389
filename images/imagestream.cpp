#include "images/imagestream.h"

#include "images/imagereportsink.h"

#include <QColor>

#include <algorithm>

using namespace ImageStream;

namespace {

// Fills the data bytes of the transfer's one block and hands each full report
// to the sink, counting the reports.
class ReportPacker
{
public:
    ReportPacker(ApplicationBlock &block, ImageReportSink &sink) : block(block), sink(sink)
    {
        block[3] = Protocol::PhaseData;
    }

    bool putPixel(QRgb pixel)
    {
        quint8 *at = block.data() + Protocol::ImageDataOffset + fill;
        at[0] = quint8(qBlue(pixel));
        at[1] = quint8(qGreen(pixel));
        at[2] = quint8(qRed(pixel));
        fill += 3;
        return fill < Protocol::ImageDataBytes || flush();
    }

    bool putByte(quint8 byte)
    {
        block[size_t(Protocol::ImageDataOffset + fill)] = byte;
        ++fill;
        return fill < Protocol::ImageDataBytes || flush();
    }

    // Colour transfers send the unfinished report as one more data report
    // (under the counter the next full one would have had) before the end.
    bool finishWithDataReport()
    {
        return sink.dataReport(counter, block) && finish();
    }

    // The end report carries whatever the data bytes hold at this point.
    bool finish()
    {
        block[3] = Protocol::PhaseEnd;
        return sink.endReport(block);
    }

    ImageReportSink &progressSink() { return sink; }

private:
    bool flush()
    {
        fill = 0;
        return sink.dataReport(counter++, block);
    }

    ApplicationBlock &block;
    ImageReportSink &sink;
    int counter = 0;
    int fill = 0;
};

bool isDirectlyConvertible(QImage::Format format)
{
    // Formats whose ARGB32 conversion gives the very values pixelColor reads:
    // 8 bits per channel or fewer, no premultiplied alpha to undo.
    switch (format) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8:
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
    case QImage::Format_Grayscale8:
        return true;
    default:
        return false;
    }
}

// Pixels of rows 0 .. height-1 and columns 0 .. width-1 of values (an ARGB32
// picture, possibly smaller or null), black outside it. Progress after each
// finished row y >= 1 when perRowProgress is set.
bool putRows(ReportPacker &packer, const QImage &values, int width, int height, bool perRowProgress)
{
    const QRgb black = qRgb(0, 0, 0);
    const int shownWidth = std::min(width, values.width());
    for (int y = 0; y < height; ++y) {
        int x = 0;
        if (y < values.height()) {
            const auto *line = reinterpret_cast<const QRgb *>(values.constScanLine(y));
            for (; x < shownWidth; ++x) {
                if (!packer.putPixel(line[x]))
                    return false;
            }
        }
        for (; x < width; ++x) {
            if (!packer.putPixel(black))
                return false;
        }
        if (perRowProgress && y >= 1)
            packer.progressSink().progress(int(y / 3.4 + 4));
    }
    return true;
}

} // namespace

ApplicationBlock imageStartBlock(quint8 item, int slot, int width, int height)
{
    ApplicationBlock block = makeApplicationBlock(Protocol::OpWrite, item);
    block[2] = Protocol::TransferTag;
    block[3] = Protocol::PhaseStart;
    block[4] = quint8(slot & 0xFF);
    block[5] = quint8((width >> 8) & 0xFF);
    block[6] = quint8(width & 0x0F);
    block[7] = quint8((height >> 8) & 0xFF);
    block[8] = quint8(height & 0x0F);
    return block;
}

QImage pixelValues(const QImage &picture)
{
    if (picture.isNull())
        return QImage();
    if (isDirectlyConvertible(picture.format()))
        return picture.convertToFormat(QImage::Format_ARGB32);
    // Wide, premultiplied or packed formats: pixelColor rounds through 16 bits
    // per channel, which a plain conversion does not reproduce.
    QImage values(picture.size(), QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(values.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            const QColor c = picture.pixelColor(x, y);
            line[x] = qRgba(c.red(), c.green(), c.blue(), c.alpha());
        }
    }
    return values;
}

QImage bootAnimationFrame(const QImage &picture, int frame)
{
    const int width = 130 + 5 * frame;
    const int height = 15 + frame;
    const int x0 = (Protocol::BootFrameWidth - width) / 2;   // truncated toward zero: -5 for the last frame
    const double brightness = frame * 0.03 + 0.28;

    QImage strip(Protocol::BootFrameWidth, Protocol::BootFrameHeight, QImage::Format_ARGB32);
    strip.fill(qRgb(0, 0, 0));
    if (picture.isNull())
        return strip;
    const QImage values =
        pixelValues(picture.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    const int rows = std::min({height, Protocol::BootFrameHeight, values.height()});
    const int first = std::max(0, x0);
    const int last = std::min(Protocol::BootFrameWidth, x0 + std::min(width, values.width()));
    for (int r = 0; r < rows; ++r) {
        const auto *source = reinterpret_cast<const QRgb *>(values.constScanLine(r));
        auto *target = reinterpret_cast<QRgb *>(strip.scanLine(r));
        for (int i = first; i < last; ++i) {
            const QRgb p = source[i - x0];
            target[i] = qRgb(int(qRed(p) * brightness), int(qGreen(p) * brightness),
                             int(qBlue(p) * brightness));
        }
    }
    return strip;
}

bool streamColourPicture(ApplicationBlock &block, const QImage &picture, int width, int height,
                         ImageReportSink &sink)
{
    ReportPacker packer(block, sink);
    if (!putRows(packer, pixelValues(picture), width, height, true))
        return false;
    sink.progress(99);
    return packer.finishWithDataReport();
}

bool streamBootAnimation(ApplicationBlock &block, const QImage &picture, ImageReportSink &sink)
{
    ReportPacker packer(block, sink);
    for (int k = 0; k < Protocol::BootAnimationFrames; ++k) {
        sink.progress((k + 1) * 4);
        // The stream runs on across frames: a report may hold the end of one
        // frame and the start of the next.
        const QImage frame = bootAnimationFrame(picture, k);
        if (!putRows(packer, frame, Protocol::BootFrameWidth, Protocol::BootFrameHeight, false))
            return false;
    }
    return packer.finishWithDataReport();
}

bool streamMonoPicture(ApplicationBlock &block, const QImage &picture, ImageReportSink &sink)
{
    ReportPacker packer(block, sink);
    const QImage values = pixelValues(picture);
    const int width = values.width();
    const int height = values.height();
    const auto bright = [](QRgb p) { return qRed(p) > 128 || qGreen(p) > 128 || qBlue(p) > 128; };
    for (int band = 0; band < height; band += 8) {
        const QRgb *rows[8] = {};
        for (int i = 0; i < 8 && band + i < height; ++i)
            rows[i] = reinterpret_cast<const QRgb *>(values.constScanLine(band + i));
        for (int x = 0; x < width; ++x) {
            quint8 column = 0;
            for (int i = 0; i < 8; ++i) {
                // Rows past the picture's bottom stay dark.
                if (rows[i] && bright(rows[i][x]))
                    column |= quint8(1u << i);
            }
            if (!packer.putByte(column))
                return false;
        }
    }
    return packer.finish();
}
