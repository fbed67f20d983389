// The drawing board: strokes on the magnified canvas, the picture item and its
// handle, and the close question that hands the picture back to the editor.

#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "images/drawingstate.h"
#include "editors/editdlg.h"
#include "images/devicepreview.h"
#include "images/myview.h"
#include "images/toolwindowplace.h"
#include "imagetests.h"
#include "testsupport.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

using namespace imagetest;
using namespace testsupport;

namespace {

// Neither the scheme's black nor its white, so every stroke shows.
const QRgb PictureColour = qRgb(100, 150, 200);
const QRgb Foreground = qRgb(0, 0, 0);
const QRgb Background = qRgb(255, 255, 255);

void mouse(MyView *board, QEvent::Type type, const QPointF &at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QWidget *viewport = board->viewport();
    QMouseEvent event(type, at, viewport->mapToGlobal(at.toPoint()), button, held, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
}

void drag(MyView *board, Qt::MouseButton button, const QPointF &from, const QPointF &to)
{
    mouse(board, QEvent::MouseButtonPress, from, button, button);
    mouse(board, QEvent::MouseMove, to, Qt::NoButton, button);
    mouse(board, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

// The pixels that differ between two canvases, and the colours they took.
struct Change
{
    QRect bounds;
    QSet<QRgb> colours;
};

Change changed(const QImage &before, const QImage &after)
{
    Change change;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y)) {
                change.bounds |= QRect(x, y, 1, 1);
                change.colours << after.pixel(x, y);
            }
    return change;
}

// What the next modal message box showed, answered with the button labelled answer.
struct Question
{
    QString title;
    QString text;
    QString defaultButton;
};

void answerNextQuestion(const QString &answer, Question *seen)
{
    auto *timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            if (++*tries > 500)
                timer->deleteLater();
            return;
        }
        timer->deleteLater();
        *seen = {box->windowTitle(), box->text(), box->defaultButton() ? box->defaultButton()->text() : QString()};
        if (answer == "Esc")
            QTest::keyClick(box, Qt::Key_Escape);
        for (QAbstractButton *button : box->buttons())
            if (button->text() == answer)
                button->click();
    });
    timer->start(10);
}

// Chooses the action labelled choice in the next context menu; an empty choice dismisses it.
void chooseInNextMenu(const QString &choice)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        timer->deleteLater();
        for (QAction *action : menu->actions())
            if (action->text() == choice)
                menu->setActiveAction(action);
        QTest::keyClick(menu, choice.isEmpty() ? Qt::Key_Escape : Qt::Key_Return);
    });
    timer->start(10);
}

} // namespace

class TestDrawingBoard : public QObject
{
    Q_OBJECT

    ScratchDirectory scratch;
    MainWindow *window = nullptr;
    QPointer<editDlg> editor;

    // An editor for a 240 x 280 slot whose picture is one flat colour.
    void openEditor(const QImage &picture)
    {
        editor = new editDlg(4, 240, 280, 0x54, &window->controller());
        editor->setPicture(QPixmap::fromImage(picture));
        editor->show();
    }

    // Clicks the editor's picture; the board is small enough to scroll, scrolled to its top-left.
    MyView *openBoard()
    {
        QTest::mouseClick(child<QPushButton>(editor, "pushButton"), Qt::LeftButton);
        MyView *board = editor->newestDrawingBoard();
        if (board) {
            board->resize(400, 300);
            board->activateWindow();
            if (!QTest::qWaitForWindowActive(board))
                qWarning("the drawing board did not become the active window");
            board->horizontalScrollBar()->setValue(0);
            board->verticalScrollBar()->setValue(0);
        }
        return board;
    }

