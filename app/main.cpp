#include "app/logfile.h"
#include "app/mainwindow.h"
#include "app/programidentity.h"
#include "app/windowposition.h"
#include "desktop/datafolder.h"
#include "desktop/language.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    applyProgramIdentity();
    // Before the window reads its first picture.
    useImageFolder(chooseImageFolder(dataPlaces()));

    QCommandLineParser options;
    options.addHelpOption();
    const QCommandLineOption service(QStringLiteral("service"), QStringLiteral("Start in service mode."));
    const QCommandLineOption logFile(QStringLiteral("log-file"), QStringLiteral("Write the log to <path>."),
                                     QStringLiteral("path"));
    const QCommandLineOption noLogFile(QStringLiteral("no-log-file"), QStringLiteral("Write no log file."));
    const QCommandLineOption lang(QStringLiteral("lang"),
                                  QStringLiteral("Language: en (English) or zh (Chinese). Without it the program "
                                                 "uses the language chosen in the window, else the system locale's."),
                                  QStringLiteral("en|zh"));
    options.addOptions({service, logFile, noLogFile, lang});
    // Options the window does not know (the toolkit's own) are left alone.
    options.parse(QCoreApplication::arguments());
    if (options.isSet(QStringLiteral("help")))
        options.showHelp();

    // The installed program remembers choices (the temperature unit, the language, …).
    MainWindow::setRemembersChoices(true);
    const QString langOption = options.value(lang);
    if (!langOption.isEmpty() && !languageNamed(langOption))
        QTextStream(stderr) << "tessel-control: unknown language \"" << langOption
                            << "\" (use en or zh); ignored\n";
    // Before the first window: its forms take their texts as they are built.
    installLanguage(chooseLanguage(langOption, rememberedLanguage(), messageLocaleName()));
    MainWindow window;
    window.setWindowTitle(programTitle());
    restoreWindowPosition(window, QStringLiteral("mainWindow"));
    if (!options.isSet(noLogFile))
        window.setLogFile(options.isSet(logFile) ? options.value(logFile) : LogFile::defaultPath());
    // Service mode from the command line or the environment; Ctrl+Shift+S
    // switches it at run time.
    if (options.isSet(service) || qgetenv("TESSEL_SERVICE") == "1")
        window.setServiceMode(true);
    window.show();
    const int exitCode = app.exec();
    saveWindowPosition(window, QStringLiteral("mainWindow"));
    return exitCode;
}
