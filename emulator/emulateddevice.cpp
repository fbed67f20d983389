#include "emulateddevice.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <thread>
#include <utility>

// hidapi leaves the handle type to the backend; here it is the host's view of one
// open connection to the emulated device.
struct hid_device_
{
    int id = 0;
    bool closed = false;
    bool dead = false;          // the device went away while this handle was open
    bool nonblocking = false;
    std::optional<QByteArray> pendingReply;   // input report not yet read
};

namespace emu {

namespace {

// hidraw refuses reports longer than this.
constexpr size_t maxHidBuffer = 4096;

// After an erase or a jump the device finishes the report in hand, then resets and
// is gone from the bus until the host has enumerated it again.
constexpr std::chrono::milliseconds restartDelay(20);
constexpr std::chrono::milliseconds reenumerationTime(200);

quint8 byteAt(const QByteArray &bytes, int index)
{
    return index < bytes.size() ? quint8(bytes.at(index)) : 0;
}

} // namespace

EmulatedDevice &EmulatedDevice::instance()
{
    return onBus(0);
}

EmulatedDevice &EmulatedDevice::onBus(int index)
{
    // Made together at the first use; never destroyed, so that a device thread
    // left behind at the program's end still finds its device.
    static EmulatedDevice *const *const bus = [] {
        static EmulatedDevice *devices[BusSize];
        for (int i = 0; i < BusSize; ++i)
            devices[i] = new EmulatedDevice(i);
        return devices;
    }();
    return *bus[index >= 0 && index < BusSize ? index : 0];
}

int EmulatedDevice::pluggedAfterReset()
{
    bool number = false;
    const int asked = qEnvironmentVariable("TESSEL_EMULATED_DEVICES").trimmed().toInt(&number);
    return number ? qBound(1, asked, int(BusSize)) : 1;
}

EmulatedDevice *EmulatedDevice::owner(const hid_device *handle)
{
    for (int index = 0; index < BusSize; ++index) {
        if (onBus(index).knowsHandle(handle))
            return &onBus(index);
    }
    return nullptr;
}

EmulatedDevice::EmulatedDevice(int busIndex) : m_busIndex(busIndex)
{
    resetLocked();
}

EmulatedDevice::~EmulatedDevice() = default;

void EmulatedDevice::reset()
{
    Lock lock(m_mutex);
    resetLocked();
}

void EmulatedDevice::resetLocked()
{
    m_profile = DeviceProfile::defaultProfile();
    if (m_busIndex > 0) {
        // A second unit of the same model: its own serial number.
        const QByteArray number = QByteArray::number(m_busIndex + 1).rightJustified(6, '0');
        m_profile.identification = "TSL-VM01-" + number;
        m_profile.serialNumber = QString::fromLatin1(m_profile.identification);
    }
    m_mode = Mode::Application;
    m_present = m_busIndex < pluggedAfterReset();
    m_pendingOpenFailures = 0;
    m_accessDenied = false;
    m_replyFaults.clear();
    m_failingWrites.clear();
    m_failWritesFrom.reset();
    m_unplugAfterWrites.reset();
    m_latency = std::chrono::microseconds(0);
    m_latencyDeadline = Clock::time_point();
    m_lastWriteReturn = Clock::time_point();
    m_timeoutMode = TimeoutMode::Immediate;
    m_writeHook = nullptr;
    m_readHook = nullptr;
    m_stall.reset();

    m_epoch = Clock::now();
    m_record.clear();
    m_writeCalls = 0;
    m_readCalls = 0;
    m_deliveredWrites = 0;
    m_misuses = 0;

    for (auto &handle : m_handles) {
        handle->closed = true;
        handle->dead = true;
        handle->pendingReply.reset();
        m_retiredHandles.push_back(std::move(handle));
    }
    m_handles.clear();
    m_nextHandleId = 1;

    m_settingsBlocks.clear();
    m_imageReports.clear();
    m_bootloaderReports.clear();
    m_imageReceiver.clear();
    m_screenListener = nullptr;
    m_screenChanged = false;

    m_restart.reset();
    m_backOnBusAt = Clock::time_point();
    m_stayAwayAfterErase = false;
    m_bootloader = Bootloader();
    m_path = "emulated:" + QByteArray::number(m_busIndex);
    m_pathAfterRestart.clear();
    applyFaultsFromEnvironmentLocked();

    m_replyOrUnplug.notify_all();   // a reader still waiting on an old handle gives up
}

void EmulatedDevice::applyFaultsFromEnvironmentLocked()
{
    const QString faults = qEnvironmentVariable("TESSEL_EMULATED_FAULTS");
    for (const QString &entry : faults.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString device = entry.section(QLatin1Char(':'), 0, 0).trimmed();
        const QString fault = entry.section(QLatin1Char(':'), 1).trimmed();
        if (device != QLatin1String("*") && device != QString::number(m_busIndex))
            continue;
        const QString name = fault.section(QLatin1Char('='), 0, 0);
        bool number = false;
        const int value = fault.section(QLatin1Char('='), 1).toInt(&number);
        if (name == QLatin1String("silent")) {
            for (quint8 item = 0x04; item <= 0x0D; ++item)
                m_replyFaults.insert(item, FaultSetting{ReplyFault::NoReply, 0});
            m_timeoutMode = TimeoutMode::RealWait;   // the host waits out each time-out
        } else if (name == QLatin1String("unplug-after") && number && value > 0) {
            m_unplugAfterWrites = value;
        } else if (name == QLatin1String("fail-write") && number && value >= 0) {
            // A link that breaks for good: this write and every later one fails.
            m_failWritesFrom = value;
        } else if (name == QLatin1String("latency") && number) {
            m_latency = std::chrono::microseconds(qMax(value, 0));
        }
    }
}

QByteArray EmulatedDevice::path() const
{
    Lock lock(m_mutex);
    // A restart that is due has happened, whoever asks: time passing is no
    // change of the caller's.
    const_cast<EmulatedDevice *>(this)->advanceLocked();
    return m_path;
}

QByteArray EmulatedDevice::usbPort() const
{
    return "emulated-port:" + QByteArray::number(m_busIndex);
}

void EmulatedDevice::setPathAfterRestart(const QByteArray &path)
{
    Lock lock(m_mutex);
    m_pathAfterRestart = path;
}

bool EmulatedDevice::isListed() const
{
    Lock lock(m_mutex);
    const_cast<EmulatedDevice *>(this)->advanceLocked();
    const Clock::time_point now = Clock::now();
    if (m_restart && now >= m_restart->at)
        return false;   // restarting: off the bus until it has enumerated again
    return m_present && now >= m_backOnBusAt;
}

bool EmulatedDevice::hasSerialNumber(const wchar_t *serial) const
{
    Lock lock(m_mutex);
    return serial && m_profile.serialNumber == QString::fromWCharArray(serial);
}

bool EmulatedDevice::knowsHandle(const hid_device *handle) const
{
    Lock lock(m_mutex);
    const auto same = [handle](const auto &known) { return known.get() == handle; };
    return handle
           && (std::any_of(m_handles.cbegin(), m_handles.cend(), same)
               || std::any_of(m_retiredHandles.cbegin(), m_retiredHandles.cend(), same));
}

DeviceProfile &EmulatedDevice::profile()
{
    return m_profile;
}

void EmulatedDevice::setProfile(const DeviceProfile &profile)
{
    Lock lock(m_mutex);
    m_profile = profile;
}

EmulatedDevice::Mode EmulatedDevice::mode() const
{
    Lock lock(m_mutex);
    if (m_restart && Clock::now() >= m_restart->at)
        return m_restart->into;   // restarting; the hidapi calls carry it out
    return m_mode;
}

// --- faults -------------------------------------------------------------------------

void EmulatedDevice::setPresent(bool present)
{
    Lock lock(m_mutex);
    if (present)
        m_present = true;
    else
        unplugLocked();
    if (present)
        m_backOnBusAt = Clock::time_point();   // back from wherever it stayed away
}

bool EmulatedDevice::isPresent() const
{
    Lock lock(m_mutex);
    return m_present;
}

void EmulatedDevice::failNextOpens(int n)
{
    Lock lock(m_mutex);
    m_pendingOpenFailures = qMax(n, 0);
}

void EmulatedDevice::setAccessDenied(bool denied)
{
    Lock lock(m_mutex);
    m_accessDenied = denied;
}

void EmulatedDevice::setReplyFault(quint8 item, ReplyFault fault, int shortLength)
{
    Lock lock(m_mutex);
    if (fault == ReplyFault::None)
        m_replyFaults.remove(item);
    else
        m_replyFaults.insert(item, FaultSetting{fault, qBound(0, shortLength, ReportSize)});
}

void EmulatedDevice::failWritesAt(const QSet<int> &writeIndexes)
{
    Lock lock(m_mutex);
    m_failingWrites = writeIndexes;
}

void EmulatedDevice::unplugAfterWrites(int k)
{
    Lock lock(m_mutex);
    if (k <= m_deliveredWrites) {
        unplugLocked();
        m_unplugAfterWrites.reset();
    } else {
        m_unplugAfterWrites = k;
    }
}

void EmulatedDevice::plugBackIn()
{
    Lock lock(m_mutex);
    m_unplugAfterWrites.reset();
    m_present = true;
    m_backOnBusAt = Clock::time_point();
}

void EmulatedDevice::setLatencyMicros(int us)
{
    Lock lock(m_mutex);
    m_latency = std::chrono::microseconds(qMax(us, 0));
}

void EmulatedDevice::setTimeoutMode(TimeoutMode mode)
{
    Lock lock(m_mutex);
    m_timeoutMode = mode;
}

void EmulatedDevice::stallCallAt(Exchange::Kind kind, int index)
{
    Lock lock(m_mutex);
    m_stall = Stall{kind, index};
}

void EmulatedDevice::releaseStall()
{
    Lock lock(m_mutex);
    m_stall.reset();
    m_replyOrUnplug.notify_all();
}

int EmulatedDevice::stalledCalls() const
{
    Lock lock(m_mutex);
    return m_stalledCalls;
}

void EmulatedDevice::stallIfAsked(Lock &lock, Exchange::Kind kind, int index)
{
    const auto stuck = [&] { return m_stall && m_stall->kind == kind && m_stall->index == index; };
    if (!stuck())
        return;
    ++m_stalledCalls;
    m_replyOrUnplug.wait(lock, [&] { return !stuck(); });
    --m_stalledCalls;
}

void EmulatedDevice::setWriteHook(WriteHook hook)
{
    Lock lock(m_mutex);
    m_writeHook = std::move(hook);
}

void EmulatedDevice::setReadHook(ReadHook hook)
{
    Lock lock(m_mutex);
    m_readHook = std::move(hook);
}

void EmulatedDevice::unplugLocked()
{
    m_present = false;
    m_stall.reset();   // a stuck call returns, failing, as hidraw's does on unplug
    for (auto &handle : m_handles) {
        if (!handle->closed) {
            handle->dead = true;
            handle->pendingReply.reset();
        }
    }
    m_replyOrUnplug.notify_all();
}

// Plugged in and not re-enumerating after a restart.
bool EmulatedDevice::onBusLocked() const
{
    return m_present && Clock::now() >= m_backOnBusAt;
}

// --- bootloader ------------------------------------------------------------------------

QByteArray EmulatedDevice::flashImage() const
{
    Lock lock(m_mutex);
    if (m_restart && m_restart->into == Mode::Bootloader && Clock::now() >= m_restart->at)
        return QByteArray();   // restarting into the bootloader, which erases first
    return m_bootloader.flashImage();
}

void EmulatedDevice::stayAwayAfterErase(bool away)
{
    Lock lock(m_mutex);
    m_stayAwayAfterErase = away;
}

void EmulatedDevice::enterBootloader()
{
    Lock lock(m_mutex);
    m_restart.reset();
    restartLocked(Mode::Bootloader, Clock::now());
    m_backOnBusAt = Clock::time_point();
}

void EmulatedDevice::scheduleRestartLocked(Mode into)
{
    if (!m_restart)
        m_restart = Restart{Clock::now() + restartDelay, into};
}

void EmulatedDevice::advanceLocked()
{
    if (!m_restart || Clock::now() < m_restart->at)
        return;
    const Restart restart = *m_restart;
    m_restart.reset();
    restartLocked(restart.into, restart.at);
}

void EmulatedDevice::restartLocked(Mode into, Clock::time_point at)
{
    m_mode = into;
    if (into == Mode::Bootloader)
        m_bootloader.erase();
    // Gone from the bus: the host's handles on the old enumeration are dead.
    for (auto &handle : m_handles) {
        if (!handle->closed) {
            handle->dead = true;
            handle->pendingReply.reset();
        }
    }
    if (!m_pathAfterRestart.isEmpty())
        m_path = std::exchange(m_pathAfterRestart, QByteArray());
    m_backOnBusAt = into == Mode::Bootloader && m_stayAwayAfterErase ? Clock::time_point::max()
                                                                      : at + reenumerationTime;
    m_replyOrUnplug.notify_all();
}

// --- record ---------------------------------------------------------------------------

QVector<EmulatedDevice::Exchange> EmulatedDevice::record() const
{
    Lock lock(m_mutex);
    return m_record;
}

QVector<QByteArray> EmulatedDevice::writtenReports() const
{
    Lock lock(m_mutex);
    QVector<QByteArray> reports;
    for (const Exchange &exchange : m_record) {
        if (exchange.kind == Exchange::Write)
            reports.append(exchange.bytes);
    }
    return reports;
}

int EmulatedDevice::count(Exchange::Kind kind) const
{
    Lock lock(m_mutex);
    return int(std::count_if(m_record.cbegin(), m_record.cend(),
                             [kind](const Exchange &exchange) { return exchange.kind == kind; }));
}

void EmulatedDevice::clearRecord()
{
    Lock lock(m_mutex);
    m_record.clear();
}

int EmulatedDevice::openHandleCount() const
{
    Lock lock(m_mutex);
    return int(std::count_if(m_handles.cbegin(), m_handles.cend(),
                             [](const auto &handle) { return !handle->closed; }));
}

int EmulatedDevice::misuseCount() const
{
    Lock lock(m_mutex);
    return m_misuses;
}

void EmulatedDevice::recordLocked(Exchange exchange)
{
    exchange.atMicros =
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - m_epoch).count();
    m_record.append(std::move(exchange));
}

