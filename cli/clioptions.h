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
    bool json = false;
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
