#include "windowplacement.h"

#include <algorithm>

namespace emu {

namespace {

// lowest..highest, or lowest when the span is too small for the window.
int within(int value, int lowest, int highest)
{
    return std::max(lowest, std::min(value, highest));
}

} // namespace

QPoint placeBeside(const QRect &mainWindow, const QSize &size, const QRect &room, int keepClearTop, int gap)
{
    // Exclusive edges: a window at x with width w ends before x + w.
    const int mainLeft = mainWindow.x(), mainTop = mainWindow.y();
    const int mainRight = mainLeft + mainWindow.width(), mainBottom = mainTop + mainWindow.height();
    const int roomRight = room.x() + room.width(), roomBottom = room.y() + room.height();
    const int besideY = within(mainTop, room.y(), roomBottom - size.height());
    const int alignedX = within(mainLeft, room.x(), roomRight - size.width());

    if (mainRight + gap + size.width() <= roomRight)
        return {mainRight + gap, besideY};
    if (mainLeft - gap - size.width() >= room.x())
        return {mainLeft - gap - size.width(), besideY};
    if (mainBottom + gap + size.height() <= roomBottom)
        return {alignedX, mainBottom + gap};
    if (mainTop - gap - size.height() >= room.y())
        return {alignedX, mainTop - gap - size.height()};
    // No free side: against the screen's edge on the side with more room, so
    // that as little of the main window is covered as can be; as low as the
    // screen allows, and never over the main window's top strip.
    const int x = roomRight - mainRight >= mainLeft - room.x() ? std::max(room.x(), roomRight - size.width())
                                                                : room.x();
    const int y = std::max(mainTop + keepClearTop, roomBottom - size.height());
    return {x, y};
}

} // namespace emu
