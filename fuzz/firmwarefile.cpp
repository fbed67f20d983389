// Fuzz target: a firmware file as the upgrade reads it. The data is written to
// a file and loaded; the chunk plan for its size is walked as the upgrade walks
// it; the model header is compared with a device name field; the raised chunks
// are lowered. A second plan is made for a size taken from the data itself, so
// sizes far beyond any file the fuzzer writes are planned too.

#include "fuzz/fuzzcheck.h"

#include "firmware/firmwareimage.h"

#include <QFile>
#include <QTemporaryDir>

#include <vector>

using namespace Firmware;

namespace {

// Full chunks then the tail must cover offsets 48 to size - 1 exactly once,
// in order, and nothing is planned for a file without a model header.
void checkPlan(qint64 size)
{
    const ChunkPlan plan = planChunks(size);
    FUZZ_CHECK(plan.fullChunks >= 0);
    FUZZ_CHECK(plan.tailLength >= 0 && plan.tailLength < FirmwareChunkSize);
    if (size < ModelHeaderSize) {
        FUZZ_CHECK(plan.fullChunks == 0 && plan.tailLength == 0);
        return;
    }
    // Chunk k starts where chunk k - 1 ended; checked in closed form, the
    // walk below does it chunk by chunk for the files actually written.
    FUZZ_CHECK(ChunkPlan::offsetOf(1) == ModelHeaderSize);
    const qint64 afterFull = ModelHeaderSize + plan.fullChunks * FirmwareChunkSize;
    FUZZ_CHECK(ChunkPlan::offsetOf(plan.fullChunks) + FirmwareChunkSize == afterFull);
    if (plan.tailLength > 0)
        FUZZ_CHECK(plan.tailOffset == afterFull);
    FUZZ_CHECK(afterFull + plan.tailLength == size);
}

const QString &scratchFile()
{
    static QTemporaryDir folder;
    static const QString path = folder.filePath(QStringLiteral("firmware.bin"));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const qint64 fileSize = qint64(size);
    {
        // Written over in place and then cut to size: ext4 flushes a file
        // truncated to zero when it is closed, and every input would wait for
        // the disk.
        QFile out(scratchFile());
        FUZZ_CHECK(out.open(QIODevice::ReadWrite));
        FUZZ_CHECK(out.write(reinterpret_cast<const char *>(data), fileSize) == fileSize);
        FUZZ_CHECK(out.resize(fileSize));
    }
    const FirmwareFile file = loadFirmwareFile(scratchFile());
    FUZZ_CHECK(file.size == fileSize);
    if (fileSize == 0)
        FUZZ_CHECK(file.status == FileStatus::Empty);
    else if (fileSize < ModelHeaderSize)
        FUZZ_CHECK(file.status == FileStatus::TooShort);
    else if (foreignKind(data, fileSize) != ForeignKind::None)
        FUZZ_CHECK(file.status == FileStatus::NotFirmware);
    else if (fileSize == ModelHeaderSize)
        FUZZ_CHECK(file.status == FileStatus::NoImage);
    else
        FUZZ_CHECK(file.status == FileStatus::Loaded);
    FUZZ_CHECK(file.isLoaded() == bool(file.data));
    FUZZ_CHECK(refusalText(file.status).isEmpty() == file.isLoaded());

    checkPlan(fileSize);
    if (size >= sizeof(qint64)) {
        qint64 claimed;
        std::memcpy(&claimed, data, sizeof claimed);
        checkPlan(claimed);
    }
    if (!file.isLoaded())
        return 0;
    const quint8 *loaded = file.data.get();
    FUZZ_CHECK(std::memcmp(loaded, data, size) == 0);

    // The model header against a name field taken from the data as well, and
    // against itself: one line per byte, a match only when all 48 agree.
    const ReplyBuffer reply = replyFromFuzzData(data + ModelHeaderSize, size - ModelHeaderSize);
    const quint8 *deviceName = reply.data() + 5;
    const HeaderComparison comparison = compareModelHeader(loaded, deviceName);
    FUZZ_CHECK(comparison.lines.size() == ModelHeaderSize);
    FUZZ_CHECK(comparison.matches == (std::memcmp(loaded, deviceName, ModelHeaderSize) == 0));
    const HeaderComparison same = compareModelHeader(loaded, loaded);
    FUZZ_CHECK(same.matches && same.lines.size() == ModelHeaderSize);

    // Walk the plan the way the upgrade sends the image: every byte after the
    // header exactly once and in order, the first two full chunks lowered by
    // one (0 wrapping to 255), every other byte as stored.
    const ChunkPlan plan = planChunks(fileSize);
    std::vector<quint8> image(loaded, loaded + size);
    std::vector<quint8> sent;
    sent.reserve(size);
    qint64 next = ModelHeaderSize;
    for (qint64 chunk = 1; chunk <= plan.fullChunks; ++chunk) {
        const qint64 offset = ChunkPlan::offsetOf(chunk);
        FUZZ_CHECK(offset == next && offset + FirmwareChunkSize <= fileSize);
        if (ChunkPlan::isLowered(chunk))
            lowerChunk(image.data() + offset, FirmwareChunkSize);
        sent.insert(sent.end(), image.begin() + offset, image.begin() + offset + FirmwareChunkSize);
        next = offset + FirmwareChunkSize;
    }
    if (plan.tailLength > 0) {
        FUZZ_CHECK(plan.tailOffset == next);
        sent.insert(sent.end(), image.begin() + plan.tailOffset, image.begin() + plan.tailOffset + plan.tailLength);
        next += plan.tailLength;
    }
    FUZZ_CHECK(next == fileSize);
    FUZZ_CHECK(sent.size() == size - ModelHeaderSize);
    const qint64 loweredBytes = std::min(plan.fullChunks, LoweredChunks) * FirmwareChunkSize;
    for (size_t i = 0; i < sent.size(); ++i) {
        const int lowering = qint64(i) < loweredBytes ? 1 : 0;
        FUZZ_CHECK(sent[i] == quint8(data[ModelHeaderSize + i] - lowering));
    }
    return 0;
}
