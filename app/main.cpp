#include "app/mainwindow.h"
#include "app/programidentity.h"
#include "app/windowposition.h"
#include "desktop/datafolder.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    applyProgramIdentity();
    // Before the window reads its first picture.
    useImageFolder(chooseImageFolder(dataPlaces()));
    MainWindow window;
    window.setWindowTitle(programTitle());
    restoreWindowPosition(window, QStringLiteral("mainWindow"));
    // Service mode from the command line or the environment; Ctrl+Shift+S
    // switches it at run time.
    if (QCoreApplication::arguments().contains(QStringLiteral("--service"))
        || qgetenv("TESSEL_SERVICE") == "1")
        window.setServiceMode(true);
    window.show();
    const int exitCode = app.exec();
    saveWindowPosition(window, QStringLiteral("mainWindow"));
    return exitCode;
}