int EmulatedDevice::misuseLocked(Exchange exchange)
{
    ++m_misuses;
    exchange.result = -1;
    recordLocked(std::move(exchange));
    return -1;
}

hid_device *EmulatedDevice::liveHandle(const hid_device *handle) const
{
    // Compare pointers only: a foreign or stale pointer is never dereferenced.
    for (const auto &known : m_handles) {
        if (known.get() == handle)
            return known->closed ? nullptr : known.get();
    }
    return nullptr;
}

int EmulatedDevice::handleIdOf(const hid_device *handle) const
{
    for (const auto &known : m_handles) {
        if (known.get() == handle)
            return known->id;
    }
    return -1;
}

// --- kept data --------------------------------------------------------------------------

QVector<QByteArray> EmulatedDevice::settingsBlocks(quint8 item) const
{
    Lock lock(m_mutex);
    return m_settingsBlocks.value(item);
}

QVector<QByteArray> EmulatedDevice::imageReports() const
{
    Lock lock(m_mutex);
    return m_imageReports;
}

QVector<QByteArray> EmulatedDevice::bootloaderReports() const
{
    Lock lock(m_mutex);
    return m_bootloaderReports;
}

QImage EmulatedDevice::slotPicture(int slot) const
{
    Lock lock(m_mutex);
    return m_imageReceiver.slotPicture(slot);
}

