#pragma once
// The command line of tesselctl: the commands it knows, their options, the
// help texts, and the parse of one command line.

#include "cli/clioptions.h"

#include <QString>
#include <QStringList>

enum class ParseOutcome {
    Run,        // options holds a command to run
    Help,       // text is the help asked for
    Version,    // text is the version line
    UsageError, // text is the one-line complaint
};

struct ParsedCommandLine
{
    ParseOutcome outcome = ParseOutcome::UsageError;
    CliOptions options;
    QString text;
};

// arguments without the program name; program names the tool in texts.
ParsedCommandLine parseCommandLine(const QString &program, const QStringList &arguments);

// The whole tool's help: commands, common options, exit codes.
QString toolHelp(const QString &program);

// The help of the runs over many devices (--all, watch).
QString benchHelp(const QString &program);

// The commands --all and watch run.
QStringList benchCommandNames();
