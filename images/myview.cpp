#include "images/myview.h"

#include "images/drawingstate.h"
#include "images/imageslot.h"
#include "images/undoshortcuts.h"
#include "images/unsavedquestion.h"

#include <QCloseEvent>
#include <QDir>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace {

// Strokes that can be undone; older ones stay painted on the board.
constexpr int StrokeSteps = 200;

} // namespace

using namespace DrawingBoard;

MyView::MyView(QWidget *parent) : QGraphicsView(parent)
{
    // A closed board is never shown again.
    setAttribute(Qt::WA_DeleteOnClose);
    scene.addItem(&item);
    setScene(&scene);
    strokes.setUndoLimit(StrokeSteps);
    // A stroke under way is finished before it can be undone.
    addUndoActions(
        this,
        [this] {
            finishStroke();
            strokes.undo();
        },
        [this] {
            finishStroke();
            strokes.redo();
        });
}

MyView::~MyView()
{
    // The steps paint on this board; it is going, so nothing more is kept.
    for (int i = 0; i < strokes.count(); ++i)
        static_cast<StrokeStep *>(const_cast<QUndoCommand *>(strokes.command(i)))->forget();
    strokes.clear();
    // Detach the scene before the members that make it up go.
    setScene(nullptr);
}

void MyView::setColours(const QColor &foregroundColour, const QColor &backgroundColour)
{
    foreground = foregroundColour;
    background = backgroundColour;
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
    canvas = QImage(magnified, QImage::Format_RGB32);
    if (!canvas.isNull()) {
        canvas.fill(background);
        QPainter painter(&canvas);
        painter.drawPixmap(0, 0, scaled);
    }
    firstCanvas = canvas;
    stroke.reset();
    strokes.clear();
    showCanvas();
}

QPoint MyView::canvasPoint(const QPointF &viewportPosition) const
{
    const QPointF onScene = viewportTransform().inverted().map(viewportPosition);
    const QPointF onItem = item.mapFromScene(onScene);
    return QPoint(qRound(onItem.x()), qRound(onItem.y()));
}

QPen MyView::strokePen()
{
    // The right button erases with a broader pen; every other button draws.
    return erasing ? QPen(QBrush(background), 8.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin)
                   : QPen(QBrush(foreground), 4.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
}

void MyView::paintStroke(const QPoint &from, const QPoint &to)
{
    const StrokeSegment segment{from, to, strokePen()};
    if (canvas.isNull())
        return;
    paintSegment(canvas, segment);
    // A press on another board may have started the stroke this board paints.
    if (!stroke)
        stroke.emplace();
    stroke->append(segment);
    showCanvas();
}

void MyView::showCanvas()
{
    item.setPixmap(QPixmap::fromImage(canvas));
    scene.update();
}

void MyView::finishStroke()
{
    if (!stroke)
        return;
    const QVector<StrokeSegment> segments = *stroke;
    stroke.reset();
    strokes.push(new StrokeStep(segments, strokeBoard()));
}

StrokeStep::Board MyView::strokeBoard()
{
    StrokeStep::Board board;
    board.repaintBefore = [this](const StrokeStep *upTo) { repaintStrokesBefore(upTo); };
    board.keep = [this](const QVector<StrokeSegment> &segments) {
        for (const StrokeSegment &segment : segments)
            paintSegment(firstCanvas, segment);
    };
    board.paint = [this](const QVector<StrokeSegment> &segments) {
        for (const StrokeSegment &segment : segments)
            paintSegment(canvas, segment);
        showCanvas();
    };
    return board;
}

void MyView::repaintStrokesBefore(const StrokeStep *upTo)
{
    canvas = firstCanvas.copy();
    for (int i = 0; i < strokes.count(); ++i) {
        const auto *step = static_cast<const StrokeStep *>(strokes.command(i));
        if (step == upTo)
            break;
        for (const StrokeSegment &segment : step->segments())
            paintSegment(canvas, segment);
    }
    showCanvas();
}

bool MyView::hasStrokes() const
{
    return stroke.has_value() || !strokes.isClean();
}

QPixmap MyView::paintedPicture() const
{
    const QPixmap &painted = item.currentPixmap();
    return painted.scaled(painted.width() / Magnification, painted.height() / Magnification, Qt::KeepAspectRatio,
                          Qt::FastTransformation);
}

void MyView::handBack()
{
    finishStroke();
    emit pictureHandedBack(paintedPicture());
    strokes.setClean();
}

bool MyView::mayClose()
{
    finishStroke();
    if (!hasStrokes())
        return true;
    switch (askAboutUnsavedPicture(this, slotNumber)) {
    case UnsavedAnswer::Cancel:
        return false;
    case UnsavedAnswer::Discard:
        return true;
    case UnsavedAnswer::Save:
        break;
    }
    SaveAnswer answer;
    emit slotSaveAsked(paintedPicture(), &answer);
    if (answer.answered) {
        // The editor has the picture now; whether its file was written is its to say.
        strokes.setClean();
        return answer.saved;
    }
    // Without its editor the board writes the slot file itself.
    QDir().mkpath(imageFolder());
    if (!paintedPicture().save(slotImagePath(slotNumber), "bmp"))
        return false;
    strokes.setClean();
    return true;
}

void MyView::mousePressEvent(QMouseEvent *event)
{
    // The scene and the item see the press before the stroke starts.
    QGraphicsView::mousePressEvent(event);
    finishStroke();
    drawing = true;
    erasing = event->button() == Qt::RightButton;
    const QPoint at = canvasPoint(event->localPos());
    lastPoint = at;
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
    else
        finishStroke();
    lastPoint = at;
}

void MyView::mouseReleaseEvent(QMouseEvent *event)
{
    drawing = false;
    finishStroke();
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
    finishStroke();
    // Yes keeps the painting and is the default; Esc cancels the close.
    QMessageBox box(QMessageBox::Information, tr("Tessel Control View"),
                    tr("Do you really want to log out Tessel Control View?"), QMessageBox::NoButton, this);
    QPushButton *yes = box.addButton(tr("Yes"), QMessageBox::YesRole);
    box.addButton(tr("No"), QMessageBox::NoRole);
    QPushButton *cancel = box.addButton(tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    asking = true;
    box.exec();
    asking = false;
    if (box.clickedButton() == cancel || !box.clickedButton()) {
        event->ignore();
        return;
    }
    // The editor may have been closed while the board stayed open; then Yes
    // hands the picture to no one and only closes.
    if (box.clickedButton() == yes)
        handBack();
    event->accept();
}
