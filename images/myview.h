#pragma once
// The drawing board: the editor's picture magnified four times in a window of
// its own, painted on freehand with the mouse. Closing it asks whether the
// painted picture goes back to the editor.

#include "images/myitem.h"
#include "images/myscene.h"

#include <QColor>
#include <QGraphicsView>
#include <QImage>
#include <QPointer>

class editDlg;

class MyView : public QGraphicsView
{
    Q_OBJECT

public:
    explicit MyView(QWidget *parent = nullptr);
    ~MyView() override;

    // The editor supplies the pen colours and receives the picture on Yes.
    void setEditor(editDlg *owner);
    // Shows picture magnified for an imageSize picture, over the editor's
    // background colour where the picture does not reach.
    void setPicture(const QPixmap &picture, const QSize &imageSize);

    const QImage &canvasImage() const { return canvas; }
    MyItem &pictureItem() { return item; }
    // A viewport position as a canvas pixel, through the scrolling, the centring
    // and the item's position.
    QPoint canvasPoint(const QPointF &viewportPosition) const;

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

    // Guarded: a board outlives the editor that opened it.
    QPointer<editDlg> editor;
    MyScene scene;
    MyItem item;
    QImage canvas;

    // The editor's colours as last seen, for painting after it has gone.
    QColor foreground = Qt::black;
    QColor background = Qt::white;
    bool asking = false;
};
