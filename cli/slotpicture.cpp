#include "cli/slotpicture.h"


namespace {

bool hasTranslucentPixels(const QImage &picture)
{
    if (!picture.hasAlphaChannel())
        return false;
    const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x) {
            if (qAlpha(line[x]) != 255)
                return true;
        }
    }
    return false;
}

} // namespace

QImage asPixmapPicture(const QImage &picture)
{
    if (picture.isNull())
        return picture;
    return picture.convertToFormat(hasTranslucentPixels(picture) ? QImage::Format_ARGB32_Premultiplied
                                                                 : QImage::Format_RGB32);
}