QVector<QImage> EmulatedDevice::bootAnimationFrames() const
{
    Lock lock(m_mutex);
    return m_imageReceiver.bootAnimationFrames();
}

int EmulatedDevice::completedImageTransfers() const
{
    Lock lock(m_mutex);
    return m_imageReceiver.completedTransfers();
}

void EmulatedDevice::setScreenListener(std::function<void()> listener)
{
    Lock lock(m_mutex);
    m_screenListener = std::move(listener);
}

// --- hidapi entry points ------------------------------------------------------------------

int EmulatedDevice::hidInit()
{
    Lock lock(m_mutex);
    Exchange exchange;
    exchange.kind = Exchange::Init;
    recordLocked(exchange);
    return 0;
}

int EmulatedDevice::hidExit()
{
    Lock lock(m_mutex);
    Exchange exchange;
    exchange.kind = Exchange::Exit;
    recordLocked(exchange);
    return 0;
}

hid_device *EmulatedDevice::hidOpen(unsigned short vendor, unsigned short product)
{
    Lock lock(m_mutex);
    advanceLocked();
    Exchange exchange;
    exchange.kind = Exchange::Open;
    exchange.vendorId = vendor;
    exchange.productId = product;

    hid_device *handle = nullptr;
    if (m_pendingOpenFailures > 0) {
        --m_pendingOpenFailures;   // e.g. the system still enumerating the device
    } else if (onBusLocked() && !m_accessDenied && vendor == VendorId && product == ProductId) {
        m_handles.push_back(std::make_unique<hid_device>());
        handle = m_handles.back().get();
        handle->id = m_nextHandleId++;
    }
    exchange.result = handle ? 0 : -1;
    exchange.handleId = handle ? handle->id : -1;
    recordLocked(exchange);
    return handle;
}

