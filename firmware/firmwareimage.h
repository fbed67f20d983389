#pragma once
// The firmware file as the bootloader exchange needs it: loading and checking
// the file, comparing its model header with the device's name field, and
// cutting its image data into the chunks the bootloader takes.
//
// A firmware file is a 48-byte model header followed by the image data. The
// header is never sent; the image data goes out in 48-byte chunks, and the
// first two full chunks are stored raised by one in the file, so they are
// lowered again before they are sent.

#include "device/protocol_firmware.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <memory>

namespace Firmware {

constexpr int ModelHeaderSize = 48;
// The image data goes out in chunks of the bootloader's size.
using Protocol::FirmwareChunkSize;
// Full chunks 1 and 2 (file offsets 48 and 96) are stored raised by one.
constexpr qint64 LoweredChunks = 2;
// Far beyond the flash of any such device: a larger file is not firmware and
// is refused before it is read into memory.
constexpr qint64 MaxFileSize = qint64(16) * 1024 * 1024;

// What the checks on the file's contents left over.
enum class FileStatus {
    Loaded,        // at least a model header, read whole
    Unreadable,    // cannot be opened or read
    Empty,         // zero bytes
    TooShort,      // 1 to 47 bytes: no model header
    NoImage,       // exactly the model header: nothing to write after the erase
    NotFirmware,   // starts like a picture, an archive, a document or a program
    TooLarge,      // above MaxFileSize; never read
    OutOfMemory,   // no buffer of the file's size to be had
};

// What a file that is plainly something else turned out to be.
enum class ForeignKind { None, Png, Jpeg, Gif, Bmp, Zip, Gzip, Pdf, Elf };

// The kind of file whose first bytes carry a well-known signature, or None.
// The model header may hold any bytes after the name, so nothing else about
// it is judged: only signatures no model name starts with.
ForeignKind foreignKind(const quint8 *bytes, qint64 size);

// A firmware file read whole into memory. size is what the file holds on
// disk (0 when it cannot be opened); data holds size bytes when Loaded.
struct FirmwareFile
{
    FileStatus status = FileStatus::Unreadable;
    qint64 size = 0;
    std::unique_ptr<quint8[]> data;
    // Why an Unreadable or Empty file was refused, in the user's words: not
    // found, not a regular file, cannot be read, empty.
    QString problem;
    // NotFirmware: what the file is instead.
    ForeignKind foreign = ForeignKind::None;

    bool isLoaded() const { return status == FileStatus::Loaded; }
};

// Opens the file through QFile, so any path the system can name works, and
// reads it whole unless it is empty, too short or too large. Only a regular
// file is opened: a named pipe would block until a writer came, a device node
// could be read forever.
FirmwareFile loadFirmwareFile(const QString &path);

// "文件大小：40.00 kB" — the size in units of 1024 bytes, two decimals.
QString fileSizeText(qint64 size);

// The text that tells the user why a file was refused: the label text and the
// log line alike. Empty for a loaded file and for a memory shortage, which
// has its own log line. The first form cannot name a foreign file's kind.
QString refusalText(FileStatus status);
QString refusalText(const FirmwareFile &file);
// The refusal in the user's own words for any refused file: for an empty or
// unreadable one the real reason (not found, not a regular file, cannot be
// read, empty) rather than the page's traditional text.
QString specificRefusalText(const FirmwareFile &file);
// "Not a firmware file: this is a PNG picture".
QString foreignFileText(ForeignKind kind);

// The model a header or name field names: its bytes up to the first zero,
// anything unprintable shown as '?'.
QString modelName(const QByteArray &field);

// The model header against the device's name field (reply bytes 5-52): one
// line "file==device" per byte, as unsigned values, and whether all match.
struct HeaderComparison
{
    QStringList lines;
    bool matches = false;
};
HeaderComparison compareModelHeader(const quint8 *fileHeader, const quint8 *deviceName);

// How the image data of a file of size bytes is cut. Full chunks are numbered
// 1 … fullChunks and start at 48·k; the tail (tailLength bytes, 0 for none)
// follows them. Together they cover offsets 48 to size − 1 once, in order.
struct ChunkPlan
{
    qint64 fullChunks = 0;
    qint64 tailOffset = 0;
    int tailLength = 0;

    static qint64 offsetOf(qint64 chunk) { return chunk * FirmwareChunkSize; }
    static bool isLowered(qint64 chunk) { return chunk <= LoweredChunks; }
};
ChunkPlan planChunks(qint64 size);

// Undoes the raise of a stored chunk: each byte one lower, modulo 256.
void lowerChunk(quint8 *bytes, int n);

} // namespace Firmware
