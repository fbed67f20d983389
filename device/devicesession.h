#pragma once
// The one owner of the device: its hidapi handle, the command record the
// reports are built in, and the guard that keeps device actions apart.
//
// Re-entrancy: the program runs on one thread, and its waits (the retries of
// an open, the settle after an erase, the pauses between chunk retries) keep
// handling events, as do its log lines. So a click, a close or a timer may run
// in the middle of a device action. Every action therefore holds the busy
// guard of activity() for its whole length, and a second action is refused
// with one log line; whoever may go away meanwhile (a dialog, the window that
// owns the session) is watched through a guarded pointer, and a close that
// arrives during an action is deferred until it ends.
//
// Between actions the handle is normally closed. A few leave it open for the
// next one: the slot query for the upload that follows, an unacknowledged
// colour transfer, a failed firmware write stage. The next action goes on with
// that handle rather than opening another.
//
// A session owned by a DeviceController lives on the controller's device
// thread instead, and is only ever touched there (see devicecontroller.h).

#include "device/commandrecord.h"
#include "device/deviceactivity.h"
#include "device/reports.h"

#include <QObject>

#include <atomic>

class CallTimer;
class JobSink;
class Waiter;

class DeviceSession : public QObject
{
    Q_OBJECT

public:
    explicit DeviceSession(QObject *parent = nullptr);
    // Closes a handle still open.
    ~DeviceSession() override;

    bool isOpen() const { return device != nullptr; }
    // The open handle or null; for the report layer's tests and counters.
    hid_device *handle() const { return device; }
    DeviceActivity &activity() { return busy; }
    const CommandRecord &lastCommand() const { return record; }

    // Which device the session opens: the one at this hidapi path, or with
    // an empty path (the default) the first one attached. For a program
    // serving one of several devices. The unit is followed by the USB port it
    // sits in: when it comes back from a restart on another path, the
    // session's path becomes that one (see device/usbport.h).
    void setDevicePath(const QByteArray &hidPath);
    QByteArray devicePath() const { return path; }
    // Takes the path the unit has now when the system lists it on its port
    // under another one; true when the path changed.
    bool followUnit();

    // Reports written whole through this session, for a progress display.
    qint64 reportsWritten() const { return written; }

    // A single hid_open unless a handle is already open.
    bool open();
    // Up to 20 opens with 100 ms pauses, for a device that may still be
    // re-enumerating (the bootloader after an erase); unless already open.
    bool openWithRetries(Waiter &waiter);
    // open(), telling sink whether the device answered (when the caller's page
    // shows it) and logging failureText when it did not.
    bool openFor(JobSink &sink, const QString &failureText, bool showReachability);

    // Start of an exchange: a fresh record and a blocking handle.
    void beginExchange();
    // Command 0x55 with its 63-byte argument block; a ReportResult.
    int send(const ApplicationBlock &block);
    // Any command code with a payload of the declared length.
    int sendCommand(quint8 code, const QByteArray &payload, qint8 length);
    // A bootloader command that carries the 60-digit pattern.
    int sendBootloaderCommand(quint8 code);
    // Command 0x01: n image bytes and the five filler bytes after them.
    bool sendFirmwareChunk(const quint8 *data, int n);
    // One reply within timeoutMs; true only for a whole reply. The buffer keeps
    // whatever a short read or an earlier reply left in it.
    bool read(ReplyBuffer &reply, int timeoutMs = Protocol::ReplyTimeoutMs);
    // send + read.
    bool ask(const ApplicationBlock &block, ReplyBuffer &reply, int timeoutMs = Protocol::ReplyTimeoutMs);

    // Closes the handle if one is open; safe to call any number of times.
    void close();

    // Longest single hid_read_timeout of a session on a device thread.
    static constexpr int ReadSliceMs = 100;
    // For the device thread that owns this session: each write and read is
    // timed on calls, so that a stuck one can be seen from outside; a read is
    // made in slices of at most ReadSliceMs that add up to its time-out. Once
    // interrupt is set, a read ends early as unanswered and a write is not
    // made (it fails). The device notices none of it but the reports that are
    // not sent: a read only looks at what the host has already received.
    void runOnDeviceThread(CallTimer *calls, const std::atomic<bool> *interrupt);
    // Whether the interrupt cut a write or read short since the last call.
    bool takeCutShort();

signals:
    // A line for the log of whoever shows this device's activity (the
    // window's log pane); the dialogs sharing the session report through it.
    // detail: one of the many lines of a transfer (see JobSink::logDetail).
    void message(const QString &text, bool detail);

private:
    int countedResult(int result);
    bool countedDelivery(bool delivered);
    bool interrupted();
    template <typename Write>
    auto timedWrite(Write write, decltype(write()) notSent);
    int readSliced(ReplyBuffer &reply, int timeoutMs);

    hid_device *device = nullptr;
    QByteArray path;
    QByteArray port;   // the unit's USB port, once known
    qint64 written = 0;
    CommandRecord record;
    DeviceActivity busy;
    CallTimer *calls = nullptr;
    const std::atomic<bool> *interrupt = nullptr;
    bool cutShort = false;
};
