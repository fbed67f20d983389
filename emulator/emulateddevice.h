#pragma once

#include "bootloader.h"
#include "deviceprofile.h"
#include "imagereceiver.h"

#include <hidapi.h>

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QSet>
#include <QVector>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace emu {

// A device on the emulated USB bus, with its faults and a record of every
// hidapi call the program made to it. The hidapi shim forwards each call to the
// hid* members below; tests drive faults and read the record through the rest.
//
// The bus is a bench with room for sixteen devices, each with its own path,
// serial number, profile, faults and record. After every reset the first N
// are plugged in, N being TESSEL_EMULATED_DEVICES (1 to 16, default 1; read
// at the first use and again at each reset), the others unplugged until a
// test plugs them in with setPresent(true). hid_open takes the first present
// one, hid_open_path the one with that path, and every call with a handle goes
// to the device the handle belongs to.
//
// TESSEL_EMULATED_FAULTS gives single devices faults at each reset, for the
// emulated programs: comma-separated "INDEX:FAULT" with INDEX the bus index
// (the number in the path) or "*" for every device, and FAULT one of silent
// (no answer to any query; the host waits out its time-outs), unplug-after=K, fail-write=I (the I-th write since
// reset and every later one fail: a broken link) and latency=US (microseconds
// per report).
//
// Thread-safe: each device has its own lock, so devices served from different
// threads never wait for one another. Hooks run with no lock held, so they
// may call back into hidapi.
class EmulatedDevice
{
public:
    enum class ReplyFault { None, NoReply, Short };
    enum class TimeoutMode { Immediate, RealWait };
    // What the device is running. The erase command restarts it into its bootloader,
    // the jump command back into its application; each restart drops it off the bus
    // (open handles die) and it comes back after re-enumerating.
    enum class Mode { Application, Bootloader };

    struct Exchange
    {
        enum Kind { Open, Close, SetNonblocking, Write, Read, Init, Exit, Enumerate };
        Kind kind = Init;
        // Write: the bytes handed to hid_write. Read: the bytes it delivered.
        QByteArray bytes;
        // Write/Read: requested length. SetNonblocking: the nonblock argument.
        int length = 0;
        int timeoutMs = 0;
        // Bytes written/read, 0 or -1; Open: 0 or -1; Close: 0 or -1 (misuse);
        // Enumerate: the number of devices listed.
        int result = 0;
        qint64 atMicros = 0;   // when the call returned, since reset
        int handleId = -1;     // -1: null, foreign or pre-reset handle
        quint16 vendorId = 0;  // Open, Enumerate (0: any)
        quint16 productId = 0; // Open, Enumerate (0: any)
    };

    using WriteHook = std::function<void(int writeIndex, const QByteArray &report)>;
    using ReadHook = std::function<void(int readIndex)>;

    static constexpr int BusSize = 16;

    // The first device on the bus.
    static EmulatedDevice &instance();
    // Device 0 (instance()) to BusSize - 1; any other index gives the first.
    static EmulatedDevice &onBus(int index);
    // How many devices a reset plugs in: TESSEL_EMULATED_DEVICES clamped to
    // 1..BusSize, 1 when unset or not a number.
    static int pluggedAfterReset();
    // The device a handle was opened on (a stale one included), or null for a
    // handle no device knows.
    static EmulatedDevice *owner(const hid_device *handle);
    ~EmulatedDevice();
    EmulatedDevice(const EmulatedDevice &) = delete;
    EmulatedDevice &operator=(const EmulatedDevice &) = delete;

    // A fresh, present, fault-free device with the default profile; empty record and
    // kept data; hooks and latency off; earlier handles no longer known to the device.
    void reset();

    // The hidapi path the system lists this device under: "emulated:N" after
    // each reset.
    QByteArray path() const;
    // The USB port it sits in, "emulated-port:N": it stays across restarts.
    QByteArray usbPort() const;
    // At its next restart the device enumerates under this path instead, as a
    // system that hands out the lowest free node may do.
    void setPathAfterRestart(const QByteArray &path);
    // Listed by hid_enumerate: plugged in and not re-enumerating.
    bool isListed() const;

    DeviceProfile &profile();
    void setProfile(const DeviceProfile &profile);
    Mode mode() const;

