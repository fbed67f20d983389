#pragma once
// Fitting a picture to the size a slot takes.

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>

enum class PictureFit { Stretch, Contain, Cover };

// The picture fitted to size: Stretch scales to it exactly as the editor does
// (Qt::IgnoreAspectRatio, Qt::FastTransformation); Contain keeps the whole
// picture, letterboxed in background; Cover fills, centre crop.
QImage fitPicture(const QImage &picture, const QSize &size, PictureFit fit, const QColor &background);

// "stretch", "contain", "cover"; false for any other name.
bool parsePictureFit(const QString &name, PictureFit &fit);
