#include "control/devicecontroller.h"

#include "device/deviceactivity.h"
#include "control/deviceworker.h"

DeviceController::DeviceController(QObject *parent)
    : QObject(parent), worker(std::make_shared<DeviceWorker>(this))
{
    qRegisterMetaType<DeviceJob>();
    qRegisterMetaType<DeviceState>();
    std::shared_ptr<DeviceWorker> shared = worker;
    thread = QThread::create([shared] { shared->run(); });
    thread->setObjectName(QStringLiteral("device"));
    // Only reached for a thread left behind; a thread that ended in time is
    // deleted by the destructor, and this posted deletion with it.
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();

    watchdog.setInterval(WatchdogIntervalMs);
    routineEvents.setInterval(RoutineEventsMs);
    connect(&routineEvents, &QTimer::timeout, this, &DeviceController::takeWorkerEvents);
    connect(&watchdog, &QTimer::timeout, this, &DeviceController::checkStall);
    connect(&presenceTimer, &QTimer::timeout, this, &DeviceController::checkPresence);
}

DeviceController::~DeviceController()
{
    shutdown();
}

bool DeviceController::shutdown()
{
    if (!thread)
        return threadEnded;
    watchdog.stop();
    routineEvents.stop();
    presenceTimer.stop();
    sharedGuard.reset();
    worker->requestStop();
    // A thread stuck in a call is not waited for: the user was told the
    // device is unresponsive, and the program must still end.
    threadEnded = thread->wait(currentState == DeviceState::Unresponsive ? 0 : ShutdownWaitMs);
    if (threadEnded)
        delete thread;
    thread = nullptr;
    running = DeviceJob::None;
    return threadEnded;
}

void DeviceController::setSharedActivity(DeviceActivity *activity)
{
    sharedGuard.reset();
    sharedActivity = activity;
}

void DeviceController::setDevicePath(const QByteArray &path)
{
    path_ = path;
    worker->setDevicePath(path);
}

bool DeviceController::start(DeviceJob kind, JobFunction job, bool cancellable)
{
    if (!thread)
        return false;
    if (isBusy() || (sharedActivity && sharedActivity->isBusy())) {
        emit logLine(deviceBusyText(), false);
        emit refused(kind, running);
        return false;
    }
    if (sharedActivity)
        sharedGuard = std::make_unique<DeviceActionGuard>(*sharedActivity);
    running = kind;
    runningCancellable = cancellable;
    stalled = false;
    worker->post(kind, std::move(job), cancellable);
    watchdog.start();
    routineEvents.start();
    updateState();
    return true;
}

bool DeviceController::cancel()
{
    if (!isCancellable())
        return false;
    worker->interrupt.store(true, std::memory_order_release);
    return true;
}

void DeviceController::releaseHandle()
{
    worker->requestRelease();
}

void DeviceController::checkPresence()
{
    if (!thread)
        return;
    // The system is asked between jobs only, as the window's watch did.
    if (isBusy() || listing || (sharedActivity && sharedActivity->isBusy()))
        return;
    listing = true;
    worker->requestListing();
}

void DeviceController::startPresenceWatch(int intervalMs)
{
    presenceTimer.start(intervalMs);
}

void DeviceController::stopPresenceWatch()
{
    presenceTimer.stop();
}

void DeviceController::assumePresent(bool nowPresent, bool canOpen)
{
    present = nowPresent;
    accessible = canOpen;
    updateState();
}

void DeviceController::whenFree(QObject *context, std::function<void()> act)
{
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(this, &DeviceController::stateChanged, context, [this, once, context, act] {
        if (isBusy())
            return;
        disconnect(*once);
        QTimer::singleShot(0, context, act);
    });
}

void DeviceController::checkStall()
{
    const bool nowStalled = worker->calls.overdueMs() > stallGraceMs;
    if (nowStalled == stalled)
        return;
    stalled = nowStalled;
    updateState();
}

void DeviceController::setPresence(bool listed, bool canOpen)
{
    present = listed;
    accessible = canOpen;
}

