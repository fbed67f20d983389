#pragma once
// What every command of tesselctl works with: the console, its options, the
// job sink that writes the terminal and the device its jobs run on; and the
// few things every command says the same way.

#include "cli/clioptions.h"
#include "cli/devicerunner.h"
#include "cli/terminalsink.h"

class Console;

class CommandContext
{
public:
    CommandContext(Console &console, const CliOptions &options);

    Console &console;
    const CliOptions &options;
    TerminalSink sink;
    DeviceRunner device;

    // What a reading command was asked for, on standard output.
    void print(const QString &text);
    // What a writing command did, on standard output; nothing with --quiet.
    void report(const QString &line);
    // A remark on the way (a warning, an option without effect), on standard
    // error; nothing with --quiet.
    void remark(const QString &line);
    // The one line of a failure, on standard error; gives code back.
    int fail(int code, const QString &line);
    // Opens the device for a job of kind (once: the jobs then go on with the
    // open handle). On failure says why (not attached, or attached but not
    // accessible) and gives ExitNoDevice.
    bool openDevice(int &code, DeviceJob kind);
    // The line of a command that Ctrl+C stopped, with what it leaves behind;
    // gives ExitInterrupted.
    int interrupted(const QString &consequence);
    // The device's last log line in brackets, for a failure message; empty
    // when the job logged nothing.
    QString lastDeviceLine() const;
};
