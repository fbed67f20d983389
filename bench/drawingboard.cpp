// Painting on the drawing board: opening a board for a 240 x 280 picture
// (a 960 x 1120 canvas), then a long left-button stroke of mouse moves, each
// painted into the canvas and, in the second run, drawn on screen before the
// next move. Prints ms to open and µs per move.
// Usage: bench_drawingboard [moves]   (default 2000)

#include "editors/editdlg.h"
#include "images/myview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QtMath>

#include <cstdio>

namespace {

void send(MyView *board, QEvent::Type type, const QPointF &at, Qt::MouseButton button, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, board->viewport()->mapToGlobal(at.toPoint()), button, held, Qt::NoModifier);
    QApplication::sendEvent(board->viewport(), &event);
}

// A stroke of moves circling the middle of the board; with repaint each move
// is drawn on screen before the next one comes.
double microsPerMove(MyView *board, int moves, bool repaint)
{
    const QPointF middle(board->viewport()->width() / 2.0, board->viewport()->height() / 2.0);
    const auto at = [&](int i) {
        const double angle = i * 0.05;
        return middle + QPointF(std::cos(angle), std::sin(angle)) * (100 + i % 50);
    };
    send(board, QEvent::MouseButtonPress, at(0), Qt::LeftButton, Qt::LeftButton);
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    for (int i = 1; i <= moves; ++i) {
        send(board, QEvent::MouseMove, at(i), Qt::NoButton, Qt::LeftButton);
        if (repaint)
            board->viewport()->repaint();
    }
    const double micros = timer.nsecsElapsed() / 1000.0 / moves;
    send(board, QEvent::MouseButtonRelease, at(moves), Qt::LeftButton, Qt::NoButton);
    return micros;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int moves = argc > 1 ? qMax(1, QString::fromLocal8Bit(argv[1]).toInt()) : 2000;

    editDlg editor(4, 240, 280, 0x54, nullptr);
    QImage picture(240, 280, QImage::Format_RGB32);
    for (int y = 0; y < 280; ++y)
        for (int x = 0; x < 240; ++x)
            picture.setPixel(x, y, qRgb(x, y & 0xFF, (x * y) & 0xFF));
    editor.setPicture(QPixmap::fromImage(picture));

    QElapsedTimer timer;
    timer.start();
    editor.openDrawingBoard();
    MyView *board = editor.newestDrawingBoard();
    if (!board) {
        std::printf("no drawing board opened\n");
        return 1;
    }
    board->resize(1000, 800);
    QCoreApplication::processEvents();
    std::printf("open a 960 x 1120 board, shown:  %.1f ms\n", timer.nsecsElapsed() / 1e6);

    std::printf("stroke, canvas only:             %.1f us per move (%d moves)\n",
                microsPerMove(board, moves, false), moves);
    std::printf("stroke, drawn on screen:         %.1f us per move (%d moves)\n",
                microsPerMove(board, moves, true), moves);
    delete board;
    return 0;
}
