#pragma once
// Preparing a picture for a one-bit screen.

#include <QImage>
#include <QString>

enum class Dithering { None, FloydSteinberg };

// For one-bit screens: None leaves the picture as it is (the stream's own
// threshold applies); FloydSteinberg returns a black-and-white picture whose
// bits the one-bit stream sends unchanged.
QImage ditherForOneBit(const QImage &picture, Dithering dithering);

// "none", "floyd-steinberg"; false for any other name.
bool parseDithering(const QString &name, Dithering &dithering);
