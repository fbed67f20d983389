#include "images/dithering.h"

#include "images/imagestream.h"

#include <vector>

namespace {

const QRgb Lit = qRgb(255, 255, 255);
const QRgb Dark = qRgb(0, 0, 0);

// BT.601 luminance in whole steps of 0-255.
int luminance(QRgb p)
{
    return (299 * qRed(p) + 587 * qGreen(p) + 114 * qBlue(p) + 500) / 1000;
}

// The stream's rule for a lit pixel.
bool lights(QRgb p)
{
    return qRed(p) > 128 || qGreen(p) > 128 || qBlue(p) > 128;
}

QImage floydSteinberg(const QImage &picture)
{
    const QImage values = pixelValues(picture);
    const int width = values.width();
    const int height = values.height();
    QImage result(width, height, QImage::Format_RGB32);
    // The wanted brightness of this row and the next, with the errors
    // already spread to them; one spare column on either side.
    std::vector<int> row(size_t(width) + 2), below(size_t(width) + 2);
    {
        const auto *line = reinterpret_cast<const QRgb *>(values.constScanLine(0));
        for (int x = 0; x < width; ++x)
            row[size_t(x) + 1] = luminance(line[x]);
    }
    for (int y = 0; y < height; ++y) {
        std::fill(below.begin(), below.end(), 0);
        if (y + 1 < height) {
            const auto *next = reinterpret_cast<const QRgb *>(values.constScanLine(y + 1));
            for (int x = 0; x < width; ++x)
                below[size_t(x) + 1] = luminance(next[x]);
        }
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const size_t i = size_t(x) + 1;
            const int wanted = row[i];
            const bool lit = wanted >= 128;
            out[x] = lit ? Lit : Dark;
            // All of the error is passed on: the last share takes what the
            // rounding of the others left.
            const int error = wanted - (lit ? 255 : 0);
            const int right = error * 7 / 16;
            const int belowLeft = error * 3 / 16;
            const int straightBelow = error * 5 / 16;
            row[i + 1] += right;
            below[i - 1] += belowLeft;
            below[i] += straightBelow;
            below[i + 1] += error - right - belowLeft - straightBelow;
        }
        row.swap(below);
    }
    return result;
}

} // namespace

QImage ditherForOneBit(const QImage &picture, Dithering dithering)
{
    if (dithering == Dithering::None || picture.isNull())
        return picture;
    return floydSteinberg(picture);
}

bool parseDithering(const QString &name, Dithering &dithering)
{
    if (name == QLatin1String("none"))
        dithering = Dithering::None;
    else if (name == QLatin1String("floyd-steinberg"))
        dithering = Dithering::FloydSteinberg;
    else
        return false;
    return true;
}

QString ditheringName(Dithering dithering)
{
    return dithering == Dithering::FloydSteinberg ? QStringLiteral("floyd-steinberg") : QStringLiteral("none");
}

QImage invertForOneBit(const QImage &picture)
{
    if (picture.isNull())
        return picture;
    const QImage values = pixelValues(picture);
    QImage result(values.size(), QImage::Format_RGB32);
    for (int y = 0; y < values.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(values.constScanLine(y));
        auto *out = reinterpret_cast<QRgb *>(result.scanLine(y));
        for (int x = 0; x < values.width(); ++x)
            out[x] = lights(in[x]) ? Dark : Lit;
    }
    return result;
}

QImage oneBitPicture(const QImage &picture, Dithering dithering, bool invert)
{
    const QImage dithered = ditherForOneBit(picture, dithering);
    return invert ? invertForOneBit(dithered) : dithered;
}
