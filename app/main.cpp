#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Where remembered choices (the temperature unit, …) are kept.
    QCoreApplication::setOrganizationName(QStringLiteral("tessel-control"));
    QCoreApplication::setApplicationName(QStringLiteral("tessel-control"));
    MainWindow window;
    // Service mode from the command line or the environment; Ctrl+Shift+S
    // switches it at run time.
    if (QCoreApplication::arguments().contains(QStringLiteral("--service"))
        || qgetenv("TESSEL_SERVICE") == "1")
        window.setServiceMode(true);
    window.show();
    return app.exec();
}
