// Fuzz target: the screen and ranges reply (item 0x06), the texts the Devices
// page makes of it, and the power-curve scale taken from its power high.

#include "fuzz/fuzzcheck.h"

#include "device/deviceinfo.h"
#include "settings/curvedragmodel.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ReplyBuffer reply = replyFromFuzzData(data, size);
    const ScreenAndRanges decoded = decodeScreenAndRanges(reply);

    FUZZ_CHECK(decoded.screenSize.size() == 5);
    for (int i = 0; i < 5; ++i)
        FUZZ_CHECK(decoded.screenSize.at(i).unicode() == reply[size_t(4 + i)]);
    // Six two-byte ranges: never negative, never above what two bytes hold.
    const int ranges[] = {decoded.powerLow,      decoded.powerHigh,  decoded.fahrenheitLow,
                          decoded.fahrenheitHigh, decoded.celsiusLow, decoded.celsiusHigh};
    for (size_t i = 0; i < 6; ++i) {
        FUZZ_CHECK(ranges[i] >= 0 && ranges[i] <= 0xFFFF);
        FUZZ_CHECK(ranges[i] == bigEndianAt(reply, 9 + 2 * i));
    }
    FUZZ_CHECK(decoded.supported == (reply[21] != 'N'));

    // The Devices page's texts, from any reply.
    DeviceInfo info;
    applyScreenAndRanges(info, decoded);
    FUZZ_CHECK(!screenSizeText(info.screen).isEmpty());
    FUZZ_CHECK(!powerRangeText(info.screen).isEmpty());
    FUZZ_CHECK(!temperatureRangeText(info.screen).isEmpty());

    // Whatever power high the device reports, the curve dialog gets a usable
    // scale: a positive top, and drags anywhere on the plot that stay between
    // 0 W and the top.
    const int top = CurveDragModel(decoded.powerHigh).maxWattage();
    FUZZ_CHECK(top > 0);
    for (const int y : {CurvePlot::TopY - 1, CurvePlot::TopY, int(reply[22]) + CurvePlot::TopY,
                        CurvePlot::BottomY, CurvePlot::BottomY + 1}) {
        const int watts = draggedWatts(y, top);
        FUZZ_CHECK(watts >= 0 && watts <= top);
    }
    FUZZ_CHECK(draggedWatts(CurvePlot::TopY, top) == top);
    return 0;
}
