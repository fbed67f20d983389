// Fuzz target: the identification reply (item 0x07), a fixed fifteen-byte field.

#include "fuzz/fuzzcheck.h"

#include "device/deviceinfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ReplyBuffer reply = replyFromFuzzData(data, size);
    const QString identification = decodeIdentification(reply);

    // Always the fifteen bytes at offsets 3-17, zeros included, whatever they hold.
    FUZZ_CHECK(identification.size() == 15);
    for (int i = 0; i < identification.size(); ++i)
        FUZZ_CHECK(identification.at(i).unicode() == reply[size_t(3 + i)]);
    return 0;
}
