#pragma once
// Runs one command on several devices at once: each device gets a thread of
// its own for the command, with its own DeviceController (and so its own
// device thread) addressed by the device's hidapi path, and its own console.
// The command code is the very one the single-device path runs; only where it
// prints differs. When a device's command is done, deviceDone() says so on
// the runner's thread.
//
// Ctrl+C is the caller's (holdInterrupts()): every device's runner sees it and
// cancels or stops its job as a single tesselctl would.

#include "cli/clioptions.h"

#include <QElapsedTimer>
#include <QObject>

#include <memory>
#include <vector>

class CommandContext;
class QThread;

using CommandFunction = int (*)(CommandContext &);

struct BenchDevice
{
    QByteArray path;
    QString serial;   // empty when the device reports none
    int order = 0;    // its place in the listing that found it
};

struct DeviceRun
{
    BenchDevice device;
    int code = 0;      // the command's exit status
    QString out;       // what it printed on standard output
    QString err;       // and on standard error
    double seconds = 0;
};

class BenchRunner : public QObject
{
    Q_OBJECT

public:
    BenchRunner(const CliOptions &options, CommandFunction command);
    // Waits for every device's command.
    ~BenchRunner() override;

    void start(const BenchDevice &device);
    int running() const { return int(tasks.size()); }

signals:
    void deviceDone(const DeviceRun &run);

private:
    struct Task;
    void taskEnded(Task *task);

    const CliOptions options;
    const CommandFunction command;
    std::vector<std::unique_ptr<Task>> tasks;
};
