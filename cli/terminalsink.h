#pragma once
// Where the device jobs report when tesselctl runs them: log lines on
// standard error with --verbose (the window's log texts, as they come),
// progress as a line on a terminal, and a memory of what happened for the
// command's own messages.

#include "cli/progressline.h"
#include "firmware/firmwareupgrade.h"

#include <QStringList>

#include <optional>

class Console;
struct CliOptions;

class TerminalSink : public FirmwareSink
{
public:
    TerminalSink(Console &console, const CliOptions &options);

    bool log(const QString &text) override;
    void progress(qint64 value, qint64 maximum) override;
    void deviceReachable(bool online) override { reachable = online; }
    void showFileInfo(const QString &text) override { fileInfo = text; }

    // Ends the progress line before the command's own closing words.
    void endProgress() { progressLine.finish(); }
    // Clears the progress line for a line of the command's own.
    void makeRoom() { progressLine.makeRoom(); }

    QStringList lines;                 // every log line of the run
    std::optional<bool> reachable;     // the last open the job showed
    QString fileInfo;                  // the firmware page's file information text
    // The reports the device had been sent when the job last told its
    // progress, for the progress line; set by whoever feeds this sink.
    qint64 reportsWritten = 0;

private:
    Console &console;
    const bool verbose;
    ProgressLine progressLine;
};
