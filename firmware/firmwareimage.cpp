#include "firmware/firmwareimage.h"

#include <QFile>
#include <QFileInfo>

#include <new>
#include <QCoreApplication>

namespace Firmware {

FirmwareFile loadFirmwareFile(const QString &path)
{
    FirmwareFile file;
    const QFileInfo info(path);
    if (!info.exists()) {
        file.problem = QCoreApplication::translate("Firmware", "固件文件不存在");
        return file;   // Unreadable, size 0
    }
    if (!info.isFile()) {
        file.problem = QCoreApplication::translate("Firmware", "固件文件不是普通文件");
        return file;
    }
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly)) {
        file.problem = QCoreApplication::translate("Firmware", "固件文件无法读取");
        return file;
    }

    file.size = source.size();
    if (file.size <= 0) {
        file.size = 0;
        file.status = FileStatus::Empty;
        file.problem = QCoreApplication::translate("Firmware", "固件文件为空");
        return file;
    }
    if (file.size > MaxFileSize) {
        file.status = FileStatus::TooLarge;
        return file;
    }
    if (file.size < ModelHeaderSize) {
        file.status = FileStatus::TooShort;
        return file;
    }

    file.data.reset(new (std::nothrow) quint8[size_t(file.size)]);
    if (!file.data) {
        file.status = FileStatus::OutOfMemory;
        return file;
    }
    qint64 got = 0;
    while (got < file.size) {
        const qint64 n = source.read(reinterpret_cast<char *>(file.data.get()) + got, file.size - got);
        if (n <= 0)
            break;
        got += n;
    }
    // A file that shrank or failed while being read is not the file that was sized.
    if (got != file.size) {
        file.data.reset();
        file.status = FileStatus::Unreadable;
        file.problem = QCoreApplication::translate("Firmware", "固件文件无法读取");
        return file;
    }
    file.foreign = foreignKind(file.data.get(), file.size);
    if (file.foreign != ForeignKind::None)
        file.status = FileStatus::NotFirmware;
    else if (file.size == ModelHeaderSize)
        file.status = FileStatus::NoImage;   // the erase would leave the device with no program
    else
        file.status = FileStatus::Loaded;
    if (file.status != FileStatus::Loaded)
        file.data.reset();
    return file;
}

ForeignKind foreignKind(const quint8 *bytes, qint64 size)
{
    const QByteArray head = QByteArray::fromRawData(reinterpret_cast<const char *>(bytes), int(qMin<qint64>(size, 32)));
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return ForeignKind::Png;
    if (head.startsWith("\xff\xd8\xff"))
        return ForeignKind::Jpeg;
    if (head.startsWith("GIF87a") || head.startsWith("GIF89a"))
        return ForeignKind::Gif;
    // "BM" alone could begin a model name: the size of a known bitmap
    // information header must follow at offset 14 too.
    if (head.startsWith("BM") && head.size() >= 18) {
        const quint32 infoSize = quint32(quint8(head[14])) | quint32(quint8(head[15])) << 8
                                 | quint32(quint8(head[16])) << 16 | quint32(quint8(head[17])) << 24;
        for (quint32 known : {12u, 40u, 52u, 56u, 64u, 108u, 124u})
            if (infoSize == known)
                return ForeignKind::Bmp;
    }
    if (head.startsWith("PK\x03\x04") || head.startsWith("PK\x05\x06") || head.startsWith("PK\x07\x08"))
        return ForeignKind::Zip;
    if (head.startsWith("\x1f\x8b\x08"))
        return ForeignKind::Gzip;
    if (head.startsWith("%PDF-"))
        return ForeignKind::Pdf;
    if (head.startsWith("\x7f" "ELF"))
        return ForeignKind::Elf;
    return ForeignKind::None;
}

