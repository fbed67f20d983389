// Opens the virtual device window in the emulated program, beside the main window,
// without the program's own start-up code knowing about it.
//
// With TESSEL_SCREENSHOT=<file.png> set, it then saves a picture of the main window
// to that file and one of the virtual device window beside it (<file>-virtual-device.png),
// prints both paths and ends the program. Each is drawn from the window itself, not
// read off the screen, so nothing lying over it shows.

#include "virtualscreen.h"

#include <QApplication>
#include <QFileInfo>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int retryMs = 50;
constexpr int maxAttempts = 100;   // about five seconds for the main window to appear
constexpr int settleMs = 500;      // first paint of both windows before the pictures

QWidget *visibleMainWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && qobject_cast<QMainWindow *>(widget))
            return widget;
    }
    return nullptr;
}

void saveScreenshotsAndQuit(const QString &path, QWidget *mainWindow, QWidget *virtualDevice)
{
    const QFileInfo file(path);
    const QString second = file.path() + QLatin1Char('/') + file.completeBaseName()
                           + QStringLiteral("-virtual-device.png");
    bool saved = mainWindow && mainWindow->grab().save(path);
    saved = virtualDevice->grab().save(second) && saved;
    if (saved)
        std::printf("%s\n%s\n", qPrintable(path), qPrintable(second));
    else
        std::fprintf(stderr, "could not save %s and %s\n", qPrintable(path), qPrintable(second));
    std::fflush(stdout);
    QCoreApplication::exit(saved ? 0 : 1);
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
    const QString shot = qEnvironmentVariable("TESSEL_SCREENSHOT");
    if (!shot.isEmpty())
        QTimer::singleShot(settleMs, qApp,
                           [shot, mainWindow, screen] { saveScreenshotsAndQuit(shot, mainWindow, screen); });
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
