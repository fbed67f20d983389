// Fuzz target: the slot reply (item 0x0B), the picture geometry of a slot.

#include "fuzz/fuzzcheck.h"

#include "images/imageslot.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ReplyBuffer reply = replyFromFuzzData(data, size);
    const SlotGeometry geometry = decodeSlotGeometry(reply);

    // Width and height are two big-endian bytes each: 0 to 65535, never
    // negative, never more; the screen type is the single byte after them.
    FUZZ_CHECK(geometry.imageWidth >= 0 && geometry.imageWidth <= 0xFFFF);
    FUZZ_CHECK(geometry.imageHeight >= 0 && geometry.imageHeight <= 0xFFFF);
    FUZZ_CHECK(geometry.imageWidth == bigEndianAt(reply, 5));
    FUZZ_CHECK(geometry.imageHeight == bigEndianAt(reply, 7));
    FUZZ_CHECK(geometry.screenType == reply[9]);
    return 0;
}