    static QImage flat(int width, int height)
    {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(PictureColour);
        return picture;
    }

private slots:
    void init()
    {
        emu::EmulatedDevice::instance().reset();
        scratch.enter();
        window = new MainWindow;
        QVERIFY(testsupport::waitForDeviceIdle(window->controller()));
        DrawingBoard::drawing = false;
        DrawingBoard::erasing = false;
        DrawingBoard::lastPoint = QPoint();
    }
    void cleanup()
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<MyView *>(w))
                delete w;
        delete window;
        scratch.leave();
    }

    // A tool window goes right of the editor where the screen has room, else
    // left, else against the edge of the roomier side; level with the
    // editor's top, and on the screen's free area (here 0, 30 to 1600, 900).
    void besidePlacement_data()
    {
        QTest::addColumn<QRect>("editor");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("at");
        const QSize board(600, 450);
        QTest::newRow("right") << QRect(100, 100, 751, 391) << board << QPoint(859, 100);
        QTest::newRow("right, to the last pixel") << QRect(100, 100, 892, 391) << board << QPoint(1000, 100);
        QTest::newRow("left") << QRect(800, 100, 751, 391) << board << QPoint(192, 100);
        QTest::newRow("left, to the first pixel") << QRect(608, 100, 751, 391) << board << QPoint(0, 100);
        QTest::newRow("no room: right edge") << QRect(300, 100, 751, 391) << QSize(700, 450) << QPoint(900, 100);
        QTest::newRow("no room: left edge") << QRect(600, 100, 751, 391) << QSize(700, 450) << QPoint(0, 100);
        QTest::newRow("editor low: lifted") << QRect(100, 700, 751, 391) << board << QPoint(859, 450);
        QTest::newRow("editor off the right edge") << QRect(1500, 100, 751, 391) << board << QPoint(892, 100);
        QTest::newRow("taller than the screen") << QRect(100, 100, 751, 391) << QSize(600, 1200) << QPoint(859, 30);
        QTest::newRow("wider than the screen") << QRect(100, 100, 751, 391) << QSize(1700, 450) << QPoint(0, 100);
    }
    void besidePlacement()
    {
        QFETCH(QRect, editor);
        QFETCH(QSize, size);
        QFETCH(QPoint, at);
        QCOMPARE(ToolWindowPlace::beside(editor, size, QRect(0, 30, 1600, 870)), at);
    }

    // The drawing board and DEVICE VIEW open wholly on the screen, wherever
    // the editor stands.
    void toolWindowsOpenOnTheScreen_data()
    {
        QTest::addColumn<QPoint>("editorAt");
        QTest::newRow("top left") << QPoint(0, 0);
        QTest::newRow("partly off the bottom right") << QPoint(500, 450);
    }
    void toolWindowsOpenOnTheScreen()
    {
        QFETCH(QPoint, editorAt);
        openEditor(flat(240, 280));
        editor->move(editorAt);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();

        QTest::mouseClick(child<QPushButton>(editor, "pushButton"), Qt::LeftButton);
        MyView *board = editor->newestDrawingBoard();
        QVERIFY(board && board->isVisible());
        QVERIFY(screen.contains(board->frameGeometry()));

        child<QAbstractButton>(editor, "previewToolButton")->click();
        DevicePreview *preview = editor->devicePreview();
        QVERIFY(preview && preview->isVisible());
        QVERIFY(screen.contains(preview->frameGeometry()));
    }

    // The board shows the picture magnified four times over the scheme's
    // background, wherever the picture does not reach.
    void opens_data()
    {
        QTest::addColumn<QSize>("pictureSize");
        QTest::addColumn<QRect>("covered");

        QTest::newRow("slot size") << QSize(240, 280) << QRect(0, 0, 960, 1120);
        QTest::newRow("wider picture") << QSize(480, 280) << QRect(0, 0, 960, 560);
        QTest::newRow("no picture") << QSize() << QRect();
    }
    void opens()
    {
        QFETCH(QSize, pictureSize);
        QFETCH(QRect, covered);
        openEditor(pictureSize.isValid() ? pattern(pictureSize.width(), pictureSize.height()) : QImage());
        const QImage before = editor->picture().toImage();

        MyView *board = openBoard();
        QVERIFY(board);
        QVERIFY(board->isVisible());
        QVERIFY(board->isWindow());
        QCOMPARE(board->parentWidget(), nullptr);
        QCOMPARE(board->windowTitle(), QStringLiteral("绘画板"));
        QCOMPARE(board->sceneRect(), QRectF(0, 0, 960, 1120));
        QCOMPARE(board->pictureItem().pos(), QPointF(0, 0));
        const QImage canvas = board->canvasImage();
        QCOMPARE(canvas.size(), QSize(960, 1120));
        QCOMPARE(canvas.format(), QImage::Format_RGB32);
        QCOMPARE(board->pictureItem().currentPixmap().toImage().convertToFormat(QImage::Format_RGB32), canvas);
        for (const QPoint &at : {QPoint(0, 0), QPoint(959, 0), QPoint(0, 1119), QPoint(959, 1119), QPoint(500, 700)}) {
            const QRgb expected = covered.contains(at)
                ? before.pixel(at.x() * before.width() / covered.width(), at.y() * before.height() / covered.height())
                : Background;
            QCOMPARE(canvas.pixel(at), expected);
        }
        // The editor's picture is untouched until the board is closed with Yes.
        QCOMPARE(editor->picture().toImage(), before);
    }

    // Strokes follow the mouse through the scrolling and the item's position:
    // the left button (and any but the right) draws a 4-pixel line in the
    // foreground colour, the right erases 8 pixels wide in the background colour.
    void strokes_data()
    {
        QTest::addColumn<QPoint>("scroll");
        QTest::addColumn<QPointF>("itemAt");
        QTest::addColumn<int>("button");
        QTest::addColumn<bool>("held");
        QTest::addColumn<QPointF>("from");
        QTest::addColumn<QPointF>("to");
        QTest::addColumn<QRgb>("colour");
        QTest::addColumn<int>("width");

        const QPoint top;
        const QPointF home;
        QTest::newRow("left click, fractional") << top << home << int(Qt::LeftButton) << true << QPointF(10.4, 20.6)
                                                << QPointF(10.4, 20.6) << Foreground << 4;
        QTest::newRow("right drag") << top << home << int(Qt::RightButton) << true << QPointF(100, 100)
                                    << QPointF(200, 100) << Background << 8;
        QTest::newRow("middle drag draws") << top << home << int(Qt::MiddleButton) << true << QPointF(50, 60)
                                           << QPointF(50, 160) << Foreground << 4;
        QTest::newRow("scrolled") << QPoint(300, 500) << home << int(Qt::LeftButton) << true << QPointF(20, 30)
                                  << QPointF(120, 80) << Foreground << 4;
        QTest::newRow("moved item") << top << QPointF(40, 70) << int(Qt::RightButton) << true << QPointF(200, 150)
                                    << QPointF(250, 150) << Background << 8;
        QTest::newRow("move without a button") << top << home << int(Qt::NoButton) << false << QPointF(30, 40)
                                               << QPointF(90, 140) << Foreground << 0;
        // The item's context menu takes the right button's release: the next
        // move, with no button held, ends the stroke instead of drawing.
        QTest::newRow("release lost") << top << home << int(Qt::RightButton) << false << QPointF(300, 200)
                                      << QPointF(390, 250) << Background << 8;
    }
    void strokes()
    {
        QFETCH(QPoint, scroll);
        QFETCH(QPointF, itemAt);
        QFETCH(int, button);
        QFETCH(bool, held);
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        QFETCH(QRgb, colour);
        QFETCH(int, width);
        openEditor(flat(240, 280));
        MyView *board = openBoard();
        board->pictureItem().setPos(itemAt);
        board->horizontalScrollBar()->setValue(scroll.x());
        board->verticalScrollBar()->setValue(scroll.y());
        QCOMPARE(QPoint(board->horizontalScrollBar()->value(), board->verticalScrollBar()->value()), scroll);
        const QImage before = board->canvasImage();

        const auto mouseButton = Qt::MouseButton(button);
        if (mouseButton != Qt::NoButton)
            mouse(board, QEvent::MouseButtonPress, from, mouseButton, mouseButton);
        mouse(board, QEvent::MouseMove, to, Qt::NoButton, held ? Qt::MouseButtons(mouseButton) : Qt::NoButton);
        if (held)
            mouse(board, QEvent::MouseButtonRelease, to, mouseButton, Qt::NoButton);

        // Viewport positions as canvas pixels.
        const QPointF offset = QPointF(scroll) - itemAt;
        const QPoint start = (from + offset).toPoint();
        const QPoint end = held ? (to + offset).toPoint() : start;
        QCOMPARE(DrawingBoard::lastPoint, (to + offset).toPoint());
        QVERIFY(!DrawingBoard::drawing);

        const Change change = changed(before, board->canvasImage());
        if (width == 0) {
            QVERIFY(change.bounds.isNull());
            return;
        }
        QCOMPARE(change.colours, QSet<QRgb>{colour});
        // Square caps: the line reaches half the pen beyond each end.
        const QSize expectedSize(qAbs(end.x() - start.x()) + width, qAbs(end.y() - start.y()) + width);
        QCOMPARE(change.bounds.size(), expectedSize);
        const QPointF middle = QPointF(start + end) / 2;
        QVERIFY2(qAbs(change.bounds.center().x() - middle.x()) <= 1 && qAbs(change.bounds.center().y() - middle.y()) <= 1,
                 qPrintable(QStringLiteral("stroke around (%1, %2)").arg(change.bounds.center().x()).arg(change.bounds.center().y())));
        QVERIFY(change.bounds.contains(start));
        QCOMPARE(board->pictureItem().currentPixmap().toImage().convertToFormat(QImage::Format_RGB32),
                 board->canvasImage());
    }

    // The board draws its picture wherever it is scrolled, though the item's
    // handle is only at the picture's top-left corner.
    void showsPictureWhenScrolled_data()
    {
        QTest::addColumn<bool>("toEnd");
        QTest::newRow("top-left") << false;
        QTest::newRow("bottom-right") << true;
    }
    void showsPictureWhenScrolled()
    {
        QFETCH(bool, toEnd);
        openEditor(pattern(240, 280));
        MyView *board = openBoard();
        QScrollBar *across = board->horizontalScrollBar();
        QScrollBar *down = board->verticalScrollBar();
        across->setValue(toEnd ? across->maximum() : 0);
        down->setValue(toEnd ? down->maximum() : 0);
        const QImage shown = board->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint middle(shown.width() / 2, shown.height() / 2);
        QCOMPARE(shown.pixel(middle), board->canvasImage().pixel(board->canvasPoint(middle)));
    }

    // A press on the item's handle gives it focus and lets a left drag move
    // it; the stroke is painted all the same. The release ends the drag, so a
    // later drag elsewhere only paints.
    void handle()
    {
        openEditor(flat(240, 280));
        MyView *board = openBoard();
        MyItem &item = board->pictureItem();
        QVERIFY(!item.hasFocus());

        // Hovering over the handle shows the open hand and the tool tip.
        mouse(board, QEvent::MouseMove, QPointF(3, 3), Qt::NoButton, Qt::NoButton);
        QCOMPARE(item.cursor().shape(), Qt::OpenHandCursor);
        QCOMPARE(item.toolTip(), QStringLiteral("I am item"));
        mouse(board, QEvent::MouseMove, QPointF(200, 200), Qt::NoButton, Qt::NoButton);
        QCOMPARE(item.cursor().shape(), Qt::ArrowCursor);

        const QImage before = board->canvasImage();
        drag(board, Qt::LeftButton, QPointF(5, 5), QPointF(65, 85));
        QVERIFY(item.hasFocus());
        QCOMPARE(item.cursor().shape(), Qt::ClosedHandCursor);
        QCOMPARE(item.pos(), QPointF(60, 80));
        QVERIFY(!changed(before, board->canvasImage()).bounds.isNull());

        // The Down key moves the focused item ten units down; other keys do nothing.
        QTest::keyClick(board, Qt::Key_Down);
        QTest::keyClick(board, Qt::Key_Up);
        QCOMPARE(item.pos(), QPointF(60, 90));

        drag(board, Qt::LeftButton, QPointF(300, 250), QPointF(350, 250));
        QCOMPARE(item.pos(), QPointF(60, 90));
    }

    void contextMenu_data()
    {
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QPointF>("position");
        QTest::newRow("move back") << QStringLiteral("move back") << QPointF(0, 0);
        QTest::newRow("test") << QStringLiteral("test") << QPointF(50, 60);
        QTest::newRow("dismissed") << QString() << QPointF(50, 60);
    }
    void contextMenu()
    {
        QFETCH(QString, choice);
        QFETCH(QPointF, position);
        openEditor(flat(240, 280));
        MyView *board = openBoard();
        board->pictureItem().setPos(50, 60);

        chooseInNextMenu(choice);
        const QPoint onHandle(52, 62);
        QContextMenuEvent event(QContextMenuEvent::Mouse, onHandle, board->viewport()->mapToGlobal(onHandle));
        QApplication::sendEvent(board->viewport(), &event);
        QCOMPARE(board->pictureItem().pos(), position);
    }

    // Closing asks, Yes first; Yes hands the painted picture back at the slot
    // size, No keeps the editor's picture, and the board closes either way.
    // Esc keeps the board open with its strokes.
    void close_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("editorClosed");
        QTest::addColumn<bool>("handedBack");
        QTest::newRow("yes") << QStringLiteral("Yes") << false << true;
        QTest::newRow("no") << QStringLiteral("No") << false << false;
        QTest::newRow("yes, editor gone") << QStringLiteral("Yes") << true << false;
        QTest::newRow("esc") << QStringLiteral("Esc") << false << false;
    }
    void close()
    {
        QFETCH(QString, answer);
        QFETCH(bool, editorClosed);
        QFETCH(bool, handedBack);
        openEditor(flat(240, 280));
        const QImage before = editor->picture().toImage().convertToFormat(QImage::Format_RGB32);
        QPointer<MyView> board = openBoard();
        drag(board, Qt::LeftButton, QPointF(100, 100), QPointF(300, 200));
        const QImage painted = board->canvasImage();
        if (editorClosed)
            delete editor;

        Question seen;
        answerNextQuestion(answer, &seen);
        const bool cancelled = answer == "Esc";
        QCOMPARE(board->close(), !cancelled);
        QCOMPARE(seen.title, QStringLiteral("Tessel Control View"));
        QCOMPARE(seen.text, QStringLiteral("Do you really want to log out Tessel Control View?"));
        QCOMPARE(seen.defaultButton, QStringLiteral("Yes"));
        if (cancelled) {
            QVERIFY(board && board->isVisible());
            QCOMPARE(board->canvasImage(), painted);
            QVERIFY(board->hasStrokes());
        } else {
            QTRY_VERIFY(board.isNull());
        }
        if (editorClosed)
            return;

        const QImage after = editor->picture().toImage().convertToFormat(QImage::Format_RGB32);
        if (!handedBack) {
            QCOMPARE(after, before);
            return;
        }
        QCOMPARE(after.size(), QSize(240, 280));
        QCOMPARE(after, painted.scaled(240, 280, Qt::KeepAspectRatio, Qt::FastTransformation));
        // The board's picture is one step of the editor's.
        editor->history().undo();
        QCOMPARE(editor->picture().toImage().convertToFormat(QImage::Format_RGB32), before);
        editor->history().redo();
        QCOMPARE(editor->picture().toImage().convertToFormat(QImage::Format_RGB32), after);
        QCOMPARE(changed(before, after).colours, QSet<QRgb>{Foreground});
        QCOMPARE(iconImage(child<QPushButton>(editor, "pushButton")->icon(), QSize(240, 280)),
                 iconImage(QIcon(editor->picture()), QSize(240, 280)));
    }

    // Each stroke is a step (Ctrl+Z, Ctrl+Shift+Z): undo gives back the very
    // canvas before it, redo the one after it. Strokes too old to be undone
    // (past 200) stay painted.
    void strokeUndo()
    {
        openEditor(flat(240, 280));
        MyView *board = openBoard();
        QVector<QImage> canvases{board->canvasImage()};
        drag(board, Qt::LeftButton, QPointF(50, 50), QPointF(150, 90));
        canvases << board->canvasImage();
        drag(board, Qt::RightButton, QPointF(60, 40), QPointF(60, 200));
        canvases << board->canvasImage();
        // A stroke of several moves is one step.
        mouse(board, QEvent::MouseButtonPress, QPointF(200, 20), Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 5; ++i)
            mouse(board, QEvent::MouseMove, QPointF(200 + 20 * i, 20 + 15 * i), Qt::NoButton, Qt::LeftButton);
        mouse(board, QEvent::MouseButtonRelease, QPointF(300, 95), Qt::LeftButton, Qt::NoButton);
        canvases << board->canvasImage();
        QVERIFY(board->hasStrokes());

        for (int i = 3; i > 0; --i) {
            QTest::keyClick(board, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(board->canvasImage(), canvases[i - 1]);
        }
        QVERIFY(!board->hasStrokes());
        for (int i = 1; i <= 3; ++i) {
            QTest::keyClick(board, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(board->canvasImage(), canvases[i]);
        }
        QCOMPARE(board->pictureItem().currentPixmap().toImage().convertToFormat(QImage::Format_RGB32),
                 board->canvasImage());

        QImage oldest;
        for (int i = 0; i < 205; ++i) {
            const QPointF at(10 + (i % 40) * 9, 300 + (i / 40) * 9);
            mouse(board, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
            mouse(board, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
            if (i == 4)
                oldest = board->canvasImage();
        }
        int undone = 0;
        while (board->strokeHistory().canUndo()) {
            board->strokeHistory().undo();
            ++undone;
        }
        QCOMPARE(undone, 200);
        QCOMPARE(board->canvasImage(), oldest);
    }

    // Several boards stay open beside the editor and outlive it; they share
    // one stroke state.
    void severalBoards()
    {
        openEditor(flat(240, 280));
        QPointer<MyView> first = openBoard();
        QPointer<MyView> second = openBoard();
        QVERIFY(first && second && first != second);
        QCOMPARE(editor->newestDrawingBoard(), second.data());

        mouse(first, QEvent::MouseButtonPress, QPointF(100, 100), Qt::LeftButton, Qt::LeftButton);
        QVERIFY(DrawingBoard::drawing);
        mouse(second, QEvent::MouseButtonRelease, QPointF(100, 100), Qt::LeftButton, Qt::NoButton);
        QVERIFY(!DrawingBoard::drawing);

        editor->setDeleteWhenClosed(true);
        editor->close();
        QTRY_VERIFY(editor.isNull());
        QVERIFY(first && first->isVisible());
        QVERIFY(second && second->isVisible());
        // Without its editor a board still paints in the colours it last had.
        const QImage before = second->canvasImage();
        drag(second, Qt::RightButton, QPointF(100, 100), QPointF(150, 100));
        QCOMPARE(changed(before, second->canvasImage()).colours, QSet<QRgb>{Background});
    }

    // A slot size the device cannot have opens no board: its canvas would be
    // empty, or hundreds of megabytes.
    void refusedSizes_data()
    {
        QTest::addColumn<QSize>("slotSize");
        QTest::newRow("no width") << QSize(0, 280);
        QTest::newRow("no height") << QSize(240, 0);
        QTest::newRow("too wide") << QSize(1025, 40);
    }
    void refusedSizes()
    {
        QFETCH(QSize, slotSize);
        editor = new editDlg(4, slotSize.width(), slotSize.height(), 0x54, &window->controller());
        editor->openDrawingBoard();
        QCOMPARE(editor->newestDrawingBoard(), nullptr);
        QCOMPARE(logMessages(window).last(), QStringLiteral("图片尺寸无效，无法打开绘画板"));
    }
};

QTEST_MAIN(TestDrawingBoard)
#include "tst_drawingboard.moc"
