#include "images/streampreview.h"

#include "images/imagereportsink.h"
#include "images/imagestream.h"

using namespace ImageStream;

namespace {

// Keeps the data bytes of every data report in order, and the end report's.
class DataRecorder : public ImageReportSink
{
public:
    bool dataReport(int, const ApplicationBlock &block) override
    {
        data.append(dataBytes(block));
        return true;
    }
    bool endReport(const ApplicationBlock &block) override
    {
        end = dataBytes(block);
        return true;
    }
    void progress(int) override {}

    QByteArray data;
    QByteArray end;

private:
    static QByteArray dataBytes(const ApplicationBlock &block)
    {
        return QByteArray(reinterpret_cast<const char *>(block.data()) + Protocol::ImageDataOffset,
                          Protocol::ImageDataBytes);
    }
};

// Pixels of blue, green, red from bytes, row by row; what the bytes do not
// reach stays black.
QImage colourPixels(const QByteArray &bytes, int from, int width, int height)
{
    QImage pixels(width, height, QImage::Format_RGB32);
    pixels.fill(qRgb(0, 0, 0));
    const auto *at = reinterpret_cast<const uchar *>(bytes.constData()) + from;
    const int available = (bytes.size() - from) / 3;
    for (int i = 0; i < width * height && i < available; ++i, at += 3)
        pixels.setPixel(i % width, i / width, qRgb(at[2], at[1], at[0]));
    return pixels;
}

ApplicationBlock startBlock()
{
    return imageStartBlock(0, 0, 0, 0);
}

} // namespace

QImage colourStreamPreview(const QImage &picture, int width, int height)
{
    if (width <= 0 || height <= 0)
        return QImage();
    ApplicationBlock block = startBlock();
    DataRecorder recorder;
    streamColourPicture(block, picture, width, height, recorder);
    // The data reports carry every pixel; the repeated last report adds nothing.
    return colourPixels(recorder.data, 0, width, height);
}

QVector<QImage> bootAnimationPreview(const QImage &picture)
{
    ApplicationBlock block = startBlock();
    DataRecorder recorder;
    streamBootAnimation(block, picture, recorder);
    QVector<QImage> frames;
    const int frameBytes = Protocol::BootFrameWidth * Protocol::BootFrameHeight * 3;
    for (int k = 0; k < Protocol::BootAnimationFrames; ++k)
        frames << colourPixels(recorder.data, k * frameBytes, Protocol::BootFrameWidth, Protocol::BootFrameHeight);
    return frames;
}

QImage oneBitStreamPreview(const QImage &picture)
{
    if (picture.isNull())
        return QImage();
    ApplicationBlock block = startBlock();
    DataRecorder recorder;
    streamMonoPicture(block, picture, recorder);
    // The bytes still pending after the last data report travel in the end report.
    const QByteArray bytes = recorder.data + recorder.end;
    const int width = picture.width();
    const int height = picture.height();
    QImage shown(width, height, QImage::Format_RGB32);
    shown.fill(qRgb(0, 0, 0));
    int index = 0;
    for (int band = 0; band < height; band += 8) {
        for (int x = 0; x < width; ++x, ++index) {
            const auto column = quint8(bytes.at(index));
            for (int i = 0; i < 8 && band + i < height; ++i) {
                if (column & (1u << i))
                    shown.setPixel(x, band + i, qRgb(255, 255, 255));
            }
        }
    }
    return shown;
}
