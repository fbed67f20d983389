#include "control/deviceworker.h"

#include "control/devicecontroller.h"
#include "device/devicelink.h"
#include "device/devicesession.h"
#include "device/knowndevices.h"
#include "device/workerwaiter.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <iterator>

namespace {

// Whether the system lists the device at path, or with an empty path any
// device with the tool's USB id.
bool listedAt(const QByteArray &path)
{
    return path.isEmpty() ? isDeviceListed() : listedDevice(path).isListed();
}

QString cancelledText()
{
    return QCoreApplication::translate("Device", "已取消");
}

// The job's lines and progress, sent to the controller as events. Once the
// job is interrupted (a Cancel of a job that takes one, or the controller
// going away) each line is refused: the job stops there, as a job does when
// whoever started it has gone, and touches the device no more.
class WorkerSink : public FirmwareSink
{
public:
    WorkerSink(DeviceWorker &worker, DeviceJob kind, const DeviceSession &session)
        : worker(worker), kind(kind), session(session)
    {
    }

    bool log(const QString &text) override { return line(text, false); }
    bool logDetail(const QString &text) override { return line(text, true); }

    void progress(qint64 value, qint64 maximum) override
    {
        lastMaximum = maximum;
        WorkerEvent event{WorkerEvent::Progress, kind};
        event.value = value;
        event.maximum = maximum;
        event.reports = session.reportsWritten();
        worker.send(std::move(event));
    }

    void deviceReachable(bool online) override
    {
        WorkerEvent event{WorkerEvent::Reachable, kind};
        event.flag = online;
        // Asked here, on the device thread, while it is fresh, and of this
        // session's device: another unit being listed does not make it there.
        event.listed = online || listedAt(session.devicePath());
        worker.send(std::move(event));
    }

    void showFileInfo(const QString &text) override { note(QStringLiteral("fileInfo"), text); }
    void upgradeStarted() override { note(QStringLiteral("upgradeStarted"), QVariant()); }
    void writingFile(qint64 size) override { note(QStringLiteral("writingFile"), size); }
    void modelHeaderRead(const QByteArray &fileHeader, const QByteArray &deviceField) override
    {
        note(QStringLiteral("modelHeaderRead"), QVariantList{fileHeader, deviceField});
    }
    void stageStarted(UpgradeStage stage) override { note(QStringLiteral("stageStarted"), int(stage)); }
    void deviceReturned(const QString &before, const QString &after) override
    {
        note(QStringLiteral("deviceReturned"), QVariantList{before, after});
    }
    // An upgrade is asked for after its page asked the user.
    bool mayErase() override { return true; }
    // The write stage alone asks its user on the controller's thread; the
    // device waits meanwhile, and a controller going away answers No.
    bool writeToApplication(const QString &model) override
    {
        return worker.ask([model](DeviceController &controller) {
            const auto question = controller.firmwareQuestions().writeToApplication;
            return question && question(model);
        });
    }
    bool writeToBootloader(const BootloaderTarget &target) override
    {
        return worker.ask([target](DeviceController &controller) {
            const auto question = controller.firmwareQuestions().writeToBootloader;
            return question && question(target);
        });
    }
    // Between chunks of a write stage: only the controller going away stops
    // it; a Cancel does not reach a stage that would leave the device half written.
    bool stopRequested() override { return worker.stopping.load(std::memory_order_acquire); }

    bool refused = false;
    qint64 lastMaximum = -1; // -1: the job reported no progress

    void note(const QString &what, const QVariant &value)
    {
        WorkerEvent event{WorkerEvent::Note, kind};
        event.text = what;
        event.result = value;
        worker.send(std::move(event));
    }

private:
    bool line(const QString &text, bool detail)
    {
        if (worker.interrupt.load(std::memory_order_acquire)) {
            refused = true;
            return false;
        }
        if (detail) {
            worker.sendDetail(kind, text);
            return true;
        }
        WorkerEvent event{WorkerEvent::Line, kind};
        event.text = text;
        worker.send(std::move(event));
        return true;
    }

