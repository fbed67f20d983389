#include "images/toolwindowplace.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace ToolWindowPlace {

namespace {

// start clamped to [low, high - length]; a window longer than the room keeps
// its start (top, left) on the screen.
int clamped(int start, int length, int low, int high)
{
    return qMax(low, qMin(start, high - length));
}

} // namespace

QPoint beside(const QRect &anchor, const QSize &size, const QRect &available)
{
    const int screenEnd = available.x() + available.width();
    const int right = anchor.x() + anchor.width() + Gap;
    const int left = anchor.x() - Gap - size.width();
    int x;
    if (right + size.width() <= screenEnd)
        x = right;
    else if (left >= available.x())
        x = left;
    else   // no room either side: against the screen's edge on the roomier side
        x = screenEnd - right >= anchor.x() - Gap - available.x() ? screenEnd - size.width() : available.x();
    return within(QRect(QPoint(x, anchor.y()), size), available);
}

QPoint within(const QRect &frame, const QRect &available)
{
    return QPoint(clamped(frame.x(), frame.width(), available.x(), available.x() + available.width()),
                  clamped(frame.y(), frame.height(), available.y(), available.y() + available.height()));
}

QRect availableArea(const QWidget *widget)
{
    const QScreen *screen = QGuiApplication::screenAt(widget->frameGeometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void showBeside(QWidget *window, const QWidget *anchor)
{
    // A window not yet shown takes the size it will open with.
    if (!window->isVisible() && !window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    const QRect available = availableArea(anchor);
    if (!available.isEmpty())
        window->move(beside(anchor->frameGeometry(), window->frameGeometry().size(), available));
    window->show();
    keepOnScreen(window);
}

void keepOnScreen(QWidget *window)
{
    const QRect available = availableArea(window);
    if (available.isEmpty())
        return;
    const QRect frame = window->frameGeometry();
    const QPoint at = within(frame, available);
    if (at != frame.topLeft())
        window->move(at);
}

} // namespace ToolWindowPlace
