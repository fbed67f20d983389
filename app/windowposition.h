#pragma once
// The main window comes back where the user left it, unless that place is no
// longer on any screen (a monitor unplugged since).

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QVector>

#include <optional>

class QWidget;

// The saved position, when the top strip of a window of this size placed
// there (the part it is dragged by) lies well inside one of the screens' free
// areas; otherwise none, and the window goes where the system puts it.
std::optional<QPoint> restorablePosition(const QPoint &saved, const QSize &size, const QVector<QRect> &screens);

// In the program's settings, under key.
void restoreWindowPosition(QWidget &window, const QString &key);
void saveWindowPosition(const QWidget &window, const QString &key);
