#include "images/strokestep.h"

#include <QPainter>

void paintSegment(QImage &canvas, const StrokeSegment &segment)
{
    QPainter painter(&canvas);
    painter.setPen(segment.pen);
    if (segment.from == segment.to)
        painter.drawPoint(segment.to);
    else
        painter.drawLine(segment.from, segment.to);
}

StrokeStep::StrokeStep(const QVector<StrokeSegment> &segments, Board board)
    : QUndoCommand(QStringLiteral("stroke")), strokeSegments(segments), board(std::move(board))
{
}

StrokeStep::~StrokeStep()
{
    if (onCanvas && board.keep)
        board.keep(strokeSegments);
}

void StrokeStep::undo()
{
    onCanvas = false;
    if (board.repaintBefore)
        board.repaintBefore(this);
}

void StrokeStep::redo()
{
    // The push's redo finds the stroke painted already, under the mouse.
    if (pushed && board.paint)
        board.paint(strokeSegments);
    pushed = true;
    onCanvas = true;
}