QString foreignFileText(ForeignKind kind)
{
    switch (kind) {
    case ForeignKind::Png: return QCoreApplication::translate("Firmware", "不是固件文件：这是 PNG 图片");
    case ForeignKind::Jpeg: return QCoreApplication::translate("Firmware", "不是固件文件：这是 JPEG 图片");
    case ForeignKind::Gif: return QCoreApplication::translate("Firmware", "不是固件文件：这是 GIF 图片");
    case ForeignKind::Bmp: return QCoreApplication::translate("Firmware", "不是固件文件：这是 BMP 图片");
    case ForeignKind::Zip: return QCoreApplication::translate("Firmware", "不是固件文件：这是 ZIP 压缩包");
    case ForeignKind::Gzip: return QCoreApplication::translate("Firmware", "不是固件文件：这是 gzip 压缩包");
    case ForeignKind::Pdf: return QCoreApplication::translate("Firmware", "不是固件文件：这是 PDF 文档");
    case ForeignKind::Elf: return QCoreApplication::translate("Firmware", "不是固件文件：这是 ELF 程序");
    case ForeignKind::None: break;
    }
    return QString();
}

QString modelName(const QByteArray &field)
{
    QString text = QString::fromLatin1(field.left(int(qstrnlen(field.constData(), uint(field.size())))));
    for (QChar &c : text) {
        if (!c.isPrint())
            c = QLatin1Char('?');
    }
    return text;
}

QString fileSizeText(qint64 size)
{
    return QCoreApplication::translate("Firmware", "文件大小：%1 kB")
        .arg(QString::asprintf("%.2f", double(size) * 0.0009765625));
}

QString refusalText(FileStatus status)
{
    switch (status) {
    case FileStatus::Unreadable:
    case FileStatus::Empty:
        return QCoreApplication::translate("Firmware", "不支持中文路径！");
    case FileStatus::TooShort:
        return QCoreApplication::translate("Firmware", "固件文件出错：文件不足48字节，没有型号信息！");
    case FileStatus::TooLarge:
        return QCoreApplication::translate("Firmware", "固件文件出错：文件超过16 MB，不是本型号产品固件！");
    case FileStatus::NoImage:
        return QCoreApplication::translate("Firmware", "固件文件出错：只有型号信息，没有固件数据！");
    case FileStatus::NotFirmware:
        return QCoreApplication::translate("Firmware", "不是固件文件");
    case FileStatus::Loaded:
    case FileStatus::OutOfMemory:
        break;
    }
    return QString();
}

QString refusalText(const FirmwareFile &file)
{
    if (file.status == FileStatus::NotFirmware)
        return foreignFileText(file.foreign);
    return refusalText(file.status);
}

QString specificRefusalText(const FirmwareFile &file)
{
    if ((file.status == FileStatus::Unreadable || file.status == FileStatus::Empty) && !file.problem.isEmpty())
        return file.problem;
    return refusalText(file);
}

HeaderComparison compareModelHeader(const quint8 *fileHeader, const quint8 *deviceName)
{
    HeaderComparison comparison;
    comparison.lines.reserve(ModelHeaderSize);
    int equal = 0;
    for (int i = 0; i < ModelHeaderSize; ++i) {
        comparison.lines << QString::asprintf("%d==%d", int(fileHeader[i]), int(deviceName[i]));
        if (fileHeader[i] == deviceName[i])
            ++equal;
    }
    comparison.matches = equal == ModelHeaderSize;
    return comparison;
}

ChunkPlan planChunks(qint64 size)
{
    ChunkPlan plan;
    if (size < ModelHeaderSize)
        return plan;   // no model header, nothing to send
    const qint64 n = size / FirmwareChunkSize;
    plan.fullChunks = n - 1;
    plan.tailLength = int(size % FirmwareChunkSize);
    plan.tailOffset = plan.tailLength ? ChunkPlan::offsetOf(n) : 0;
    return plan;
}

void lowerChunk(quint8 *bytes, int n)
{
    for (int i = 0; i < n; ++i)
        bytes[i] = quint8(bytes[i] - 1);
}

} // namespace Firmware
