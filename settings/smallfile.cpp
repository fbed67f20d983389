#include "settings/smallfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>

namespace {

constexpr qint64 MegaByte = qint64(1024) * 1024;

QString limitText(qint64 maxBytes)
{
    if (maxBytes >= MegaByte && maxBytes % MegaByte == 0)
        return QStringLiteral("%1 MB").arg(maxBytes / MegaByte);
    return QCoreApplication::translate("Profile", "%1 字节").arg(maxBytes);
}

} // namespace

SmallFileRead readSmallFile(const QString &path, qint64 maxBytes)
{
    SmallFileRead read;
    const QFileInfo info(path);
    if (!info.exists()) {
        read.status = SmallFileStatus::Missing;
        return read;
    }
    // isFile() follows links and is true for regular files only.
    if (!info.isFile()) {
        read.status = SmallFileStatus::NotRegular;
        return read;
    }
    if (info.size() > maxBytes) {
        read.status = SmallFileStatus::TooLarge;
        return read;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        read.status = SmallFileStatus::Unreadable;
        return read;
    }
    // One byte beyond the limit tells a file that grew since it was sized.
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        read.status = SmallFileStatus::Unreadable;
        return read;
    }
    if (bytes.size() > maxBytes) {
        read.status = SmallFileStatus::TooLarge;
        return read;
    }
    read.bytes = std::move(bytes);
    read.status = SmallFileStatus::Read;
    return read;
}

QString smallFileRefusal(const SmallFileRead &read, const QString &path, qint64 maxBytes)
{
    const QString shown = QDir::toNativeSeparators(path);
    switch (read.status) {
    case SmallFileStatus::Read: break;
    case SmallFileStatus::Missing: return QCoreApplication::translate("Profile", "找不到文件 %1").arg(shown);
    case SmallFileStatus::NotRegular: return QCoreApplication::translate("Profile", "%1 不是普通文件").arg(shown);
    case SmallFileStatus::TooLarge: return QCoreApplication::translate("Profile", "文件超过 %1").arg(limitText(maxBytes));
    case SmallFileStatus::Unreadable: return QCoreApplication::translate("Profile", "无法打开或读取 %1").arg(shown);
    }
    return QString();
}
