#pragma once
// Turning a picture into the reports of an image transfer (items 0x0C, 0x0D).
//
// One 63-byte argument block serves a whole transfer: the start report sets
// the slot and the size, each data report overwrites the 54 data bytes from
// block offset 4 on, and the end report only changes the phase. Bytes a
// report does not set keep what the report before left there, and the device
// relies on exactly these bytes, so the block is passed along, never rebuilt.

#include "device/protocol_images.h"
#include "device/reports.h"

#include <QImage>

class ImageReportSink;

namespace ImageStream {

constexpr int PixelsPerReport = Protocol::ImageDataBytes / 3;

} // namespace ImageStream

// The start report's block. Only bits 0-3 of the low size bytes are sent
// (AND 0x0F, not the whole byte): the device takes them that way.
ApplicationBlock imageStartBlock(quint8 item, int slot, int width, int height);

// The picture as 8-bit red, green and blue per pixel, exactly the values
// QImage::pixelColor reports, in one ARGB32 picture read through scanlines.
QImage pixelValues(const QImage &picture);

// Frame k of the boot animation: the picture scaled to (130 + 5k) x (15 + k),
// centred on the 240-column strip at its top, dimmed by k * 0.03 + 0.28; the
// rest black. ARGB32.
QImage bootAnimationFrame(const QImage &picture, int frame);

// Colour stream (item 0x0C, or 0x0D for the boot animation): 18 pixels per
// data report as blue, green, red, row by row over width x height (pixels
// outside the picture are black); then one more data report and the end
// report. block holds the start report on entry. False when the sink stopped.
bool streamColourPicture(ApplicationBlock &block, const QImage &picture, int width, int height,
                         ImageReportSink &sink);

// The 25 frames of the boot animation as one colour stream.
bool streamBootAnimation(ApplicationBlock &block, const QImage &picture, ImageReportSink &sink);

// One-bit stream (item 0x0D): 8-row bands, one byte per column (bit i = row
// b + i, set when red, green or blue is above 128), 54 bytes per data report;
// the bytes left over travel in the end report. The picture's own size counts.
bool streamMonoPicture(ApplicationBlock &block, const QImage &picture, ImageReportSink &sink);
