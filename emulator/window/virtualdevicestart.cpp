// Opens the virtual device window in the emulated program, beside the main window,
// without the program's own start-up code knowing about it.

#include "virtualscreen.h"

#include <QApplication>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

namespace {

constexpr int retryMs = 50;
constexpr int maxAttempts = 100;   // about five seconds for the main window to appear

QWidget *visibleMainWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && qobject_cast<QMainWindow *>(widget))
            return widget;
    }
    return nullptr;
}

// The main window's constructor already runs events (its first device query logs),
// so the window waits until the main window is actually on screen.
void openWhenMainWindowShows(int attempt)
{
    QWidget *mainWindow = visibleMainWindow();
    if (!mainWindow && attempt < maxAttempts) {
        QTimer::singleShot(retryMs, qApp, [attempt] { openWhenMainWindowShows(attempt + 1); });
        return;
    }
    auto *screen = new emu::VirtualScreen;
    // A side window: it neither keeps the program running nor takes the focus.
    screen->setAttribute(Qt::WA_QuitOnClose, false);
    screen->setAttribute(Qt::WA_ShowWithoutActivating);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, qApp,
                     [screen = QPointer<emu::VirtualScreen>(screen)] { delete screen; });
    screen->adjustSize();
    if (mainWindow)
        screen->placeBeside(mainWindow);
    screen->show();
}

void startVirtualDevice()
{
    // Runs while the application object is still being built: only post the work.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            if (qobject_cast<QApplication *>(QCoreApplication::instance()))
                openWhenMainWindowShows(0);
        },
        Qt::QueuedConnection);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startVirtualDevice)