    // --- faults -------------------------------------------------------------------
    // Unplugging kills every open handle (writes and reads fail until it is closed);
    // plugging back in does not revive them.
    void setPresent(bool present);
    bool isPresent() const;
    // The next n hid_open calls fail, whatever they ask for.
    void failNextOpens(int n);
    // The device stays on the bus, and hid_enumerate lists it, but every hid_open
    // fails: a user without permission on its node.
    void setAccessDenied(bool denied);
    // How the device answers requests for an application item (0x04..0x0D): not at
    // all, or with only the first shortLength bytes of its report.
    void setReplyFault(quint8 item, ReplyFault fault, int shortLength = 60);
    // Indexes count every hid_write call since reset, from 0; such a write returns
    // -1 and the device never sees the report.
    void failWritesAt(const QSet<int> &writeIndexes);
    // The device is pulled out once k writes have reached it since reset.
    void unplugAfterWrites(int k);
    void plugBackIn();
    // Time each hid_write on a live handle takes (failing ones too); back-to-back
    // writes keep to a common schedule, so N of them take N times this.
    void setLatencyMicros(int us);
    // With no answer waiting, a blocking read returns 0 at once (Immediate) or after
    // its full time-out (RealWait). Nonblocking handles never wait.
    void setTimeoutMode(TimeoutMode mode);
    // The hid_write (kind Write) or hid_read_timeout (kind Read) with this index
    // since reset does not return: a stalled endpoint. It stays stuck, whatever
    // its time-out, until releaseStall(), an unplug or a reset; then it goes on
    // as it would have (released), or fails (unplugged, reset).
    void stallCallAt(Exchange::Kind kind, int index);
    void releaseStall();
    // Calls stuck in a stall right now.
    int stalledCalls() const;
    // Called from within each hid_write, after the device has taken the report.
    void setWriteHook(WriteHook hook);
    // Called from within each hid_read_timeout, before it looks for a reply.
    void setReadHook(ReadHook hook);

    // --- bootloader -----------------------------------------------------------------
    // In its bootloader the device answers no application query. It stays there,
    // across unplugging and plugging back in, until the jump command starts the
    // application; an upgrade stopped half way therefore leaves it there. After
    // the jump the application reports the version the written image names by
    // the emulator's test convention (Bootloader::versionIn), if it names one.
    //
    // The application area of the flash: the factory image until an erase, then the
    // data of the chunks the bootloader took, in order.
    QByteArray flashImage() const;
    // After the next erase the device does not come back as its bootloader, until it
    // is plugged back in.
    void stayAwayAfterErase(bool away);
    // Restarts the device into its bootloader now, as if an upgrade had stopped half
    // way: open handles die, the flash is empty, it can be opened at once.
    void enterBootloader();

    // --- record -------------------------------------------------------------------
    // A copy, so that a test may read it while another thread makes calls.
    QVector<Exchange> record() const;
    // Every report handed to hid_write, whether or not it reached the device.
    QVector<QByteArray> writtenReports() const;
    int count(Exchange::Kind kind) const;
    void clearRecord();

    // Handles opened since reset and not closed yet (dead ones included).
    int openHandleCount() const;
    // Calls with a null, closed, foreign or pre-reset handle.
    int misuseCount() const;

    // --- what the device kept -----------------------------------------------------
    // Payloads (61 bytes as received) of settings writes to item 0x08 or 0x09.
    QVector<QByteArray> settingsBlocks(quint8 item) const;
    // Whole reports of image transfers (items 0x0C, 0x0D), in order.
    QVector<QByteArray> imageReports() const;
    // Whole reports with bootloader command codes 0x00..0x04, in order.
    QVector<QByteArray> bootloaderReports() const;

    // --- what the screen shows ------------------------------------------------------
    // Last complete picture uploaded to the slot (Format_RGB32; a one-bit picture is
    // white where lit, black elsewhere); null if none.
    QImage slotPicture(int slot) const;
    // Last complete boot animation, 25 frames of 240x40; empty if none.
    QVector<QImage> bootAnimationFrames() const;
    // Transfers that reached their end report since reset.
    int completedImageTransfers() const;
    // Called (lock not held, from the writing thread) after each completed transfer;
    // reset() turns it off like the hooks.
    void setScreenListener(std::function<void()> listener);

