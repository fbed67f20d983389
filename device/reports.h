#pragma once
// Building, writing and reading the 64-byte HID reports.

#include "device/commandrecord.h"
#include "device/protocol.h"

#include <QByteArray>
#include <array>

struct hid_device_;
typedef struct hid_device_ hid_device;

// Results of the low-level writers.
enum ReportResult { ReportOk = 0, ReportShortWrite = -2, ReportNoBuffer = -4 };

// The payload area shared by every command of a thread. Each command copies
// its payload in from position 0; the positions after it keep what earlier
// commands left there, which gives a firmware chunk its five filler bytes.
// Each device thread has its own, so units served at once never send one
// another's bytes, and each unit sees what it would see alone.
// 128 bytes hold any length a signed byte can declare.
constexpr int PayloadStagingSize = 128;
extern thread_local std::array<quint8, PayloadStagingSize> payloadStaging;

// The 60-digit payload of the bootloader commands 0x00, 0x02, 0x03 and 0x04.
extern const QByteArray bootPattern;

using ReplyBuffer = std::array<quint8, Protocol::ReplyBufferSize>;
using ApplicationBlock = std::array<quint8, Protocol::ApplicationBlockLength>;

// Argument block of the application command: op, item, all else zero.
ApplicationBlock makeApplicationBlock(quint8 op, quint8 item);

// Serialises record into one 64-byte output report and writes it.
int writeReport(hid_device *handle, const CommandRecord &record);

// Copies up to length bytes of payload into payloadStaging, points the
// record at it and writes the report.
int sendCommand(CommandRecord &record, hid_device *handle, quint8 code,
                const QByteArray &payload, qint8 length);

// Command 0x55 with a 63-byte argument block.
int sendApplicationCommand(CommandRecord &record, hid_device *handle, const ApplicationBlock &block);

// One read of up to 63 bytes; true only for 61 bytes or more.
bool readReport(hid_device *handle, ReplyBuffer &buffer, int timeoutMs);
// The same read, giving what hid_read_timeout returned (-1 also for no handle).
int readReportBytes(hid_device *handle, ReplyBuffer &buffer, int timeoutMs);

// Bootloader probe (command 0x00 with bootPattern). The bootloader does not
// answer it; true when the report was written whole.
bool sendBootloaderProbe(CommandRecord &record, hid_device *handle);

// Command 0x01: n data bytes followed by the five bytes payloadStaging holds
// after them. True when the report was written whole.
bool sendFirmwareChunk(CommandRecord &record, hid_device *handle, const quint8 *data, int n);
