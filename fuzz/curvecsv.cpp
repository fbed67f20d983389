// Fuzz target: a power curve read from CSV: ten whole watts, or a reason.

#include "fuzz/fuzzcheck.h"

#include "settings/curvecsv.h"

#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const CurveCsvLoad load = curveFromCsv(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    if (!load.ok())
        return 0;
    for (qint32 watts : load.points)
        FUZZ_CHECK(watts >= 0 && watts <= 0xFFFF);
    // Written out, it reads back the same.
    const CurveCsvLoad again = curveFromCsv(curveToCsv(load.points));
    FUZZ_CHECK(again.ok() && again.points == load.points);
    return 0;
}
