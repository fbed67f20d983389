#pragma once
// The emulated device's record as the device saw the host's reads: a read
// the device thread made in slices of at most 100 ms (so that a Cancel is
// heard) shows as one read, the slices' time-outs added up.

#include "emulator/emulateddevice.h"

namespace testsupport {

// Slices of one read follow each other on one handle with nothing between them,
// and every slice but the last came back empty.
inline QVector<emu::EmulatedDevice::Exchange> foldedReads(const QVector<emu::EmulatedDevice::Exchange> &record)
{
    using Exchange = emu::EmulatedDevice::Exchange;
    QVector<Exchange> folded;
    for (const Exchange &e : record) {
        if (e.kind == Exchange::Read && !folded.isEmpty()) {
            Exchange &last = folded.last();
            if (last.kind == Exchange::Read && last.result == 0 && last.handleId == e.handleId) {
                const int total = last.timeoutMs + e.timeoutMs;
                last = e;
                last.timeoutMs = total;
                continue;
            }
        }
        folded << e;
    }
    return folded;
}

} // namespace testsupport