void DeviceController::updateState()
{
    DeviceState next;
    if (isBusy())
        next = stalled ? DeviceState::Unresponsive : DeviceState::Busy;
    else if (!present)
        next = DeviceState::Absent;
    else
        next = accessible ? DeviceState::Idle : DeviceState::NotAccessible;
    if (next == currentState && running == stateJob)
        return;
    currentState = next;
    stateJob = running;
    emit stateChanged(currentState, stateJob);
}

// The question may show a dialog, and the controller may go while it is
// open: the worker is held here until the answer is in.
void DeviceController::answerQuestion()
{
    const std::shared_ptr<DeviceWorker> asked = worker;
    const WorkerQuestion question = asked->takeQuestion();
    if (!question)
        return;
    const bool yes = question(*this);
    asked->answer(yes);
}

void DeviceController::takeWorkerEvents()
{
    QPointer<DeviceController> self(this);
    // One event at a time from a queue of its own. A receiver that lets events
    // run meanwhile (the log pane does, to keep the window responsive) gets
    // the next batch in a nested call, which goes on where this one is, so a
    // job's lines and values are said in the order the job said them. (A
    // receiver connected after one that lets events run may still hear an
    // event after the ones that followed it.)
    std::deque<WorkerEvent> &queue = worker->delivering;
    worker->takeEvents(queue);
    while (!queue.empty()) {
        WorkerEvent &front = queue.front();
        if (front.type == WorkerEvent::Line && front.flag && !detailBatches) {
            // A run of detail lines said one by one; the rest of the run
            // stays first in the queue, where a nested call goes on with it.
            const QString text = front.lines.takeFirst();
            if (front.lines.isEmpty())
                queue.pop_front();
            emit logLine(text, true);
            if (!self)
                return;
            continue;
        }
        WorkerEvent event = std::move(front);
        queue.pop_front();
        switch (event.type) {
        case WorkerEvent::Started:
            identity = event.identity;
            emit jobStarted(event.kind);
            break;
        case WorkerEvent::Line:
            if (event.flag)
                emit detailLines(event.lines);
            else
                emit logLine(event.text, false);
            break;
        case WorkerEvent::Progress:
            lastReports = event.reports;
            emit progress(event.value, event.maximum);
            break;
        case WorkerEvent::Reachable:
            // Not opened yet listed: there, but not for this user.
            setPresence(event.listed, event.flag || !event.listed);
            emit deviceReachable(event.flag);
            break;
        case WorkerEvent::Note:
            emit jobNote(event.kind, event.text, event.result);
            break;
        case WorkerEvent::Finished: {
            identity = event.identity;
            running = DeviceJob::None;
            runningCancellable = false;
            stalled = false;
            watchdog.stop();
            routineEvents.stop();
            // Freed first, so that a receiver of finished() may start the next
            // action; its release runs what waited for the device to be free.
            std::unique_ptr<DeviceActionGuard> guard = std::move(sharedGuard);
            guard.reset();
            if (!self)
                return;
            updateState();
            if (event.cancelled)
                emit cancelled(event.kind);
            if (!self)
                return;
            emit finished(event.kind, event.flag && !event.cancelled, event.result);
            break;
        }
        case WorkerEvent::Question:
            answerQuestion();
            break;
        case WorkerEvent::Followed:
            // Unless another unit was chosen meanwhile.
            if (path_ == event.path) {
                path_ = event.identity.path;
                emit devicePathFollowed();
            }
            break;
        case WorkerEvent::Listed: {
            listing = false;
            identity = event.identity;
            const bool changed = event.flag != present;
            if (changed)
                setPresence(event.flag, true);
            updateState();
            if (event.attached != attached) {
                attached = event.attached;
                emit attachedChanged();
                if (!self)
                    return;
            }
            if (changed)
                emit event.flag ? arrived() : left();
            break;
        }
        }
        // A receiver may destroy the controller from one of these signals.
        if (!self)
            return;
    }
}
