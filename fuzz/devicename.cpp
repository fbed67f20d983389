// Fuzz target: the name reply (item 0x04) and the device picture path made
// from the name, which a device could otherwise point anywhere on disk.

#include "fuzz/fuzzcheck.h"

#include "device/deviceinfo.h"

#include <QDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const ReplyBuffer reply = replyFromFuzzData(data, size);
    const QString name = decodeDeviceName(reply);

    // Read from offset 5, never past the buffer, one Latin-1 character per byte.
    constexpr int NameAt = 5;
    FUZZ_CHECK(name.size() <= int(reply.size()) - NameAt);
    for (int i = 0; i < name.size(); ++i)
        FUZZ_CHECK(name.at(i).unicode() == reply[size_t(NameAt + i)]);

    const QString path = devicePicturePath(name);
    if (path.isEmpty())
        return 0;
    // Whatever the device calls itself, the picture stays a file directly in
    // imageformats/: nothing to fold away, no further folder, no character
    // that would cut the path short or hide in a log line.
    const QString prefix = QStringLiteral("imageformats/device_image_");
    FUZZ_CHECK(path == prefix + name + QStringLiteral(".png"));
    FUZZ_CHECK(QDir::cleanPath(path) == path);
    FUZZ_CHECK(path.indexOf(QLatin1Char('/'), prefix.size()) < 0);
    FUZZ_CHECK(!path.contains(QLatin1Char('\\')));
    for (const QChar c : path)
        FUZZ_CHECK(!c.isNull() && c.category() != QChar::Other_Control);
    return 0;
}
