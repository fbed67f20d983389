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
        device = openDeviceOnce();
    return device != nullptr;
}

bool DeviceSession::openWithRetries(Waiter &waiter)
{
    if (!device)
        device = openDevice(Protocol::VendorId, Protocol::ProductId, waiter);
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
    return sendApplicationCommand(record, device, block);
}

int DeviceSession::sendCommand(quint8 code, const QByteArray &payload, qint8 length)
{
    return ::sendCommand(record, device, code, payload, length);
}

int DeviceSession::sendBootloaderCommand(quint8 code)
{
    return ::sendCommand(record, device, code, bootPattern, qint8(bootPattern.size()));
}

bool DeviceSession::sendFirmwareChunk(const quint8 *data, int n)
{
    return ::sendFirmwareChunk(record, device, data, n);
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