int EmulatedDevice::hidSetNonblocking(hid_device *handle, int nonblock)
{
    Lock lock(m_mutex);
    advanceLocked();
    Exchange exchange;
    exchange.kind = Exchange::SetNonblocking;
    exchange.length = nonblock;
    exchange.handleId = handleIdOf(handle);

    hid_device *live = liveHandle(handle);
    if (!live)
        return misuseLocked(exchange);
    // Only the host side changes, so this works on a dead handle as well.
    live->nonblocking = nonblock != 0;
    recordLocked(exchange);
    return 0;
}

int EmulatedDevice::hidWrite(hid_device *handle, const unsigned char *data, size_t length)
{
    Lock lock(m_mutex);
    advanceLocked();
    const int writeIndex = m_writeCalls++;
    stallIfAsked(lock, Exchange::Write, writeIndex);
    Exchange exchange;
    exchange.kind = Exchange::Write;
    exchange.length = int(std::min(length, size_t(INT_MAX)));
    exchange.handleId = handleIdOf(handle);
    if (data) {
        exchange.bytes = QByteArray(reinterpret_cast<const char *>(data),
                                    int(std::min(length, maxHidBuffer)));
    }

    int result = -1;
    hid_device *live = liveHandle(handle);
    if (!live) {
        misuseLocked(exchange);
    } else {
        // Only writes that keep to the link's schedule may correct it afterwards; a
        // write made while latency was off (or on a dead handle) has no deadline to be
        // late for.
        const bool scheduled = !live->dead && m_latency.count() > 0;
        if (scheduled)
            waitForLatency(lock);
        advanceLocked();
        // The device may have gone, or the handle been closed, during the transfer.
        if (!live->dead && !live->closed && data && length > 0 && length <= maxHidBuffer
            && !m_failingWrites.contains(writeIndex) && !(m_failWritesFrom && writeIndex >= *m_failWritesFrom)) {
            result = int(length);
            ++m_deliveredWrites;
            // The endpoint takes one 64-byte report: short ones arrive zero-padded.
            takeReport(exchange.bytes.left(ReportSize).leftJustified(ReportSize, '\0'));
            if (m_unplugAfterWrites && m_deliveredWrites >= *m_unplugAfterWrites) {
                m_unplugAfterWrites.reset();
                unplugLocked();
            }
        }
        exchange.result = result;
        recordLocked(exchange);
        if (scheduled)
            m_lastWriteReturn = Clock::now();
    }

    const WriteHook hook = m_writeHook;
    const QByteArray report = exchange.bytes;
    const std::function<void()> screenListener = m_screenChanged ? m_screenListener : nullptr;
    m_screenChanged = false;
    lock.unlock();
    if (hook)
        hook(writeIndex, report);
    if (screenListener)
        screenListener();
    return result;
}

