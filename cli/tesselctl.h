#pragma once
// One run of tesselctl: parses the command line, runs the command against the
// device and gives the exit status (cli/exitcodes.h).

#include <QString>
#include <QStringList>

class Console;

// arguments without the program name; program names the tool in its texts.
int runTesselctl(const QString &program, const QStringList &arguments, Console &console);
