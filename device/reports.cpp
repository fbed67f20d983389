#include "device/reports.h"

#include <hidapi.h>

#include <algorithm>
#include <cstring>

thread_local std::array<quint8, PayloadStagingSize> payloadStaging{};

const QByteArray bootPattern("123456789012345678901234567890123456789012345678901234567890");

ApplicationBlock makeApplicationBlock(quint8 op, quint8 item)
{
    ApplicationBlock block{};
    block[0] = op;
    block[1] = item;
    return block;
}

int writeReport(hid_device *handle, const CommandRecord &record)
{
    if (record.length > 0 && !record.payload)
        return ReportNoBuffer;

    std::array<unsigned char, Protocol::ReportSize> report{};
    report[0] = 0x00; // unnumbered report
    report[1] = record.code;
    report[2] = static_cast<unsigned char>(record.length);
    // A declared length above 61 keeps its byte 2, but only 61 payload bytes fit.
    const int copied = std::min({int(record.length), Protocol::PayloadBytesOnWire, record.payloadSize});
    if (copied > 0)
        std::memcpy(report.data() + Protocol::ReportHeaderSize, record.payload, size_t(copied));

    if (!handle)
        return ReportShortWrite;
    return hid_write(handle, report.data(), report.size()) == Protocol::ReportSize ? ReportOk
                                                                                   : ReportShortWrite;
}

int sendCommand(CommandRecord &record, hid_device *handle, quint8 code, const QByteArray &payload,
                qint8 length)
{
    record.code = code;
    record.length = length;
    const int copied = std::min({int(length), int(payload.size()), PayloadStagingSize});
    if (copied > 0)
        std::memcpy(payloadStaging.data(), payload.constData(), size_t(copied));
    record.payload = payloadStaging.data();
    record.payloadSize = PayloadStagingSize;
    return writeReport(handle, record);
}

int sendApplicationCommand(CommandRecord &record, hid_device *handle, const ApplicationBlock &block)
{
    const QByteArray payload =
        QByteArray::fromRawData(reinterpret_cast<const char *>(block.data()), int(block.size()));
    return sendCommand(record, handle, Protocol::CmdApplication, payload, Protocol::ApplicationBlockLength);
}

bool readReport(hid_device *handle, ReplyBuffer &buffer, int timeoutMs)
{
    return readReportBytes(handle, buffer, timeoutMs) >= Protocol::MinReplyLength;
}

int readReportBytes(hid_device *handle, ReplyBuffer &buffer, int timeoutMs)
{
    if (!handle)
        return -1;
    return hid_read_timeout(handle, buffer.data(), Protocol::ReplyReadLength, timeoutMs);
}

bool sendBootloaderProbe(CommandRecord &record, hid_device *handle)
{
    return sendCommand(record, handle, Protocol::CmdBootloaderProbe, bootPattern, qint8(bootPattern.size()))
           == ReportOk;
}

bool sendFirmwareChunk(CommandRecord &record, hid_device *handle, const quint8 *data, int n)
{
    // The chunk plus five filler bytes must still fit a signed length byte.
    if (n < 0 || n + 5 > 127 || (n > 0 && !data))
        return false;
    if (n > 0)
        std::memcpy(payloadStaging.data(), data, size_t(n));
    record.code = Protocol::CmdFirmwareChunk;
    record.length = qint8(n + 5);
    record.payload = payloadStaging.data();
    record.payloadSize = PayloadStagingSize;
    return writeReport(handle, record) == ReportOk;
}