int EmulatedDevice::hidReadTimeout(hid_device *handle, unsigned char *data, size_t length,
                                   int milliseconds)
{
    Lock lock(m_mutex);
    advanceLocked();
    const int readIndex = m_readCalls++;
    if (const ReadHook hook = m_readHook) {
        lock.unlock();
        hook(readIndex);
        lock.lock();
    }
    stallIfAsked(lock, Exchange::Read, readIndex);

    Exchange exchange;
    exchange.kind = Exchange::Read;
    exchange.length = int(std::min(length, size_t(INT_MAX)));
    exchange.timeoutMs = milliseconds;
    exchange.handleId = handleIdOf(handle);

    hid_device *live = liveHandle(handle);
    if (!live)
        return misuseLocked(exchange);

    const auto settled = [live] { return live->pendingReply || live->dead || live->closed; };
    const bool mayWait = !live->nonblocking && m_timeoutMode == TimeoutMode::RealWait
                         && milliseconds != 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(qMax(milliseconds, 0));
    if (mayWait && !settled() && m_restart) {
        // The device restarts while the host waits for it: the handle dies then.
        const Clock::time_point restartAt = m_restart->at;
        m_replyOrUnplug.wait_until(lock, milliseconds < 0 ? restartAt : std::min(restartAt, deadline),
                                   settled);
        advanceLocked();
    }
    if (mayWait && !settled()) {
        if (milliseconds < 0)
            m_replyOrUnplug.wait(lock, settled);   // hidapi's "block until a report comes"
        else
            m_replyOrUnplug.wait_until(lock, deadline, settled);
    }

    int result = 0;
    if (live->dead || live->closed || !data) {
        result = -1;
    } else if (live->pendingReply) {
        // hidapi hands over the report without a report-id byte, cut to the buffer.
        const QByteArray reply = *live->pendingReply;
        live->pendingReply.reset();
        result = qMin(exchange.length, reply.size());
        std::memcpy(data, reply.constData(), size_t(result));
        exchange.bytes = reply.left(result);
    }
    exchange.result = result;
    recordLocked(exchange);
    return result;
}

