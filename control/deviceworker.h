#pragma once
// The device thread of a DeviceController: the loop that runs its jobs, and
// the locked mailbox through which it talks to the controller.
//
// Everything the two threads share is here. Requests go in under the lock
// (one job, a listing, the stop); what the jobs say comes back as events in a
// queue under the same lock, and the controller is told with a queued call
// that there is something to take. The session, its handle and the job
// itself are the thread's alone. The worker is held by the thread as well as
// by the controller, so a thread left behind stuck in a call keeps what it
// uses, and nothing the controller owned, when the controller is gone.

#include "control/detaillines.h"
#include "control/devicejob.h"
#include "device/calltimer.h"
#include "device/knowndevices.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QVariant>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

struct WorkerEvent
{
    enum Type { Started, Line, Progress, Reachable, Note, Finished, Listed, Question, Followed };
    explicit WorkerEvent(Type type = Line, DeviceJob kind = DeviceJob::None) : type(type), kind(kind) {}
    Type type = Line;
    DeviceJob kind = DeviceJob::None;
    QString text;       // Line (not detail), Note (what); a Question carries nothing: it waits in the worker
    DetailLines lines;  // Line, detail: a run of detail lines said one after another, oldest first
    bool flag = false;  // Line: detail; Reachable: online; Finished: success; Listed: listed
    bool cancelled = false; // Finished
    bool listed = true; // Reachable: opened, or still listed by the system
    qint64 value = 0;   // Progress
    qint64 maximum = 0; // Progress
    qint64 reports = 0; // Progress: reports the session had written by then
    QVariant result;    // Finished, Note
    DeviceIdentity identity; // Started, Finished, Listed: the unit as the device thread knows it
    QByteArray path;    // Followed: the path the unit was served at before it came back on identity.path
    QVector<DeviceIdentity> attached; // Listed: every device the listing found
};

class DeviceController;

// A question a job puts to the user mid-way, asked on the controller's thread.
// It holds only values; its answer is all that comes back.
using WorkerQuestion = std::function<bool(DeviceController &controller)>;

class DeviceWorker
{
public:
    // receiver gets a queued call of its slot takeWorkerEvents() whenever
    // events wait and it has not been told yet.
    explicit DeviceWorker(QObject *receiver);

    // --- the controller's side ------------------------------------------------
    void post(DeviceJob kind, JobFunction job, bool cancellable);
    void requestListing();
    // The device the next job and listing serve (empty: the first attached).
    void setDevicePath(const QByteArray &path);
    // The handle a job left open for the next one is closed between jobs.
    void requestRelease();
    // The thread stops after the job in hand, which is interrupted; nothing
    // more reaches the receiver.
    void requestStop();
    // Appends the waiting events to into, oldest first, and empties the mailbox.
    void takeEvents(std::deque<WorkerEvent> &into);
    // Events taken and not yet said by the controller, oldest first; touched
    // on the controller's thread only.
    std::deque<WorkerEvent> delivering;
    // The question a Question event announced, once; empty when the job has
    // stopped waiting for it.
    WorkerQuestion takeQuestion();
    void answer(bool yes);

    // Read by the watchdog; set by cancel and stop.
    CallTimer calls;
    std::atomic<bool> interrupt{false};
    std::atomic<bool> stopping{false};

    // --- the device thread ------------------------------------------------------
    void run();
    void send(WorkerEvent event);
    // A detail line: joins the run of detail lines last in the mailbox, so a
    // transfer's line per report costs no event of its own.
    void sendDetail(DeviceJob kind, const QString &text);
    // Puts question to the controller's thread and waits for its answer. No
    // when the job is interrupted or the controller goes away meanwhile, so
    // neither thread ever waits for the other's answer in vain.
    bool ask(WorkerQuestion question);

private:
    struct Pending
    {
        DeviceJob kind = DeviceJob::None;
        JobFunction job;
        bool cancellable = false;
    };
    void runJob(class DeviceSession &session, class Waiter &waiter, Pending &pending);
    // Adds event to the mailbox; the lock is held.
    void queue(WorkerEvent event);
    // Asks the controller to take the events waiting; under the lock.
    void tellReceiver();
    void tellIfManyWaiting();
    // The unit the session serves, as far as a listing or its path tell.
    DeviceIdentity identityOf(const class DeviceSession &session) const;

    std::mutex mutex;
    std::condition_variable wake;
    std::optional<Pending> pending;
    bool listingAsked = false;
    bool releaseAsked = false;
    std::optional<QByteArray> pathAsked;   // set and not yet taken by the thread
    bool quit = false;
    std::deque<WorkerEvent> events;
    QObject *receiver;
    bool receiverTold = false;
    // Progress values and detail lines since the controller's last look.
    int routineWaiting = 0;
    static constexpr int ManyRoutineEvents = 500;
    WorkerQuestion question;   // asked, not yet taken
    bool asking = false;       // the device thread waits for an answer
    bool answered = false;
    bool answerYes = false;
    std::condition_variable answerArrived;
    DeviceIdentity listed; // the device thread's alone: what its last listing found
};
