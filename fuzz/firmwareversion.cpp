// Fuzz target: the firmware version reply (item 0x05), text up to a zero byte.

#include "fuzz/fuzzcheck.h"

#include "device/deviceinfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ReplyBuffer reply = replyFromFuzzData(data, size);
    const QString version = decodeFirmwareVersion(reply);

    // The bytes from offset 4 up to the first zero, or to the end of the buffer
    // when there is none; never a zero inside the text.
    constexpr int VersionAt = 4;
    FUZZ_CHECK(version.size() <= int(reply.size()) - VersionAt);
    for (int i = 0; i < version.size(); ++i) {
        FUZZ_CHECK(version.at(i).unicode() == reply[size_t(VersionAt + i)]);
        FUZZ_CHECK(!version.at(i).isNull());
    }
    const size_t end = size_t(VersionAt + version.size());
    FUZZ_CHECK(end == reply.size() || reply[end] == 0);
    return 0;
}
