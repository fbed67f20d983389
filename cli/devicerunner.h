#pragma once
// tesselctl's device: a DeviceController whose jobs the commands run one after
// the other, each waited for in a local event loop, so a command reads as the
// sequence of exchanges it makes. The handle lives on the controller's device
// thread from the first open to the program's end, and stays open between two
// jobs as it did when the jobs ran here; this thread sees only values.
//
// The job's lines, progress, reachability and notes go to a TerminalSink on
// this thread. Ctrl+C during a job that takes a Cancel (device query, slot
// query, picture upload, curve read) cancels it: it stops after the report in
// flight and sends nothing more, and the command's next job is not started.
// During any other job Ctrl+C ends the program at once, as it always did,
// except in the upgrade's write stage, which notes it and stops between chunks.

#include "control/devicejob.h"

#include <QByteArray>
#include <QObject>
#include <QVariant>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class DeviceController;
class ServiceHistoryRecorder;
class TerminalSink;

struct JobOutcome
{
    bool success = false;
    bool interrupted = false; // Ctrl+C: cancelled, or not started after an earlier one
    QVariant result;
};

class DeviceRunner : public QObject
{
    Q_OBJECT

public:
    explicit DeviceRunner(TerminalSink &sink);
    // Ends the device thread: it closes a handle still open.
    ~DeviceRunner() override;

    using Start = std::function<bool(DeviceController &)>;
    // Starts a job through start (one of the controller's start…()) and waits
    // for its end. Its events go to to, or to the runner's own sink.
    JobOutcome run(const Start &start, TerminalSink *to = nullptr);
    JobOutcome run(DeviceJob kind, JobFunction job, bool cancellable, TerminalSink *to = nullptr);

    // The device the jobs serve by its hidapi path (empty: the first attached).
    void setDevicePath(const QByteArray &devicePath) { path = devicePath; }
    // Every job is recorded in the service history; each completed row also
    // goes to csvFile when given, and what keeps the history from being
    // written to say. Set before the first job.
    void keepHistory(const QString &csvFile, std::function<void(const QString &)> say);
    // The next job only prepares the command's own (the open) and is not recorded.
    void skipHistoryOfNextJob() { skipHistory = true; }

    // Whether Ctrl+C stopped a job; no further job is started then.
    bool wasInterrupted() const { return interruptSeen; }

    // For a job on the device thread: runs call on the runner's thread and
    // waits until it has run. Anything the job said before is delivered
    // first, so a question comes after the lines that lead to it. What call
    // reads and writes is handed over under a std::mutex.
    void callAndWait(const std::function<void()> &call);

private slots:
    void runPendingCall();

private:
    DeviceController &controller();

    TerminalSink &sink;
    std::unique_ptr<DeviceController> device;
    std::unique_ptr<ServiceHistoryRecorder> history;
    QString historyCsv;
    std::function<void(const QString &)> historySay;
    bool skipHistory = false;
    bool interruptSeen = false;
    QByteArray path;

    std::mutex callMutex;
    std::condition_variable callDone;
    const std::function<void()> *pendingCall = nullptr;
    bool callRan = false;
};
