#include "images/picturefit.h"

#include <QPainter>
#include <QRect>

#include <algorithm>

namespace {

struct FitName
{
    PictureFit fit;
    const char *name;
};

const FitName FitNames[] = {
    {PictureFit::Stretch, "stretch"},
    {PictureFit::Contain, "contain"},
    {PictureFit::Cover, "cover"},
};

// The picture over a canvas of the background colour, at place.
QImage onBackground(const QImage &picture, const QSize &size, const QRect &place, const QColor &background)
{
    QImage canvas(size, QImage::Format_RGB32);
    canvas.fill(background.rgb());
    QPainter painter(&canvas);
    painter.drawImage(place, picture);
    return canvas;
}

// The picture in the 32-bit form ADD always scaled (a pixmap's): one-bit and
// palette pictures pick other pixels when scaled in their own format.
QImage asPainted(const QImage &picture)
{
    switch (picture.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
    case QImage::Format_Indexed8:
        return picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                 : QImage::Format_RGB32);
    default:
        return picture;
    }
}

// A picture with transparency in the premultiplied form before it is smoothed:
// Qt 6 smooths some other forms (64-bit colour among them) with the
// transparency counted twice, so half-transparent parts came out too faint
// over the background. Qt 5 smooths in this form anyway.
QImage forSmoothing(const QImage &picture)
{
    return picture.hasAlphaChannel() ? picture.convertToFormat(QImage::Format_ARGB32_Premultiplied) : picture;
}

} // namespace

QRect coveredPart(const QSize &picture, const QSize &size)
{
    const qint64 w = picture.width();
    const qint64 h = picture.height();
    qint64 partW = w;
    qint64 partH = h;
    if (w * size.height() > h * size.width())
        partW = std::max<qint64>(1, (h * size.width() + size.height() / 2) / size.height());
    else
        partH = std::max<qint64>(1, (w * size.height() + size.width() / 2) / size.width());
    return QRect(int((w - partW) / 2), int((h - partH) / 2), int(partW), int(partH));
}

QRect containedRect(const QSize &picture, const QSize &size)
{
    const qint64 w = picture.width();
    const qint64 h = picture.height();
    QSize inner;
    if (w * size.height() > h * size.width())
        inner = QSize(size.width(), int(std::max<qint64>(1, (h * size.width() + w / 2) / w)));
    else
        inner = QSize(int(std::max<qint64>(1, (w * size.height() + h / 2) / h)), size.height());
    return QRect(QPoint((size.width() - inner.width()) / 2, (size.height() - inner.height()) / 2), inner);
}

QImage fitPicture(const QImage &picture, const QSize &size, PictureFit fit, const QColor &background)
{
    if (picture.isNull() || size.isEmpty())
        return QImage();
    switch (fit) {
    case PictureFit::Stretch: {
        const QImage scaled = asPainted(picture).scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        if (!scaled.hasAlphaChannel())
            return scaled;
        return onBackground(scaled, size, QRect(QPoint(), size), background);
    }
    case PictureFit::Contain: {
        const QRect place = containedRect(picture.size(), size);
        const QImage scaled = forSmoothing(picture).scaled(place.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return onBackground(scaled, size, place, background);
    }
    case PictureFit::Cover: {
        const QImage part = picture.copy(coveredPart(picture.size(), size));
        const QImage scaled = forSmoothing(part).scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        return onBackground(scaled, size, QRect(QPoint(), size), background);
    }
    }
    return QImage();
}

bool parsePictureFit(const QString &name, PictureFit &fit)
{
    for (const FitName &entry : FitNames) {
        if (name == QLatin1String(entry.name)) {
            fit = entry.fit;
            return true;
        }
    }
    return false;
}

QString pictureFitName(PictureFit fit)
{
    for (const FitName &entry : FitNames) {
        if (entry.fit == fit)
            return QLatin1String(entry.name);
    }
    return QString();
}
