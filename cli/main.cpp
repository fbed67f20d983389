// tesselctl: the device's command-line companion. Which hidapi answers is
// chosen at link time: the system's for tesselctl, the emulated device for
// tesselctl-emulated.

#include "cli/console.h"
#include "cli/tesselctl.h"
#include "desktop/language.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <hidapi.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(TESSEL_VERSION));
    // The window's names, so that both keep their upgrade backups in one folder.
    QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
    QCoreApplication::setApplicationName(QStringLiteral("tessel-control"));
    // The device messages (the job's log lines and reasons) follow the locale.
    installLanguage(languageForLocale(messageLocaleName()));
    const QStringList arguments = QCoreApplication::arguments();
    StandardConsole console;
    const int code = runTesselctl(QFileInfo(arguments.first()).fileName(), arguments.mid(1), console);
    hid_exit();
    return code;
}
