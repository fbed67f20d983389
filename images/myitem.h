#pragma once
// The drawing board's picture: drawn in a one-pixel frame, focusable, and
// dragged by a small handle at its top-left corner.

#include <QGraphicsItem>
#include <QPixmap>

class MyItem : public QGraphicsItem
{
public:
    MyItem();

    const QPixmap &currentPixmap() const { return pixmap; }
    void setPixmap(const QPixmap &picture);

    // The handle: only a press within it reaches the item.
    static QRectF handleRect();

    // The handle and the framed picture, so every exposed part of the picture
    // is drawn, wherever the view is scrolled.
    QRectF boundingRect() const override;
    // Hit-testing uses the handle alone.
    QPainterPath shape() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

protected:
    void contextMenuEvent(QGraphicsSceneContextMenuEvent *event) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;

private:
    QPixmap pixmap;
};
