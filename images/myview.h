#pragma once
// The drawing board: the editor's picture magnified four times in a window of
// its own, painted on freehand with the mouse. Each stroke can be undone and
// redone (Ctrl+Z, Ctrl+Shift+Z or Ctrl+Y). Closing it asks whether the painted
// picture goes back to the editor.
//
// The board knows its editor only by what the editor connects: the pen
// colours come in through setColours(), the picture goes out through
// pictureHandedBack(), and a save on closing is asked with slotSaveAsked().
// A board whose editor has gone keeps its last colours and saves by itself.

#include "images/myitem.h"
#include "images/myscene.h"
#include "images/strokestep.h"

#include <QColor>
#include <QGraphicsView>
#include <QImage>
#include <QUndoStack>

#include <optional>

class MyView : public QGraphicsView
{
    Q_OBJECT

public:
    explicit MyView(QWidget *parent = nullptr);
    ~MyView() override;

    // What the editor makes of a save asked of it on closing; left unanswered
    // when no editor listens any more.
    struct SaveAnswer
    {
        bool answered = false;
        bool saved = false;
    };

    // The colour scheme's pens: strokes draw in foreground, the right button
    // erases with background, and the canvas shows background where the
    // picture does not reach. The scheme may change while the board is open.
    void setColours(const QColor &foreground, const QColor &background);
    // The slot whose file a picture goes to when the board is asked to save
    // after its editor has gone.
    void setSlot(int slot) { slotNumber = slot; }
    // Shows picture magnified for an imageSize picture, over the editor's
    // background colour where the picture does not reach. Strokes start afresh.
    void setPicture(const QPixmap &picture, const QSize &imageSize);

    const QImage &canvasImage() const { return canvas; }
    MyItem &pictureItem() { return item; }
    // A viewport position as a canvas pixel, through the scrolling, the centring
    // and the item's position.
    QPoint canvasPoint(const QPointF &viewportPosition) const;

    QUndoStack &strokeHistory() { return strokes; }
    // Strokes painted since the board opened (or last handed its picture back).
    bool hasStrokes() const;
    // The painted picture at the editor's size.
    QPixmap paintedPicture() const;
    // Gives the painted picture to the editor as one step of its own.
    void handBack();
    // Before the board goes with the main window: with strokes painted, asks
    // whether they are saved to the slot file (through the editor, or directly
    // when it has gone), discarded, or the closing cancelled (false).
    bool mayClose();

signals:
    // The painted picture, at the editor's size, for the editor to take.
    void pictureHandedBack(const QPixmap &picture);
    // The strokes are to be saved to the slot file: the editor takes picture
    // as a step of its own, writes its file and answers (connected directly,
    // it answers before the emit returns).
    void slotSaveAsked(const QPixmap &picture, MyView::SaveAnswer *answer);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QPen strokePen();
    void paintStroke(const QPoint &from, const QPoint &to);
    void showCanvas();
    // The stroke under way becomes an undo step.
    void finishStroke();
    void repaintStrokesBefore(const StrokeStep *upTo);
    StrokeStep::Board strokeBoard();

    int slotNumber = 0;
    MyScene scene;
    MyItem item;
    QImage canvas;
    // The canvas as opened, with any stroke too old to be undone painted in.
    QImage firstCanvas;
    std::optional<QVector<StrokeSegment>> stroke;

    // The scheme's colours as last given, also for painting after the editor has gone.
    QColor foreground = Qt::black;
    QColor background = Qt::white;
    bool asking = false;

    // Last: its steps go before the canvases they paint on.
    QUndoStack strokes;
};
