#pragma once
// What a run over many devices says: one line per device as it is done
// (serial, path, result, seconds), and at the end a summary line, or with
// --json one document with an entry per device. Its exit status is 0 only
// when every device succeeded, otherwise the highest status of the failures.

#include "cli/benchrunner.h"

#include <QVector>

class Console;

class BenchReport
{
public:
    BenchReport(Console &console, const CliOptions &options);

    void add(const DeviceRun &run);
    int served() const { return int(runs.size()); }
    // The summary or the document; gives the exit status.
    int finish(double seconds);

private:
    QString deviceLine(const DeviceRun &run) const;

    Console &console;
    const CliOptions &options;
    QVector<DeviceRun> runs;
};

// The one line a failed command ended with, without the program's name; empty
// for a success.
QString failureLine(const DeviceRun &run, const QString &program);
