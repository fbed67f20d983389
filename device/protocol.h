#pragma once
// Everything that appears on the wire between the tool and the device, named once:
// the reports and commands here, each item family's own layout beside this file
// (protocol_images.h, protocol_firmware.h, protocol_settings.h).

#include <QtGlobal>

namespace Protocol {

// USB identity of the device (application and bootloader alike).
constexpr unsigned short VendorId = 0x0483;
constexpr unsigned short ProductId = 0x5750;

// Output reports are always 64 bytes: report id 0x00, command code, declared
// payload length, then 61 payload bytes.
constexpr int ReportSize = 64;
constexpr int ReportHeaderSize = 3;
constexpr int PayloadBytesOnWire = ReportSize - ReportHeaderSize; // 61

// Replies are read into a 64-byte buffer asking for 63 bytes; hidapi strips
// the report id, and anything of 60 bytes or fewer is not a reply.
constexpr int ReplyBufferSize = 64;
constexpr int ReplyReadLength = 63;
constexpr int MinReplyLength = 61;

// Command codes (output report byte 1).
constexpr quint8 CmdBootloaderProbe = 0x00;
constexpr quint8 CmdFirmwareChunk = 0x01;
constexpr quint8 CmdStartApplication = 0x02;
constexpr quint8 CmdErase = 0x03;
constexpr quint8 CmdRefresh = 0x04;
constexpr quint8 CmdApplication = 0x55;

// The application command always declares 63 payload bytes; only 61 of them
// fit in the report, so argument bytes 61 and 62 never reach the device.
constexpr qint8 ApplicationBlockLength = 63;
constexpr quint8 OpRead = 'r';
constexpr quint8 OpWrite = 'w';

// Items of the application command.
constexpr quint8 ItemName = 0x04;
constexpr quint8 ItemFirmwareVersion = 0x05;
constexpr quint8 ItemScreenAndRanges = 0x06;
constexpr quint8 ItemIdentification = 0x07;
constexpr quint8 ItemSettingsBlock1 = 0x08;
constexpr quint8 ItemSettingsBlock2 = 0x09;
constexpr quint8 ItemPowerCurve = 0x0A;
constexpr quint8 ItemSlotQuery = 0x0B;
constexpr quint8 ItemColourImage = 0x0C;
constexpr quint8 ItemMonoImage = 0x0D;

// Time-outs of hid_read_timeout, in milliseconds.
constexpr int ReplyTimeoutMs = 3000;
constexpr int ImageAckTimeoutMs = 10000;

// openDevice: attempts and the pause after each failed attempt.
constexpr int OpenAttempts = 20;
constexpr int OpenRetryPauseMs = 100;

} // namespace Protocol
