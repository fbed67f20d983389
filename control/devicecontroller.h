#pragma once
// One device, served on a thread of its own.
//
// Thread contract:
// - The controller is an object of the thread that creates it (the window's).
//   Its DeviceSession, the hidapi handle and every job live on the device
//   thread the controller starts; the handle is opened, read, written and
//   closed there and nowhere else, so no handle is ever closed under a read.
// - What crosses between the threads are values: a job function with its
//   arguments copied in, and back the events of the job (started, each line,
//   progress, reachability, notes, finished with its result) through a locked
//   mailbox. The controller re-emits them as its signals on its own thread;
//   receivers never see the device thread.
// - One job at a time. A start…() while a job runs is refused by the
//   controller: false, refused(), and the busy line in the log.
// - Cancel (device query, slot query, picture upload, curve reads) takes effect
//   after the report in flight: reads are made in slices of at most 100 ms
//   and the job's next log line is refused, so it sends nothing more (no end
//   report). The controller logs "已取消", sets a progress bar that moved back
//   to 0, and finishes the job as cancelled, not done. The firmware stages and
//   the writes take no Cancel.
// - A write or read still not back StallGraceMs past its own time-out makes
//   the state Unresponsive; a timer on the controller's thread sees it, since
//   the device thread is the one stuck. It stays usable meanwhile.
// - A job that needs the user's say (the write stage alone) asks it on the
//   controller's thread: the question goes over as a value, the device
//   thread waits, the answer comes back. A controller going away, or an
//   interrupted job, answers No, so neither thread waits on the other.
// - Destroying the controller interrupts the running job (it stops at its
//   next line, read slice or chunk) and waits up to ShutdownWaitMs for the
//   thread; a thread stuck in a call (Unresponsive) is not waited for at all.
//   Such a thread is left behind on purpose: it holds its own share of what
//   it uses, closes its handle once the call returns, and deletes its QThread
//   through the event loop; at the program's end the system takes it down.

#include "control/detaillines.h"
#include "control/devicejob.h"
#include "device/devicewatch.h"
#include "device/knowndevices.h"
#include "settings/profile.h"
#include "settings/settingsblocks.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QThread>
#include <QTimer>

#include <memory>

class DeviceActivity;
class DeviceActionGuard;
class DeviceWorker;

// How the user is asked what the write stage alone cannot decide by itself.
// Each runs on the controller's thread while the job waits; one not set
// answers No.
struct FirmwareQuestions
{
    std::function<bool(const QString &model)> writeToApplication;
    std::function<bool(const BootloaderTarget &target)> writeToBootloader;
};

class DeviceController : public QObject
{
    Q_OBJECT

public:
    static constexpr int StallGraceMs = 5000;
    static constexpr int ShutdownWaitMs = 2000;
    static constexpr int WatchdogIntervalMs = 100;
    // How often a running job's progress and detail lines are taken (sooner
    // when many wait: see DeviceWorker::tellIfManyWaiting).
    static constexpr int RoutineEventsMs = 16;

    explicit DeviceController(QObject *parent = nullptr);
    ~DeviceController() override;

    DeviceState state() const { return currentState; }
    DeviceJob runningJob() const { return running; }
    bool isBusy() const { return running != DeviceJob::None; }
    bool isPresent() const { return present; }
    // The unit served, as the device thread last learned it: when it listed
    // the devices (presence, a query asking whose device it is) or was given
    // a path. Updated as each job starts and ends; empty when not known.
    DeviceIdentity deviceIdentity() const { return identity; }
    // Every device with the tool's USB ids the last presence listing found,
    // in the system's order, this one among them when it is attached.
    QVector<DeviceIdentity> attachedDevices() const { return attached; }
    // The reports the device thread's session had written when the last
    // progress() was sent, for a progress line that shows them.
    qint64 reportsWritten() const { return lastReports; }
    // The device thread, for a test that watches a thread left behind; null
    // once shut down.
    QThread *deviceThread() const { return thread; }

    // What the destructor does, sooner: the running job is interrupted, the
    // thread asked to end and waited for (not when it is stuck in a call).
    // True when it ended. Afterwards every start is refused.
    bool shutdown();

    // For tests that stall the emulated device: how long past its time-out a
    // call may run before the device counts as unresponsive.
    void setStallGraceMs(int ms) { stallGraceMs = ms; }
    // A busy guard shared with device actions that do not run here yet: a
    // job is refused while it is busy, and holds it while it runs. Whoever
    // owns it outlives the controller or sets it back to null.
    void setSharedActivity(DeviceActivity *activity);
    // Who answers a firmware job's questions (none: every one is No).
    void setFirmwareQuestions(FirmwareQuestions questions) { questions_ = std::move(questions); }
    const FirmwareQuestions &firmwareQuestions() const { return questions_; }

    // A receiver that takes detail lines in runs: each run of detail lines
    // (a transfer's line per report) comes as one detailLines() in its place
    // among the other lines, instead of one logLine() per line.
    void setDetailBatches(bool on) { detailBatches = on; }

