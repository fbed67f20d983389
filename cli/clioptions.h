#pragma once
// One tesselctl command line, parsed: the command, its arguments and the
// options that came with it.

#include <QByteArray>
#include <QString>
#include <QStringList>

struct CliOptions
{
    QString program = QStringLiteral("tesselctl");   // how messages name the tool
    QString command;                                 // "info", "curve read", …
    QStringList arguments;                           // what follows the command words
    QByteArray devicePath;                           // --device; empty for the first device
    QString recordFile;                              // --record: completed jobs also go to this CSV file
    bool json = false;
    bool csv = false;
    bool verbose = false;
    bool quiet = false;
    bool yes = false;
    bool dryRun = false;
    bool resume = false;
    bool force = false;
    QString slot;                                    // --slot as typed
    QString fit = QStringLiteral("stretch");
    QString dither = QStringLiteral("none");

    // Many devices at once: --all runs the command on every attached device,
    // watch on each one that arrives, until --count devices were served or
    // --timeout seconds passed (0: no such limit).
    bool all = false;
    bool watch = false;
    int watchCount = 0;
    double watchTimeout = 0;
    // On a bench: the unit's own folder name (upgrade backups are kept per unit).
    QString unitFolder;
};