    DeviceWorker &worker;
    const DeviceJob kind;
    const DeviceSession &session;
};

} // namespace

DeviceWorker::DeviceWorker(QObject *receiver) : receiver(receiver) {}

void DeviceWorker::post(DeviceJob kind, JobFunction job, bool cancellable)
{
    // Cleared here, on the controller's thread, rather than when the job
    // begins: a Cancel given right after the start, before the device thread
    // took the job, still reaches it.
    if (!stopping.load(std::memory_order_acquire))
        interrupt.store(false, std::memory_order_release);
    std::lock_guard<std::mutex> lock(mutex);
    pending = Pending{kind, std::move(job), cancellable};
    wake.notify_all();
}

void DeviceWorker::requestRelease()
{
    std::lock_guard<std::mutex> lock(mutex);
    releaseAsked = true;
    wake.notify_all();
}

void DeviceWorker::setDevicePath(const QByteArray &path)
{
    std::lock_guard<std::mutex> lock(mutex);
    pathAsked = path;
}

void DeviceWorker::requestListing()
{
    std::lock_guard<std::mutex> lock(mutex);
    listingAsked = true;
    wake.notify_all();
}

void DeviceWorker::requestStop()
{
    stopping.store(true, std::memory_order_release);
    interrupt.store(true, std::memory_order_release);
    std::lock_guard<std::mutex> lock(mutex);
    quit = true;
    receiver = nullptr;
    events.clear();
    question = nullptr;
    wake.notify_all();
    answerArrived.notify_all();
}

void DeviceWorker::takeEvents(std::deque<WorkerEvent> &into)
{
    std::lock_guard<std::mutex> lock(mutex);
    receiverTold = false;
    routineWaiting = 0;
    // A transfer leaves thousands of events between two looks: the whole
    // mailbox changes hands, no event is copied or moved one by one.
    if (into.empty())
        into.swap(events);
    else
        std::move(events.begin(), events.end(), std::back_inserter(into));
    events.clear();
}

void DeviceWorker::send(WorkerEvent event)
{
    std::lock_guard<std::mutex> lock(mutex);
    queue(std::move(event));
}

void DeviceWorker::sendDetail(DeviceJob kind, const QString &text)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!receiver)
        return;
    if (!events.empty()) {
        WorkerEvent &last = events.back();
        if (last.type == WorkerEvent::Line && last.flag && last.kind == kind) {
            last.lines.append(text);
            tellIfManyWaiting();
            return;
        }
    }
    WorkerEvent event{WorkerEvent::Line, kind};
    event.flag = true;
    event.lines.append(text);
    queue(std::move(event));
}

void DeviceWorker::queue(WorkerEvent event)
{
    if (!receiver)
        return;
    // The many small events of a transfer (a detail line and a progress value
    // per report) wait for the controller's next look, at most a frame away;
    // waking the window's thread for each would cost the transfer its pace.
    const bool routine = event.type == WorkerEvent::Progress || (event.type == WorkerEvent::Line && event.flag);
    events.push_back(std::move(event));
    if (routine)
        tellIfManyWaiting();
    else
        tellReceiver();
}

void DeviceWorker::tellIfManyWaiting()
{
    // A transfer at full speed says thousands of them between two looks: the
    // window then takes them while the transfer goes on, rather than all at
    // its end.
    if (++routineWaiting >= ManyRoutineEvents)
        tellReceiver();
}

void DeviceWorker::tellReceiver()
{
    if (receiverTold)
        return;
    receiverTold = true;
    // Under the lock: the controller clears receiver under it before it goes.
    QMetaObject::invokeMethod(receiver, "takeWorkerEvents", Qt::QueuedConnection);
}

bool DeviceWorker::ask(WorkerQuestion asked)
{
    std::unique_lock<std::mutex> lock(mutex);
    if (!receiver || quit || interrupt.load(std::memory_order_acquire))
        return false;
    question = std::move(asked);
    asking = true;
    answered = false;
    queue(WorkerEvent{WorkerEvent::Question});
    answerArrived.wait(lock, [this] { return answered || quit; });
    const bool yes = answered && answerYes && !quit;
    asking = false;
    answered = false;
    question = nullptr;
    return yes;
}

