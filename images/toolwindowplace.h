#pragma once
// Where the editor's own windows open (the drawing board, DEVICE VIEW):
// beside the editor, right of it where the screen has room, else left of it,
// else over the side with more room; level with its top; and always on the
// screen's free area (no panel or dock covers it) as far as the window fits.

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace ToolWindowPlace {

// Between the editor and the window beside it.
constexpr int Gap = 8;

// The top-left corner for a window of size beside anchor, within available.
QPoint beside(const QRect &anchor, const QSize &size, const QRect &available);
// The top-left corner nearest to frame's that keeps it within available.
QPoint within(const QRect &frame, const QRect &available);

// Shows window beside anchor, on anchor's screen. The window's frame is
// known only once it shows, so it is kept on the screen again then.
void showBeside(QWidget *window, const QWidget *anchor);
// Moves window back onto its screen's free area where it reaches beyond it.
void keepOnScreen(QWidget *window);
// The free area of the screen that holds the widget's middle.
QRect availableArea(const QWidget *widget);

} // namespace ToolWindowPlace
