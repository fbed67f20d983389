// Fuzz target: the power-curve reply (item 0x0A) and the write request made
// from the points read, as the curve dialog sends them back after a drag.

#include "fuzz/fuzzcheck.h"

#include "settings/powercurves.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ReplyBuffer reply = replyFromFuzzData(data, size);
    const CurvePointsRow points = decodeCurveReply(reply);

    for (const qint32 watts : points)
        FUZZ_CHECK(watts >= 0 && watts <= 0xFFFF);

    // Points read and written back unchanged reach the device as the very
    // bytes it sent: reply offsets 6-25 become request offsets 4-23.
    const int curve = size > 0 ? data[0] % CurveCount : 0;
    const ApplicationBlock request = curveWriteRequest(curve, points);
    FUZZ_CHECK(request[3] == curveNumber(curve));
    for (int i = 0; i < 2 * CurvePoints; ++i)
        FUZZ_CHECK(request[size_t(4 + i)] == reply[size_t(6 + i)]);
    return 0;
}
