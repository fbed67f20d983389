#pragma once
// How a picture of any size meets a slot's size: stretched (the aspect ratio
// is lost), contained (the whole picture, with bands of the background
// colour) or covering (the slot filled, the picture's middle kept).

#include <QColor>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

enum class PictureFit { Stretch, Contain, Cover };

// The picture fitted to size. Stretch scales to it exactly as ADD always has
// (Qt::IgnoreAspectRatio, Qt::FastTransformation), so an opaque picture gives
// the very pixels it gave before. Contain keeps the whole picture, centred,
// with bands of background; Cover fills size and crops the picture's middle.
// Both scale smoothly. Transparent parts are laid over background, never left
// for the screen to show as black. A null picture or an empty size gives a
// null picture.
QImage fitPicture(const QImage &picture, const QSize &size, PictureFit fit, const QColor &background);

// "stretch", "contain", "cover"; false (fit untouched) for anything else.
bool parsePictureFit(const QString &name, PictureFit &fit);
// The name parsePictureFit takes.
QString pictureFitName(PictureFit fit);

// Where Contain puts the whole picture within size: centred, the aspect ratio
// kept to the nearest pixel, never less than one pixel a side.
QRect containedRect(const QSize &picture, const QSize &size);
// The part of the picture Cover shows: the largest centred part with size's
// aspect ratio. Cropped before scaling, so a 1 x 8000 picture is never blown
// up to 240 x 1920000 pixels on its way to the slot.
QRect coveredPart(const QSize &picture, const QSize &size);
