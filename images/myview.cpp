#include "images/myview.h"

#include "images/drawingstate.h"
#include "images/editdlg.h"

#include <QCloseEvent>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

namespace {

// Trace lines of the presses; QT_LOGGING_RULES can silence them.
Q_LOGGING_CATEGORY(viewTrace, "tessel.drawingboard.view")

// The answer to the close question that hands the picture back.
constexpr int KeepPainting = 0;

} // namespace

using namespace DrawingBoard;

MyView::MyView(QWidget *parent) : QGraphicsView(parent)
{
    // A closed board is never shown again.
    setAttribute(Qt::WA_DeleteOnClose);
    scene.addItem(&item);
    setScene(&scene);
}

MyView::~MyView()
{
    // Detach the scene before the members that make it up go.
    setScene(nullptr);
}

void MyView::setEditor(editDlg *owner)
{
    editor = owner;
}

void MyView::setPicture(const QPixmap &picture, const QSize &imageSize)
{
    const QSize magnified = imageSize * Magnification;
    scene.setSceneRect(0, 0, magnified.width(), magnified.height());
    item.setPos(0, 0);
    const QPixmap scaled = picture.isNull() ? QPixmap()
                                            : picture.scaled(magnified, Qt::KeepAspectRatio, Qt::FastTransformation);

    // Where the picture does not reach (another aspect ratio, or no picture at
    // all) the canvas shows the scheme's background.
    followEditorColours();
    canvas = QImage(magnified, QImage::Format_RGB32);
    if (!canvas.isNull()) {
        canvas.fill(background);
        QPainter painter(&canvas);
        painter.drawPixmap(0, 0, scaled);
    }
    item.setPixmap(QPixmap::fromImage(canvas));
}

QPoint MyView::canvasPoint(const QPointF &viewportPosition) const
{
    const QPointF onScene = viewportTransform().inverted().map(viewportPosition);
    const QPointF onItem = item.mapFromScene(onScene);
    return QPoint(qRound(onItem.x()), qRound(onItem.y()));
}

void MyView::followEditorColours()
{
    if (editor) {
        foreground = editor->schemeForeground();
        background = editor->schemeBackground();
    }
}

QPen MyView::strokePen()
{
    followEditorColours();
    // The right button erases with a broader pen; every other button draws.
    return erasing ? QPen(QBrush(background), 8.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin)
                   : QPen(QBrush(foreground), 4.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

void MyView::paintStroke(const QPoint &from, const QPoint &to)
{
    const QPen pen = strokePen();
    if (canvas.isNull())
        return;
    {
        QPainter painter(&canvas);
        painter.setPen(pen);
        if (from == to)
            painter.drawPoint(to);
        else
            painter.drawLine(from, to);
    }
    item.setPixmap(QPixmap::fromImage(canvas));
    scene.update();
}

void MyView::mousePressEvent(QMouseEvent *event)
{
    // The scene and the item see the press before the stroke starts.
    QGraphicsView::mousePressEvent(event);
    drawing = true;
    erasing = event->button() == Qt::RightButton;
    const QPoint at = canvasPoint(event->localPos());
    lastPoint = at;
    qCDebug(viewTrace, "press:%d,%d", at.x(), at.y());
    paintStroke(at, at);
}

void MyView::mouseMoveEvent(QMouseEvent *event)
{
    QGraphicsView::mouseMoveEvent(event);
    // A release that went elsewhere (the item's context menu takes the right
    // button's) still ends the stroke once no button is held.
    if (drawing && event->buttons() == Qt::NoButton)
        drawing = false;
    const QPoint at = canvasPoint(event->localPos());
    if (drawing)
        paintStroke(lastPoint, at);
    lastPoint = at;
}

void MyView::mouseReleaseEvent(QMouseEvent *event)
{
    drawing = false;
    // The scene ends the item's hold on the mouse here; without it every later
    // drag, anywhere on the board, would move the picture.
    QGraphicsView::mouseReleaseEvent(event);
}

void MyView::wheelEvent(QWheelEvent *event)
{
    QGraphicsView::wheelEvent(event);
}

void MyView::keyPressEvent(QKeyEvent *event)
{
    QGraphicsView::keyPressEvent(event);
}

void MyView::paintEvent(QPaintEvent *event)
{
    QGraphicsView::paintEvent(event);
}

void MyView::closeEvent(QCloseEvent *event)
{
    // A second close while the question is open waits for its answer.
    if (asking) {
        event->ignore();
        return;
    }
    asking = true;
    const int answer = QMessageBox::information(this, tr("Tessel Control View"),
                                                tr("Do you really want to log out Tessel Control View?"),
                                                tr("Yes"), tr("No"), QString(), 1, -1);
    asking = false;
    // The editor may have been closed while the board stayed open; then Yes only closes.
    if (answer == KeepPainting && editor) {
        const QPixmap &painted = item.currentPixmap();
        editor->setPicture(painted.scaled(painted.width() / Magnification, painted.height() / Magnification,
                                          Qt::KeepAspectRatio, Qt::FastTransformation));
    }
    event->accept();
}
