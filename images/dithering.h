#pragma once
// Getting a picture onto a one-bit screen. The one-bit stream lights a pixel
// when its red, green or blue value is above 128 (streamMonoPicture); that
// threshold turns photos and gradients into blotches. Error diffusion spreads
// the difference between grey and black-or-white over the neighbours, so the
// screen shows the shades as a pattern of dots.

#include <QImage>
#include <QString>

enum class Dithering { None, FloydSteinberg };

// For one-bit screens. None leaves the picture as it is (the stream's own
// threshold applies). FloydSteinberg returns a black-and-white picture whose
// bits the one-bit stream sends unchanged: each pixel's luminance (BT.601),
// with the error of the pixels before it, lights the pixel from 128 up; the
// error goes 7/16 right, 3/16 below left, 5/16 below and 1/16 below right,
// row by row from the top left. Alpha is not looked at, as the stream does not.
QImage ditherForOneBit(const QImage &picture, Dithering dithering);

// "none", "floyd-steinberg"; false (dithering untouched) for anything else.
bool parseDithering(const QString &name, Dithering &dithering);
// The name parseDithering takes.
QString ditheringName(Dithering dithering);

// Black where the one-bit stream would light a pixel, white where it would
// not: the screen's picture inverted, bit for bit.
QImage invertForOneBit(const QImage &picture);

// The picture a one-bit screen is sent: dithered (or not), then inverted when
// asked. With Dithering::None and no inversion, the picture itself.
QImage oneBitPicture(const QImage &picture, Dithering dithering, bool invert);
