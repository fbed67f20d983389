#pragma once
// Small helpers shared by the widget tests.

#include "control/devicecontroller.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QImage>
#include <QStringList>
#include <QTextBrowser>
#include <QWidget>

namespace testsupport {

// The log pane's lines, without the time stamp: "  hh:mm:ss:zzz   -->   text" gives "text".
inline QStringList logMessages(QWidget *window)
{
    const auto *log = window->findChild<QTextBrowser *>(QStringLiteral("logTextBrowser"));
    QStringList messages;
    for (const QString &line : log->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const int arrow = line.indexOf(QStringLiteral("-->   "));
        messages << (arrow < 0 ? line : line.mid(arrow + 6));
    }
    return messages;
}

inline QImage iconImage(const QIcon &icon, const QSize &size = QSize(64, 64))
{
    return icon.isNull() ? QImage() : icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
}

// True when the button shows the picture at path (a resource or a file).
inline bool showsPicture(const QAbstractButton *button, const QString &path)
{
    const QImage shown = iconImage(button->icon());
    return !shown.isNull() && shown == iconImage(QIcon(path));
}

// A progress bar may skip steps (it is redrawn at most every few milliseconds)
// but never shows a value out of order or one it was not given: shown, with
// repeats folded, is all with some values left out.
inline bool isThinnedOut(const QList<int> &shown, const QList<int> &all)
{
    int at = 0;
    int previous = -1;
    for (int value : shown) {
        if (value == previous)
            continue;
        previous = value;
        while (at < all.size() && all[at] != value)
            ++at;
        if (at == all.size())
            return false;
        ++at;
    }
    return true;
}

// Lets the event loop run until the controller has finished every job it
// was asked for (and the window has seen their ends), or timeoutMs passed.
inline bool waitForDeviceIdle(DeviceController &controller, int timeoutMs = 30000)
{
    QElapsedTimer clock;
    clock.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (!controller.isBusy()) {
            // The job's last events (its lines, its end) are taken in one go.
            QCoreApplication::processEvents();
            if (!controller.isBusy())
                return true;
        }
    } while (clock.elapsed() < timeoutMs);
    return false;
}

template <typename T>
T *child(QWidget *window, const char *name)
{
    return window->findChild<T *>(QLatin1String(name));
}

} // namespace testsupport
