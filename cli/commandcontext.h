#pragma once
// What every command of tesselctl works with: the console, its options, the
// device session, the job sink that writes the terminal and the waiter that
// sleeps; and the few things every command says the same way.

#include "cli/clioptions.h"
#include "cli/terminalsink.h"
#include "device/devicesession.h"
#include "device/waiter.h"

class Console;

class CommandContext
{
public:
    CommandContext(Console &console, const CliOptions &options);

    Console &console;
    const CliOptions &options;
    DeviceSession session;
    TerminalSink sink;
    SleepWaiter waiter;

    // What a reading command was asked for, on standard output.
    void print(const QString &text);
    // What a writing command did, on standard output; nothing with --quiet.
    void report(const QString &line);
    // A remark on the way (a warning, an option without effect), on standard
    // error; nothing with --quiet.
    void note(const QString &line);
    // The one line of a failure, on standard error; gives code back.
    int fail(int code, const QString &line);
    // Opens the device (once: the jobs then go on with the open handle). On
    // failure says why (not attached, or attached but not accessible) and
    // gives ExitNoDevice.
    bool openDevice(int &code);
    // The device's last log line in brackets, for a failure message; empty
    // when the job logged nothing.
    QString lastDeviceLine() const;
};
