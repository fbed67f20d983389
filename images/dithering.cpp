#include "images/dithering.h"

#include <vector>

namespace {

// Error diffusion on the grey level: each pixel becomes black or white, and
// what that got wrong is passed on to the neighbours still to come (7/16
// right, 3/16 below left, 5/16 below, 1/16 below right).
QImage floydSteinberg(const QImage &picture)
{
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    const int width = source.width();
    const int height = source.height();
    QImage result(width, height, QImage::Format_Mono);
    result.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    result.fill(0);

    // Errors in 1/16 steps for this row and the next, with a spare column each side.
    std::vector<int> current(size_t(width) + 2, 0);
    std::vector<int> next(size_t(width) + 2, 0);
    for (int y = 0; y < height; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(source.constScanLine(y));
        std::fill(next.begin(), next.end(), 0);
        for (int x = 0; x < width; ++x) {
            const int grey = qGray(line[x]) * 16 + current[size_t(x) + 1];
            const bool white = grey >= 128 * 16;
            if (white)
                result.setPixel(x, y, 1);
            const int error = grey - (white ? 255 * 16 : 0);
            current[size_t(x) + 2] += error * 7 / 16;
            next[size_t(x)] += error * 3 / 16;
            next[size_t(x) + 1] += error * 5 / 16;
            next[size_t(x) + 2] += error / 16;
        }
        current.swap(next);
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
