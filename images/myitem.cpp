#include "images/myitem.h"

#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsSceneContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>

namespace {

// The Down key moves the picture this far.
constexpr qreal KeyStep = 10;

} // namespace

MyItem::MyItem()
{
    setFlag(QGraphicsItem::ItemIsFocusable);
    setFlag(QGraphicsItem::ItemIsMovable);
    // The open-hand cursor and the tool tip show where the handle is.
    setAcceptHoverEvents(true);
}

void MyItem::setPixmap(const QPixmap &picture)
{
    if (picture.size() != pixmap.size())
        prepareGeometryChange();
    pixmap = picture;
}

QRectF MyItem::handleRect()
{
    return QRectF(-10.5, -10.5, 20.5, 20.5);
}

QRectF MyItem::boundingRect() const
{
    // The frame is drawn one pixel outside the picture with a one-pixel pen.
    const QRectF framed(-1.5, -1.5, pixmap.width() + 2.5, pixmap.height() + 2.5);
    return handleRect().united(framed);
}

QPainterPath MyItem::shape() const
{
    QPainterPath path;
    path.addRect(handleRect());
    return path;
}

void MyItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->setPen(hasFocus() ? QColor(255, 255, 255, 200) : QColor(50, 50, 50, 200));
    painter->setBrush(QColor(100, 100, 100));
    painter->drawRect(QRectF(QPointF(-1, -1), QPointF(pixmap.width(), pixmap.height())));
    painter->drawPixmap(QRectF(0, 0, pixmap.width(), pixmap.height()), pixmap, QRectF(pixmap.rect()));
}

void MyItem::contextMenuEvent(QGraphicsSceneContextMenuEvent *event)
{
    QMenu menu;
    QAction *moveBack = menu.addAction(QStringLiteral("move back"));
    menu.addAction(QStringLiteral("test"));
    // The menu runs its own event loop; the board, and this item with it, may
    // be gone when it returns.
    const QPointer<QGraphicsScene> board = scene();
    QAction *chosen = menu.exec(event->screenPos());
    if (board && chosen == moveBack)
        setPos(0, 0);
}

void MyItem::hoverEnterEvent(QGraphicsSceneHoverEvent *)
{
    setCursor(Qt::OpenHandCursor);
    setToolTip(QStringLiteral("I am item"));
}

void MyItem::hoverLeaveEvent(QGraphicsSceneHoverEvent *)
{
    setCursor(Qt::ArrowCursor);
}

void MyItem::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Down)
        setPos(pos().x(), pos().y() + KeyStep);
}

void MyItem::mousePressEvent(QGraphicsSceneMouseEvent *)
{
    // The press stays accepted, so the moves that follow come here and drag the item.
    setFocus(Qt::OtherFocusReason);
    setCursor(Qt::ClosedHandCursor);
}

void MyItem::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    QGraphicsItem::mouseMoveEvent(event);
}
