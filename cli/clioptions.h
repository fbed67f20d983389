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
};
