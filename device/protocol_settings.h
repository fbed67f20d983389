#pragma once
// The settings blocks and the power curves on the wire (items 0x08, 0x09, 0x0A).

#include "device/protocol.h"

namespace Protocol {

// Bytes after the count of settings block 1 (3 for the power mode, 8 per
// material) and of block 2 (8 per TCR mode).
constexpr quint8 SettingsBlock1Count = 27;
constexpr quint8 SettingsBlock2Count = 16;

// Curve i travels as number 7 + i.
constexpr quint8 FirstCurveNumber = 7;
// Argument offsets of the curve item within the application block: the byte
// count, the curve number, the written points; the read points come back at
// reply offset 6, two big-endian bytes each.
constexpr int CurveByteCountAt = 2;
constexpr int CurveNumberAt = 3;
constexpr int CurveWritePointsAt = 4;
constexpr int CurveReplyPointsAt = 6;
// A write declares the curve number and the twenty point bytes that follow the count.
constexpr quint8 CurveWriteByteCount = 21;

} // namespace Protocol