void EmulatedDevice::hidClose(hid_device *handle)
{
    Lock lock(m_mutex);
    advanceLocked();
    Exchange exchange;
    exchange.kind = Exchange::Close;
    exchange.handleId = handleIdOf(handle);

    hid_device *live = liveHandle(handle);
    if (!live) {
        misuseLocked(exchange);
        return;
    }
    live->closed = true;
    live->pendingReply.reset();
    recordLocked(exchange);
    m_replyOrUnplug.notify_all();
}

namespace {

// A string for hid_free_enumeration to free; null for an empty one, as for a
// descriptor the device does not have.
wchar_t *wideText(const QString &text)
{
    if (text.isEmpty())
        return nullptr;
    auto *copy = static_cast<wchar_t *>(std::calloc(size_t(text.size()) + 1, sizeof(wchar_t)));
    if (copy)
        text.toWCharArray(copy);
    return copy;
}

} // namespace

hid_device_info *EmulatedDevice::hidEnumerate(unsigned short vendor, unsigned short product)
{
    Lock lock(m_mutex);
    advanceLocked();
    Exchange exchange;
    exchange.kind = Exchange::Enumerate;
    exchange.vendorId = vendor;
    exchange.productId = product;

    hid_device_info *listed = nullptr;
    // Off the bus while restarting, until it has enumerated again.
    const bool restarting = m_restart && Clock::now() >= m_restart->at;
    if (onBusLocked() && !restarting && (vendor == 0 || vendor == VendorId) && (product == 0 || product == ProductId)) {
        // As the hidraw backend describes it: one vendor-defined interface, with
        // the strings of the device's USB descriptors.
        listed = static_cast<hid_device_info *>(std::calloc(1, sizeof(hid_device_info)));
        if (listed) {
            listed->path = strdup(m_path.constData());
            listed->vendor_id = VendorId;
            listed->product_id = ProductId;
            listed->serial_number = wideText(m_profile.serialNumber);
            listed->release_number = 0x0100;
            listed->manufacturer_string = wideText(m_profile.manufacturerString);
            listed->product_string = wideText(m_profile.productString);
            listed->usage_page = 0xFF00;
            listed->usage = 0x01;
            listed->interface_number = 0;
#if defined(HID_API_VERSION) && HID_API_VERSION >= HID_API_MAKE_VERSION(0, 13, 0)
            listed->bus_type = HID_API_BUS_USB;
#endif
        }
    }
    exchange.result = listed ? 1 : 0;
    recordLocked(exchange);
    return listed;
}

void EmulatedDevice::hidFreeEnumeration(hid_device_info *devices)
{
    while (devices) {
        hid_device_info *next = devices->next;
        std::free(devices->path);
        std::free(devices->serial_number);
        std::free(devices->manufacturer_string);
        std::free(devices->product_string);
        std::free(devices);
        devices = next;
    }
}

// --- the device's side ---------------------------------------------------------------------

