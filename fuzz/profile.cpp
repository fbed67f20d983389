// Fuzz target: the profile loader. Whatever the file holds, a profile comes
// back only with every value the device can take, or an error naming where.

#include "fuzz/fuzzcheck.h"

#include "settings/profile.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    for (ProfileMode mode : {ProfileMode::Complete, ProfileMode::Merge}) {
        const ProfileLoad load = loadProfile(bytes, mode);
        if (!load.ok())
            continue;
        for (const auto &row : load.profile.settings)
            for (qint32 value : row)
                FUZZ_CHECK(value >= 0 && value <= 0xFFFF);
        for (const auto &curve : load.profile.curves)
            if (curve)
                for (qint32 watts : *curve)
                    FUZZ_CHECK(watts >= 0 && watts <= 0xFFFF);
        // What loaded writes out and loads back the same.
        const ProfileLoad again = loadProfile(profileToJson(load.profile), mode);
        FUZZ_CHECK(again.ok() && again.profile.settings == load.profile.settings);
    }
    return 0;
}
