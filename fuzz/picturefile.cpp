// Fuzz target: the picture-file guard. The size is read from the header and a
// picture is decoded only within 8192 pixels a side, so no file can make the
// editor allocate gigabytes.

#include "fuzz/fuzzcheck.h"

#include "images/picturefile.h"

#include <QBuffer>
#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QString problem;
    const QImage picture = readPicture(&buffer, &problem);
    FUZZ_CHECK(picture.width() <= LargestPictureSide && picture.height() <= LargestPictureSide);
    // A refused file always says why; a picture never comes with a reason.
    FUZZ_CHECK(picture.isNull() != problem.isEmpty());
    return 0;
}
