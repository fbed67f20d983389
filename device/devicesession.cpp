#include "device/devicesession.h"

#include "device/devicelink.h"
#include "device/jobsink.h"
#include "device/waiter.h"

#include <hidapi.h>

DeviceSession::DeviceSession(QObject *parent) : QObject(parent) {}

DeviceSession::~DeviceSession()
{
    close();
}

bool DeviceSession::open()
{
    if (!device)
        device = path.isEmpty() ? openDeviceOnce() : openDeviceAtOnce(path);
    return device != nullptr;
}

bool DeviceSession::openWithRetries(Waiter &waiter)
{
    if (!device)
        device = path.isEmpty() ? openDevice(Protocol::VendorId, Protocol::ProductId, waiter)
                                : openDeviceAt(path, waiter);
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

int DeviceSession::send(const ApplicationBlock &block)
{
    return countedResult(sendApplicationCommand(record, device, block));
}

int DeviceSession::sendCommand(quint8 code, const QByteArray &payload, qint8 length)
{
    return countedResult(::sendCommand(record, device, code, payload, length));
}

int DeviceSession::sendBootloaderCommand(quint8 code)
{
    return countedResult(::sendCommand(record, device, code, bootPattern, qint8(bootPattern.size())));
}

bool DeviceSession::sendFirmwareChunk(const quint8 *data, int n)
{
    return countedDelivery(::sendFirmwareChunk(record, device, data, n));
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
    return readReport(device, reply, timeoutMs);
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
