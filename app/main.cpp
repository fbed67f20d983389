#include "app/logfile.h"
#include "app/mainwindow.h"
#include "app/memoryreuse.h"
#include "app/programidentity.h"
#include "app/toolkitstart.h"
#include "app/windowposition.h"
#include "desktop/datafolder.h"
#include "desktop/language.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

namespace {

struct Options
{
    QCommandLineOption service{QStringLiteral("service"), QStringLiteral("Start in service mode.")};
    QCommandLineOption logFile{QStringLiteral("log-file"), QStringLiteral("Write the log to <path>."),
                               QStringLiteral("path")};
    QCommandLineOption noLogFile{QStringLiteral("no-log-file"), QStringLiteral("Write no log file.")};
    QCommandLineOption lang{QStringLiteral("lang"),
                            QStringLiteral("Language: en (English) or zh (Chinese). Without it the program uses "
                                           "the language chosen in the window, else the system locale's."),
                            QStringLiteral("en|zh")};

    void addTo(QCommandLineParser &parser) const
    {
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOptions({service, logFile, noLogFile, lang});
    }
};

// Help and version need no display: answered before the window toolkit
// starts, which would stop the program on a machine without one.
bool asksOnlyForHelp(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-h" || argument == "--help" || argument == "-?" || argument == "--help-all"
            || argument == "-v" || argument == "--version")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    keepFreedMemoryForReuse();
    const Options option;
    if (asksOnlyForHelp(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("tessel-control"));
        QCoreApplication::setApplicationVersion(programVersion());
        QCommandLineParser options;
        option.addTo(options);
        options.process(app); // prints and ends the program
        return 0;
    }

    watchToolkitStart("tessel-control");
    QApplication app(argc, argv);
    toolkitStarted();
    applyProgramIdentity();
    // Before the window reads its first picture.
    useImageFolder(chooseImageFolder(dataPlaces()));

    QCommandLineParser options;
    option.addTo(options);
    // The toolkit has taken its own options (-platform, -style, …) out of the
    // arguments; anything else unknown, or an option without its value, is
    // named with the usage, and the window does not start.
    if (!options.parse(QCoreApplication::arguments())) {
        QTextStream(stderr) << "tessel-control: " << options.errorText() << "\n\n" << options.helpText();
        return 1;
    }

    // The installed program remembers choices (the temperature unit, the language, …).
    MainWindow::setRemembersChoices(true);
    const QString langOption = options.value(option.lang);
    if (!langOption.isEmpty() && !languageNamed(langOption))
        QTextStream(stderr) << "tessel-control: unknown language \"" << langOption
                            << "\" (use en or zh); ignored\n";
    // Before the first window: its forms take their texts as they are built.
    const Language language = chooseLanguage(langOption, rememberedLanguage(), messageLocaleName());
    installLanguage(language);
    installQtLanguage(language);
    MainWindow window;
    window.setWindowTitle(programTitle());
    restoreWindowPosition(window, QStringLiteral("mainWindow"));
    if (!options.isSet(option.noLogFile))
        window.setLogFile(options.isSet(option.logFile) ? options.value(option.logFile) : LogFile::defaultPath());
    // Service mode from the command line or the environment; Ctrl+Shift+S
    // switches it at run time.
    if (options.isSet(option.service) || qgetenv("TESSEL_SERVICE") == "1")
        window.setServiceMode(true);
    window.show();
    const int exitCode = app.exec();
    saveWindowPosition(window, QStringLiteral("mainWindow"));
    return exitCode;
}
