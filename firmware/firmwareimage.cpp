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
    file.status = FileStatus::Loaded;
    return file;
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
    case FileStatus::Loaded:
    case FileStatus::OutOfMemory:
        break;
    }
    return QString();
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
    const qint64 n = size / ChunkSize;
    plan.fullChunks = n - 1;
    plan.tailLength = int(size % ChunkSize);
    plan.tailOffset = plan.tailLength ? ChunkPlan::offsetOf(n) : 0;
    return plan;
}

void lowerChunk(quint8 *bytes, int n)
{
    for (int i = 0; i < n; ++i)
        bytes[i] = quint8(bytes[i] - 1);
}

} // namespace Firmware
