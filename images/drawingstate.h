#pragma once
// The stroke state every drawing board shares: a press on any board starts a
// stroke and a release on any board ends it.

#include <QPoint>

namespace DrawingBoard {

// A mouse button went down on a board and has not come up.
extern bool drawing;
// The button that went down last was the right one: strokes erase.
extern bool erasing;
// The last mouse position a board saw, in canvas pixels.
extern QPoint lastPoint;

// The board's picture is the editor's magnified this many times.
constexpr int Magnification = 4;

} // namespace DrawingBoard
