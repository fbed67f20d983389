#pragma once
// The firmware upgrade on the wire: the bootloader's chunks and the name field
// the model header is held against.

#include "device/protocol.h"

namespace Protocol {

// The bootloader takes the image data in chunks of this many bytes.
constexpr int FirmwareChunkSize = 48;

// Reply offset of the device's name field (item 0x04), the counterpart of a
// firmware file's model header.
constexpr int NameFieldOffset = 5;

} // namespace Protocol
