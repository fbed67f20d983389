#include "images/picturefit.h"

#include <QPainter>

namespace {

// The scaled picture on a canvas of size, centred; what lies outside the canvas
// is cut off, what the picture leaves free shows background.
QImage centred(const QImage &scaled, const QSize &size, const QColor &background)
{
    QImage canvas(size, scaled.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    canvas.fill(background);
    QPainter painter(&canvas);
    // The picture's own pixels, alpha included, not blended onto the background.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage((size.width() - scaled.width()) / 2, (size.height() - scaled.height()) / 2, scaled);
    return canvas;
}

} // namespace

QImage fitPicture(const QImage &picture, const QSize &size, PictureFit fit, const QColor &background)
{
    if (picture.isNull() || size.isEmpty())
        return QImage();
    switch (fit) {
    case PictureFit::Stretch:
        break;
    case PictureFit::Contain:
        return centred(picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation), size, background);
    case PictureFit::Cover:
        return centred(picture.scaled(size, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation), size,
                       background);
    }
    return picture.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

bool parsePictureFit(const QString &name, PictureFit &fit)
{
    if (name == QLatin1String("stretch"))
        fit = PictureFit::Stretch;
    else if (name == QLatin1String("contain"))
        fit = PictureFit::Contain;
    else if (name == QLatin1String("cover"))
        fit = PictureFit::Cover;
    else
        return false;
    return true;
}