    // Which device this controller serves: the one at this hidapi path, or
    // with an empty path (the default) the first 0483:5750 device attached.
    // Taken by the next job and listing. A device that leaves is reported as
    // gone; another device is never opened in its place.
    void setDevicePath(const QByteArray &path);
    QByteArray devicePath() const { return path_; }

    // Runs job on the device thread unless one runs already. cancellable:
    // whether cancel() reaches it.
    bool start(DeviceJob kind, JobFunction job, bool cancellable);

    // The jobs of the core, each as its function does it; the result types are
    // in devicejob.h.
    // DeviceQueryResult; a success when every item answered.
    bool startDeviceQuery(const DeviceInfo &known = {});
    bool startSlotQuery(int slot);                              // SlotQueryResult
    bool startPictureUpload(const PictureTarget &target, const QImage &picture); // UploadResult
    // beforeErase runs on the device thread once the model matched.
    bool startFirmwareUpgrade(const QString &path,
                              std::function<void(JobContext &)> beforeErase = {}); // Firmware::UpgradeResult
    bool startFirmwareRecovery(const QString &path);            // Firmware::UpgradeResult
    bool startFirmwareWriteStage(const QString &path);          // bool
    // The write stage alone, after its model query and the firmware questions.
    bool startFirmwareWriteAlone(const QString &path);          // Firmware::UpgradeResult
    bool startRefresh();
    bool startSettingsWrite(const SettingsValues &values);      // bool
    bool startCurveRead(int curve);                             // CurveReadResult
    // The five curves in one job; each curve read is noted as it arrives
    // ("curveRead": curve, CurveReadResult), so that a Cancel keeps what came
    // before it. A success when every curve answered.
    bool startCurveReadAll();                                   // CurveReadAllResult
    bool startCurveWrite(int curve, const CurvePointsRow &points); // bool
    // The settings and the curves the profile holds, after settleMs (a device
    // that has just restarted needs a moment).
    bool startProfileApply(const Profile &profile, int settleMs = 0); // bool

    // Closes, between jobs, a handle a job left open for the next one (the
    // slot query's, for the upload), when the user has gone elsewhere.
    void releaseHandle();

    // Runs act on context's thread, from the event loop, as soon as the state
    // says no job runs (at the end of the running one, before whatever its
    // end starts next has begun); never when context has gone.
    void whenFree(QObject *context, std::function<void()> act);

    // True when the running job takes a Cancel.
    bool isCancellable() const { return isBusy() && runningCancellable; }
    bool cancel();

    // Presence: a listing on the device thread between jobs; arrived() or
    // left() when it changed.
    void checkPresence();
    void startPresenceWatch(int intervalMs = DeviceWatch::PollIntervalMs);
    void stopPresenceWatch();
    // What an open made elsewhere learned: listed, and whether it opened.
    void assumePresent(bool nowPresent, bool canOpen = true);
    // A listing asked for and not yet answered.
    bool isListing() const { return listing; }

signals:
    void jobStarted(DeviceJob kind);
    void logLine(const QString &text, bool detail);
    // With setDetailBatches(true): detail lines said one after another, oldest first.
    void detailLines(const DetailLines &lines);
    void progress(qint64 value, qint64 maximum);
    void deviceReachable(bool online);
    // What a firmware stage tells its page beyond lines and progress:
    // "fileInfo" (text), "upgradeStarted", "writingFile" (size),
    // "modelHeaderRead" (file header, device field), "stageStarted"
    // (UpgradeStage as int); and what a job function notes itself.
    void jobNote(DeviceJob kind, const QString &what, const QVariant &value);
    void cancelled(DeviceJob kind);
    void finished(DeviceJob kind, bool success, const QVariant &result);
    void refused(DeviceJob asked, DeviceJob runningJob);
    void stateChanged(DeviceState state, DeviceJob job);
    void arrived();
    void left();
    // A presence listing found other devices than the one before it.
    void attachedChanged();
    // The unit served by its path came back from a restart on another path,
    // now devicePath().
    void devicePathFollowed();

private slots:
    void takeWorkerEvents();

private:
    void answerQuestion();
    void checkStall();
    void updateState();
    void setPresence(bool listed, bool accessible);

    std::shared_ptr<DeviceWorker> worker;
    QThread *thread = nullptr;
    QTimer watchdog;
    QTimer routineEvents;
    QTimer presenceTimer;
    DeviceJob running = DeviceJob::None;
    qint64 lastReports = 0;
    bool runningCancellable = false;
    bool stalled = false;
    bool present = false;
    bool accessible = true;
    bool listing = false;
    bool threadEnded = false;
    bool detailBatches = false;
    int stallGraceMs = StallGraceMs;
    DeviceState currentState = DeviceState::Absent;
    DeviceJob stateJob = DeviceJob::None;
    DeviceActivity *sharedActivity = nullptr;
    std::unique_ptr<DeviceActionGuard> sharedGuard;
    FirmwareQuestions questions_;
    QByteArray path_;
    DeviceIdentity identity;
    QVector<DeviceIdentity> attached;
};
