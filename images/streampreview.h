#pragma once
// What the device's screen will show, rebuilt from the data bytes the
// encoders put in the reports: the preview comes from the transfer itself,
// never from a second conversion that could drift from it.

#include <QImage>
#include <QVector>

// The colour stream of picture for a width x height slot, read back: 24 bits
// per pixel, black where the picture does not reach. RGB32.
QImage colourStreamPreview(const QImage &picture, int width, int height);

// The boot animation's 25 frames of 240 x 40 pixels as they are streamed. RGB32.
QVector<QImage> bootAnimationPreview(const QImage &picture);

// The one-bit stream of picture read back: white where a bit is set, black
// where it is clear, at the picture's own size. RGB32.
QImage oneBitStreamPreview(const QImage &picture);