    // --- hidapi entry points, called only by the hidapi shim ----------------------
    int hidInit();
    int hidExit();
    hid_device *hidOpen(unsigned short vendor, unsigned short product);
    // hid_open with a serial-number filter: only a device with that serial is opened.
    bool hasSerialNumber(const wchar_t *serial) const;
    int hidSetNonblocking(hid_device *handle, int nonblock);
    int hidWrite(hid_device *handle, const unsigned char *data, size_t length);
    int hidReadTimeout(hid_device *handle, unsigned char *data, size_t length, int milliseconds);
    void hidClose(hid_device *handle);
    // One entry for the device while it is on the bus and matches the filter
    // (0 matches any id); freed with hidFreeEnumeration.
    hid_device_info *hidEnumerate(unsigned short vendor, unsigned short product);
    static void hidFreeEnumeration(hid_device_info *devices);

private:
    using Clock = std::chrono::steady_clock;
    using Lock = std::unique_lock<std::mutex>;

    struct FaultSetting
    {
        ReplyFault fault;
        int shortLength;
    };

    explicit EmulatedDevice(int busIndex);

    void resetLocked();
    void applyFaultsFromEnvironmentLocked();
    bool knowsHandle(const hid_device *handle) const;
    hid_device *liveHandle(const hid_device *handle) const;   // null if unknown or closed
    int handleIdOf(const hid_device *handle) const;
    void recordLocked(Exchange exchange);
    int misuseLocked(Exchange exchange);
    void unplugLocked();
    bool onBusLocked() const;
    void waitForLatency(Lock &lock);
    void stallIfAsked(Lock &lock, Exchange::Kind kind, int index);

    void takeReport(const QByteArray &report);
    void handleApplicationCommand(const QByteArray &report);
    void keepApplicationWrite(const QByteArray &report, const QByteArray &payload);
    void storeCurve(const QByteArray &payload);
    void handleBootloaderCommand(const QByteArray &report);
    void sendReply(quint8 item, QByteArray reply);
    void scheduleRestartLocked(Mode into);
    void advanceLocked();
    void restartLocked(Mode into, Clock::time_point at);

    mutable std::mutex m_mutex;
    std::condition_variable m_replyOrUnplug;

    const int m_busIndex;
    QByteArray m_path;
    QByteArray m_pathAfterRestart;
    DeviceProfile m_profile;
    Mode m_mode = Mode::Application;
    bool m_present = true;
    int m_pendingOpenFailures = 0;
    bool m_accessDenied = false;
    QMap<quint8, FaultSetting> m_replyFaults;
    QSet<int> m_failingWrites;
    std::optional<int> m_failWritesFrom;   // from the environment: every write from this index on fails
    std::optional<int> m_unplugAfterWrites;
    std::chrono::microseconds m_latency{0};
    Clock::time_point m_latencyDeadline;   // when the link is free again
    Clock::time_point m_lastWriteReturn;
    TimeoutMode m_timeoutMode = TimeoutMode::Immediate;
    struct Stall
    {
        Exchange::Kind kind;
        int index;
    };
    std::optional<Stall> m_stall;
    int m_stalledCalls = 0;
    WriteHook m_writeHook;
    ReadHook m_readHook;

    Clock::time_point m_epoch;
    QVector<Exchange> m_record;
    int m_writeCalls = 0;
    int m_readCalls = 0;
    int m_deliveredWrites = 0;
    int m_misuses = 0;

    // Handles of the current session, in opening order; closed ones stay until reset.
    std::vector<std::unique_ptr<hid_device>> m_handles;
    // Handles from before a reset are never freed, so a stale pointer held by the
    // program can neither crash nor alias a newer handle.
    std::vector<std::unique_ptr<hid_device>> m_retiredHandles;
    int m_nextHandleId = 1;

    QMap<quint8, QVector<QByteArray>> m_settingsBlocks;
    QVector<QByteArray> m_imageReports;
    QVector<QByteArray> m_bootloaderReports;
    ImageReceiver m_imageReceiver;
    std::function<void()> m_screenListener;
    bool m_screenChanged = false;   // a transfer completed during the current write

    // A restart the device has committed to; it leaves the bus when it falls due.
    struct Restart
    {
        Clock::time_point at;
        Mode into;
    };
    std::optional<Restart> m_restart;
    Clock::time_point m_backOnBusAt;   // re-enumerating until then
    bool m_stayAwayAfterErase = false;
    Bootloader m_bootloader;
};

} // namespace emu
