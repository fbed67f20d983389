#include "cli/devicerunner.h"

#include "cli/interrupt.h"
#include "cli/terminalsink.h"
#include "control/devicecontroller.h"
#include "history/servicehistoryrecorder.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>

#include <utility>

namespace {

// How often a Ctrl+C is looked for while a job that takes a Cancel runs: the
// signal handler may only note it, the Cancel is given from here.
constexpr int InterruptPollMs = 20;

// A note of a firmware stage, handed to the sink as the job made it.
void passNote(TerminalSink &sink, const QString &what, const QVariant &value)
{
    if (what == QLatin1String("fileInfo")) {
        sink.showFileInfo(value.toString());
    } else if (what == QLatin1String("upgradeStarted")) {
        sink.upgradeStarted();
    } else if (what == QLatin1String("writingFile")) {
        sink.writingFile(value.toLongLong());
    } else if (what == QLatin1String("modelHeaderRead")) {
        const QVariantList fields = value.toList();
        sink.modelHeaderRead(fields.value(0).toByteArray(), fields.value(1).toByteArray());
    }
}

} // namespace

DeviceRunner::DeviceRunner(TerminalSink &sink) : sink(sink) {}

// The controller goes first: it ends the device thread, which never waits in
// callAndWait() then, since every job is waited out.
DeviceRunner::~DeviceRunner()
{
    device.reset();
}

void DeviceRunner::keepHistory(const QString &csvFile, std::function<void(const QString &)> say)
{
    historyCsv = csvFile;
    historySay = std::move(say);
}

DeviceController &DeviceRunner::controller()
{
    // Made at the first job: a command that never touches the device starts no thread.
    if (!device) {
        device = std::make_unique<DeviceController>();
        if (!path.isEmpty())
            device->setDevicePath(path);
        history = std::make_unique<ServiceHistoryRecorder>(*device);
        history->setCsvFile(historyCsv);
        QObject::connect(history.get(), &ServiceHistoryRecorder::problem, history.get(), [this](const QString &line) {
            if (historySay)
                historySay(line);
        });
        // Whose device the jobs go to, so that each history row names the
        // unit (serial number and path): one listing, as the window's watch
        // makes; it asks the system only and sends the device nothing.
        device->checkPresence();
        while (device->isListing())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return *device;
}

void DeviceRunner::callAndWait(const std::function<void()> &call)
{
    // Queued by name, behind the job's events already posted; Qt's blocking
    // call is not used, so the hand-over is one a thread sanitizer sees.
    std::unique_lock<std::mutex> lock(callMutex);
    pendingCall = &call;
    callRan = false;
    QMetaObject::invokeMethod(this, "runPendingCall", Qt::QueuedConnection);
    callDone.wait(lock, [this] { return callRan; });
    pendingCall = nullptr;
}

void DeviceRunner::runPendingCall()
{
    const std::function<void()> *call = nullptr;
    {
        std::lock_guard<std::mutex> lock(callMutex);
        call = pendingCall;
    }
    if (call)
        (*call)();
    {
        std::lock_guard<std::mutex> lock(callMutex);
        callRan = true;
    }
    callDone.notify_all();
}

JobOutcome DeviceRunner::run(DeviceJob kind, JobFunction job, bool cancellable, TerminalSink *to)
{
    return run([&](DeviceController &c) { return c.start(kind, std::move(job), cancellable); }, to);
}

JobOutcome DeviceRunner::run(const Start &start, TerminalSink *to)
{
    JobOutcome outcome;
    // On a bench Ctrl+C is noted for every device at once; a device whose
    // job could not take it starts nothing more.
    if (interruptsHeld() && interruptRequested())
        interruptSeen = true;
    if (interruptSeen) {
        outcome.interrupted = true;
        return outcome;
    }
    TerminalSink &out = to ? *to : sink;
    DeviceController &ctl = controller();
    QEventLoop loop;
    bool ended = false;
    bool cancelAsked = false;
    // The connections last as long as this run.
    QObject scope;
    QObject::connect(&ctl, &DeviceController::logLine, &scope, [&](const QString &text, bool detail) {
        if (detail)
            out.logDetail(text);
        else
            out.log(text);
    });
    QObject::connect(&ctl, &DeviceController::progress, &scope, [&](qint64 value, qint64 maximum) {
        // A cancelled job's bar going back to 0 is not drawn: the command ends.
        if (cancelAsked)
            return;
        out.reportsWritten = ctl.reportsWritten();
        out.progress(value, maximum);
    });
    QObject::connect(&ctl, &DeviceController::deviceReachable, &scope, [&](bool online) { out.deviceReachable(online); });
    QObject::connect(&ctl, &DeviceController::jobNote, &scope,
                     [&](DeviceJob, const QString &what, const QVariant &value) { passNote(out, what, value); });
    QObject::connect(&ctl, &DeviceController::cancelled, &scope, [&] { outcome.interrupted = true; });
    QObject::connect(&ctl, &DeviceController::finished, &scope, [&](DeviceJob, bool success, const QVariant &result) {
        ended = true;
        outcome.success = success;
        outcome.result = result;
        loop.quit();
    });
    history->skipNextJob(std::exchange(skipHistory, false));
    if (!start(ctl)) {
        history->skipNextJob(false);
        return outcome;
    }

    // Ctrl+C is noted from here rather than obeyed, and passed on as a Cancel.
    const bool cancellable = ctl.isCancellable();
    QTimer poll;
    if (cancellable) {
        deferInterrupts();
        QObject::connect(&poll, &QTimer::timeout, &scope, [&] {
            if (!cancelAsked && interruptRequested())
                cancelAsked = ctl.cancel();
        });
        poll.start(InterruptPollMs);
    }
    if (!ended)
        loop.exec();
    if (cancellable) {
        // Pressed too late to stop this job, it still stops the command.
        if (interruptRequested())
            interruptSeen = true;
        restoreInterrupts();
    }
    return outcome;
}
