#pragma once
// The image transfer and the slot geometry on the wire (items 0x0B, 0x0C, 0x0D).

#include "device/protocol.h"

namespace Protocol {

// One 63-byte argument block serves a whole transfer: byte 2 carries the
// transfer tag and byte 3 the phase; each data report overwrites the data
// bytes from block offset 4 on.
constexpr quint8 TransferTag = 0x36;
constexpr quint8 PhaseStart = 0x01;
constexpr quint8 PhaseData = 0x02;
constexpr quint8 PhaseEnd = 0x03;
constexpr int ImageDataOffset = 4;
constexpr int ImageDataBytes = 54;

// Screen type the slot query reports for a colour screen; any other value is
// a one-bit screen.
constexpr int ColourScreenType = 0x54;

// Slot 1 holds the boot screen: a 240 x 40 strip, sent on colour screens as an
// animation of 25 frames.
constexpr int BootScreenSlot = 1;
constexpr int BootAnimationFrames = 25;
constexpr int BootFrameWidth = 240;
constexpr int BootFrameHeight = 40;

} // namespace Protocol