WorkerQuestion DeviceWorker::takeQuestion()
{
    std::lock_guard<std::mutex> lock(mutex);
    WorkerQuestion taken = std::move(question);
    question = nullptr;
    return taken;
}

void DeviceWorker::answer(bool yes)
{
    std::lock_guard<std::mutex> lock(mutex);
    if (!asking || answered)
        return;
    answered = true;
    answerYes = yes;
    answerArrived.notify_all();
}

void DeviceWorker::run()
{
    // The session and its handle are born, used and closed on this thread only.
    DeviceSession session;
    session.runOnDeviceThread(&calls, &interrupt);
    WorkerWaiter waiter(stopping);
    for (;;) {
        std::optional<Pending> job;
        bool release = false;
        std::optional<QByteArray> newPath;
        {
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait(lock, [this] { return quit || pending || listingAsked || releaseAsked; });
            if (quit)
                break;
            newPath.swap(pathAsked);
            if (releaseAsked) {
                releaseAsked = false;
                release = true;
            } else if (pending) {
                job = std::move(pending);
                pending.reset();
            } else {
                listingAsked = false;
            }
        }
        if (newPath && *newPath != session.devicePath()) {
            // Another device from now on: a handle on the old one is given up.
            session.close();
            session.setDevicePath(*newPath);
        }
        const QByteArray servedAt = session.devicePath();
        if (release) {
            session.close();
        } else if (job) {
            runJob(session, waiter, *job);
        } else {
            // Lists the system's devices only; a handle left open for the next
            // job (the slot query's) went with a device that is no longer listed.
            if (!session.isOpen())
                session.followUnit();
            WorkerEvent event{WorkerEvent::Listed};
            listed = listedDevice(session.devicePath(), &event.attached);
            takeLastListing();
            event.flag = listed.isListed();
            event.identity = listed;
            if (!event.flag)
                session.close();
            send(event);
        }
        if (session.devicePath() != servedAt) {
            // The unit came back from a restart on another path.
            WorkerEvent followed{WorkerEvent::Followed};
            followed.path = servedAt;
            followed.identity = DeviceIdentity{session.devicePath(), listed.serial};
            send(followed);
        }
    }
    session.close();
}

DeviceIdentity DeviceWorker::identityOf(const DeviceSession &session) const
{
    // A session given a path serves the device there, whatever was listed first.
    if (!session.devicePath().isEmpty() && session.devicePath() != listed.path)
        return DeviceIdentity{session.devicePath(), QString()};
    return listed;
}

void DeviceWorker::runJob(DeviceSession &session, Waiter &waiter, Pending &job)
{
    takeLastListing();
    WorkerEvent started{WorkerEvent::Started, job.kind};
    started.identity = identityOf(session);
    send(started);
    WorkerSink sink(*this, job.kind, session);
    JobContext context{session, sink, waiter,
                       [&sink](const QString &what, const QVariant &value) { sink.note(what, value); }};
    session.takeCutShort();
    const JobResult result = job.job(context);

    // The job may have listed the device (a query asks whose device it is).
    if (std::optional<DeviceIdentity> seen = takeLastListing())
        listed = *seen;
    WorkerEvent finished{WorkerEvent::Finished, job.kind};
    finished.identity = identityOf(session);
    const bool cutShort = session.takeCutShort();
    if (sink.refused || cutShort) {
        // Stopped part way: whatever handle the job left open is given up,
        // so the next job opens the device afresh.
        session.close();
        if (stopping.load(std::memory_order_acquire))
            return;
        WorkerEvent line{WorkerEvent::Line, job.kind};
        line.text = cancelledText();
        send(line);
        if (sink.lastMaximum >= 0) {
            WorkerEvent bar{WorkerEvent::Progress, job.kind};
            bar.maximum = sink.lastMaximum;
            bar.reports = session.reportsWritten();
            send(bar);
        }
        finished.cancelled = true;
    } else {
        finished.flag = result.success;
        finished.result = result.value;
    }
    send(finished);
}
