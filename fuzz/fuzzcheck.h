#pragma once
// Shared by the fuzz targets: how a target states what must hold for every
// input, and how fuzz data becomes the reply buffer a decoder reads.

#include "device/reports.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

// A broken invariant stops the process at once: libFuzzer keeps the input as a
// crash, and the replay driver's test fails.
#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            __builtin_trap();                                                                  \
        }                                                                                      \
    } while (0)

// The reply buffer as a read leaves it: the device's bytes from offset 0, cut
// at the buffer's 64 bytes, zeros after a short read.
inline ReplyBuffer replyFromFuzzData(const uint8_t *data, size_t size)
{
    ReplyBuffer reply{};
    if (size > 0)
        std::memcpy(reply.data(), data, std::min(size, reply.size()));
    return reply;
}

// Two bytes high byte first, as the device's numbers travel.
template <typename Bytes>
int bigEndianAt(const Bytes &bytes, size_t at)
{
    return bytes[at] << 8 | bytes[at + 1];
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);
