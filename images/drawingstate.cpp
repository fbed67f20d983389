#include "images/drawingstate.h"

namespace DrawingBoard {

bool drawing = false;
bool erasing = false;
QPoint lastPoint;

} // namespace DrawingBoard