void EmulatedDevice::waitForLatency(Lock &lock)
{
    if (m_latency.count() <= 0)
        return;
    // The link is busy for one period per report: a write waits for the one before
    // it, then takes its own period. How late the previous write returned (this
    // host oversleeping, the emulator's own bookkeeping) is not the device's doing,
    // so it is taken off again; otherwise N reports would take N periods plus N
    // such delays. Time the program spent between writes still counts.
    const Clock::duration lateness =
        std::max(Clock::duration::zero(), m_lastWriteReturn - m_latencyDeadline);
    m_latencyDeadline = std::max(m_latencyDeadline, Clock::now() - lateness) + m_latency;
    const Clock::time_point deadline = m_latencyDeadline;
    lock.unlock();
    std::this_thread::sleep_until(deadline);
    lock.lock();
}

void EmulatedDevice::takeReport(const QByteArray &report)
{
    // The device answers only its latest request; an answer nobody read is gone.
    for (auto &handle : m_handles)
        handle->pendingReply.reset();

    if (byteAt(report, 0) != 0)
        return;   // a numbered report: this device only knows unnumbered ones

    const quint8 code = byteAt(report, 1);
    switch (m_mode) {
    case Mode::Application:
        if (code == CmdApplication)
            handleApplicationCommand(report);
        else if (code <= lastBootloaderCommand)
            handleBootloaderCommand(report);
        break;
    case Mode::Bootloader:
        // The bootloader knows only its own commands and answers none of them.
        if (code <= lastBootloaderCommand)
            handleBootloaderCommand(report);
        break;
    }
}

void EmulatedDevice::handleApplicationCommand(const QByteArray &report)
{
    const QByteArray payload = report.mid(ReportHeaderSize);
    if (byteAt(payload, 0) == OpWrite)
        keepApplicationWrite(report, payload);

    const QByteArray reply = applicationReply(m_profile, payload);
    if (!reply.isEmpty())
        sendReply(byteAt(payload, 1), reply);
}

void EmulatedDevice::keepApplicationWrite(const QByteArray &report, const QByteArray &payload)
{
    switch (byteAt(payload, 1)) {
    case ItemSettingsBlock1:
    case ItemSettingsBlock2:
        m_settingsBlocks[byteAt(payload, 1)].append(payload);
        break;
    case ItemPowerCurve:
        storeCurve(payload);
        break;
    case ItemColourImage:
    case ItemMonoImage:
        m_imageReports.append(report);
        if (m_imageReceiver.take(report, m_profile))
            m_screenChanged = true;
        break;
    default:
        break;
    }
}

void EmulatedDevice::storeCurve(const QByteArray &payload)
{
    // Byte count (curve number + 20 data bytes), curve number, ten big-endian points.
    if (byteAt(payload, 2) != 1 + 2 * CurvePoints)
        return;
    const int index = byteAt(payload, 3) - FirstCurveNumber;
    if (index < 0 || index >= CurveCount)
        return;
    auto &curve = m_profile.curves[size_t(index)];
    for (int j = 0; j < CurvePoints; ++j)
        curve[size_t(j)] = quint16(byteAt(payload, 4 + 2 * j) << 8 | byteAt(payload, 5 + 2 * j));
}

void EmulatedDevice::handleBootloaderCommand(const QByteArray &report)
{
    m_bootloaderReports.append(report);
    if (m_restart)
        return;   // already on its way off the bus
    // The application takes only the erase: it restarts into the bootloader.
    if (m_mode == Mode::Application && Bootloader::isErase(report))
        scheduleRestartLocked(Mode::Bootloader);
    if (m_mode == Mode::Bootloader && m_bootloader.take(report) == Bootloader::Outcome::StartApplication) {
        // The emulator's own convention: the new image may name its version.
        const QByteArray version = Bootloader::versionIn(m_bootloader.flashImage());
        if (!version.isEmpty())
            m_profile.firmwareVersion = version;
        scheduleRestartLocked(Mode::Application);
    }
}

void EmulatedDevice::sendReply(quint8 item, QByteArray reply)
{
    const FaultSetting setting = m_replyFaults.value(item, FaultSetting{ReplyFault::None, 0});
    if (setting.fault == ReplyFault::NoReply)
        return;
    if (setting.fault == ReplyFault::Short)
        reply.truncate(setting.shortLength);

    // Like hidraw, every open connection receives its own copy of the input report.
    for (auto &handle : m_handles) {
        if (!handle->closed && !handle->dead)
            handle->pendingReply = reply;
    }
    m_replyOrUnplug.notify_all();
}

} // namespace emu
