#include "device/devicesession.h"

#include "device/calltimer.h"
#include "device/devicelink.h"
#include "device/jobsink.h"
#include "device/usbport.h"
#include "device/waiter.h"

#include <hidapi.h>

DeviceSession::DeviceSession(QObject *parent) : QObject(parent) {}

DeviceSession::~DeviceSession()
{
    close();
}

void DeviceSession::setDevicePath(const QByteArray &hidPath)
{
    path = hidPath;
    port = hidPath.isEmpty() ? QByteArray() : usbPortOf(hidPath);
}

bool DeviceSession::followUnit()
{
    if (path.isEmpty())
        return false;
    // Learnt at the first look that finds the unit, when it was away as its
    // path was given.
    if (port.isEmpty()) {
        port = usbPortOf(path);
        return false;
    }
    const QByteArray now = hidPathOnPort(port);
    if (now.isEmpty() || now == path)
        return false;
    path = now;
    return true;
}

bool DeviceSession::open()
{
    if (!device) {
        followUnit();
        device = path.isEmpty() ? openDeviceOnce() : openDeviceAtOnce(path);
    }
    return device != nullptr;
}

bool DeviceSession::openWithRetries(Waiter &waiter)
{
    if (device)
        return true;
    if (path.isEmpty()) {
        device = openDevice(Protocol::VendorId, Protocol::ProductId, waiter);
        return device != nullptr;
    }
    // As openDeviceAt, looking before each try for the port's unit: after an
    // erase it may come back on another path.
    for (int attempt = 0; attempt < Protocol::OpenAttempts && !device; ++attempt) {
        followUnit();
        device = openDeviceAtOnce(path);
        if (!device)
            waiter.waitMs(Protocol::OpenRetryPauseMs);
    }
    return device != nullptr;
}

bool DeviceSession::openFor(JobSink &sink, const QString &failureText, bool showReachability)
{
    const bool online = open();
    if (showReachability)
        sink.deviceReachable(online);
    if (!online)
        sink.log(failureText);
    return online;
}

void DeviceSession::beginExchange()
{
    ::beginExchange(record, device);
}

void DeviceSession::runOnDeviceThread(CallTimer *callTimer, const std::atomic<bool> *interruptFlag)
{
    calls = callTimer;
    interrupt = interruptFlag;
}

bool DeviceSession::interrupted()
{
    if (!interrupt || !interrupt->load(std::memory_order_acquire))
        return false;
    cutShort = true;
    return true;
}

bool DeviceSession::takeCutShort()
{
    const bool was = cutShort;
    cutShort = false;
    return was;
}

// An interrupted job writes nothing more: the report is not handed to
// hidapi, and the job sees it as not sent.
template <typename Write>
auto DeviceSession::timedWrite(Write write, decltype(write()) notSent)
{
    if (!calls)
        return write();
    if (interrupted())
        return notSent;
    calls->begin(0);
    const auto result = write();
    calls->end();
    return result;
}

int DeviceSession::send(const ApplicationBlock &block)
{
    return countedResult(timedWrite([&] { return sendApplicationCommand(record, device, block); }, int(ReportShortWrite)));
}

int DeviceSession::sendCommand(quint8 code, const QByteArray &payload, qint8 length)
{
    return countedResult(timedWrite([&] { return ::sendCommand(record, device, code, payload, length); },
                                    int(ReportShortWrite)));
}

int DeviceSession::sendBootloaderCommand(quint8 code)
{
    return countedResult(
        timedWrite([&] { return ::sendCommand(record, device, code, bootPattern, qint8(bootPattern.size())); },
                   int(ReportShortWrite)));
}

bool DeviceSession::sendFirmwareChunk(const quint8 *data, int n)
{
    return countedDelivery(timedWrite([&] { return ::sendFirmwareChunk(record, device, data, n); }, false));
}

int DeviceSession::countedResult(int result)
{
    if (result == ReportOk)
        ++written;
    return result;
}

bool DeviceSession::countedDelivery(bool delivered)
{
    if (delivered)
        ++written;
    return delivered;
}

bool DeviceSession::read(ReplyBuffer &reply, int timeoutMs)
{
    if (!calls)
        return readReport(device, reply, timeoutMs);
    if (interrupted())
        return false;
    return readSliced(reply, timeoutMs) >= Protocol::MinReplyLength;
}

// Slices of a read that adds up to the same time-out: a slice that found
// nothing (0) has waited its whole length, so the sum of the slices is the
// wait the device gets, as with one read. Anything else (a report, a short
// one, an error) ends the read as one read would have ended.
int DeviceSession::readSliced(ReplyBuffer &reply, int timeoutMs)
{
    int left = timeoutMs;
    for (;;) {
        const bool lastSlice = left >= 0 && left <= ReadSliceMs;
        const int slice = lastSlice ? left : ReadSliceMs;
        calls->begin(slice);
        const int got = readReportBytes(device, reply, slice);
        calls->end();
        if (got != 0 || lastSlice)
            return got;
        if (interrupted())
            return 0;
        if (left > 0)
            left -= slice;
    }
}

bool DeviceSession::ask(const ApplicationBlock &block, ReplyBuffer &reply, int timeoutMs)
{
    send(block);
    return read(reply, timeoutMs);
}

void DeviceSession::close()
{
    closeDevice(device);
}
