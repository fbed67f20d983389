#pragma once
// The drawing board: the editor's picture magnified four times in a window of
// its own, painted on freehand with the mouse. Each stroke can be undone and
// redone (Ctrl+Z, Ctrl+Shift+Z or Ctrl+Y). Closing it asks whether the painted
// picture goes back to the editor.

#include "images/myitem.h"
#include "images/myscene.h"
#include "images/strokestep.h"

#include <QColor>
#include <QGraphicsView>
#include <QImage>
#include <QPointer>
#include <QUndoStack>

#include <optional>

class editDlg;

class MyView : public QGraphicsView
{
    Q_OBJECT

public:
    explicit MyView(QWidget *parent = nullptr);
    ~MyView() override;

    // The editor supplies the pen colours and receives the picture on Yes.
    void setEditor(editDlg *owner);
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

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // The scheme may change while the board is open; strokes use the current one.
    void followEditorColours();
    QPen strokePen();
    void paintStroke(const QPoint &from, const QPoint &to);
    void showCanvas();
    // The stroke under way becomes an undo step.
    void finishStroke();
    void repaintBefore(const StrokeStep *upTo);
    StrokeStep::Board strokeBoard();

    // Guarded: a board outlives the editor that opened it.
    QPointer<editDlg> editor;
    int slotNumber = 0;
    MyScene scene;
    MyItem item;
    QImage canvas;
    // The canvas as opened, with any stroke too old to be undone painted in.
    QImage firstCanvas;
    std::optional<QVector<StrokeSegment>> stroke;

    // The editor's colours as last seen, for painting after it has gone.
    QColor foreground = Qt::black;
    QColor background = Qt::white;
    bool asking = false;

    // Last: its steps go before the canvases they paint on.
    QUndoStack strokes;
};
