#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace emu {

// Where a side window of `size` goes so that it does not cover the main window:
// beside it on a side with room in `room` (the right first, then the left),
// else below or above it. On a screen too small for any of these it goes
// against the screen's edge on the side with more room, covering as little of
// the main window as it can, and never its top strip of `keepClearTop` pixels,
// where the main window has its title and its buttons.
QPoint placeBeside(const QRect &mainWindow, const QSize &size, const QRect &room, int keepClearTop,
                   int gap = 16);

} // namespace emu
