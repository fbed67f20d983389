#pragma once
// A stroke on the drawing board as an undo step. A stroke keeps the segments
// it was painted with (points and pen), not pixels: the magnified canvas is
// sixteen times the slot picture, and a step of pixels would cost megabytes.
// Undoing paints the board's first canvas again with the strokes before it.

#include <QImage>
#include <QPen>
#include <QPoint>
#include <QUndoCommand>
#include <QVector>

#include <functional>

struct StrokeSegment
{
    QPoint from;
    QPoint to;   // the same as from for the dot a press paints
    QPen pen;
};

// Paints one segment exactly as the board paints it under the mouse.
void paintSegment(QImage &canvas, const StrokeSegment &segment);

class StrokeStep : public QUndoCommand
{
public:
    // What the step asks of its board: undo paints the board anew without
    // this stroke and the ones after it; a step that leaves the stack while
    // its stroke is on the canvas (the oldest, past the step limit) hands its
    // segments to be kept in the board's first canvas.
    struct Board
    {
        std::function<void(const StrokeStep *upTo)> repaintBefore;
        std::function<void(const QVector<StrokeSegment> &segments)> keep;
        std::function<void(const QVector<StrokeSegment> &segments)> paint;
    };

    // The stroke is already on the canvas when it is pushed.
    StrokeStep(const QVector<StrokeSegment> &segments, Board board);
    ~StrokeStep() override;

    void undo() override;
    void redo() override;

    const QVector<StrokeSegment> &segments() const { return strokeSegments; }
    // The board is going: nothing is to be kept any more.
    void forget() { board = Board(); }

private:
    QVector<StrokeSegment> strokeSegments;
    Board board;
    bool onCanvas = true;
    bool pushed = false;
};
