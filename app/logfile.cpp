#include "app/logfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>

#include <hidapi.h>

namespace {

QString headerLine()
{
#ifdef HID_API_VERSION_STR
    const QString hidapi = QStringLiteral(HID_API_VERSION_STR);
#else
    const QString hidapi = QStringLiteral("?");
#endif
    return QStringLiteral("Tessel Control %1 · Qt %2 · hidapi %3 · %4 · started %5\n")
        .arg(QCoreApplication::applicationVersion().isEmpty() ? QStringLiteral(TESSEL_VERSION)
                                                              : QCoreApplication::applicationVersion(),
             QString::fromLatin1(qVersion()), hidapi, QSysInfo::prettyProductName(),
             QDateTime::currentDateTime().toString(Qt::ISODate));
}

// A dangling link counts too: a rename onto it would replace the link.
bool present(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

LogFile::LogFile(const QString &path, std::function<void(const QString &)> report)
    : filePath(path), report(std::move(report))
{
}

QString LogFile::defaultPath()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("logs/tessel-control.log"));
}

bool LogFile::open()
{
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    file.setFileName(filePath);
    return file.open(QIODevice::WriteOnly | QIODevice::Append);
}

QString LogFile::numbered(int generation) const
{
    return filePath + QStringLiteral(".%1").arg(generation);
}

QString LogFile::rotate()
{
    file.close();
    QFile oldest(numbered(KeptFiles - 1));
    if (present(oldest.fileName()) && !oldest.remove())
        return QStringLiteral("%1: %2").arg(oldest.fileName(), oldest.errorString());
    // Newest last: each name is free by the time the one before it moves there.
    for (int generation = KeptFiles - 2; generation >= 0; --generation) {
        QFile older(generation == 0 ? filePath : numbered(generation));
        if (present(older.fileName()) && !older.rename(numbered(generation + 1)))
            return QStringLiteral("%1: %2").arg(older.fileName(), older.errorString());
    }
    return QString();
}

void LogFile::write(const QString &lines)
{
    if (!on)
        return;
    const auto writeFailure = [this] {
        return QCoreApplication::translate("LogFile", "日志文件无法写入，已停止写日志文件：%1（%2）")
            .arg(filePath, file.errorString());
    };
    // Each run, and each file after a rotation, starts with the header line.
    bool opened = false;
    if (!file.isOpen()) {
        if (!open())
            return fail(writeFailure());
        opened = true;
    }
    const QByteArray text = lines.toUtf8();
    QByteArray bytes = opened ? headerLine().toUtf8() + text : text;
    if (file.size() > 0 && file.size() + bytes.size() > RotateBytes) {
        // A full file that cannot be moved aside ends the file logging: it
        // would otherwise try again, and grow, with every line.
        const QString blocked = rotate();
        if (!blocked.isEmpty())
            return fail(QCoreApplication::translate("LogFile", "日志文件无法轮换，已停止写日志文件：%1（%2）")
                            .arg(filePath, blocked));
        if (!open())
            return fail(writeFailure());
        bytes = headerLine().toUtf8() + text;
    }
    if (file.write(bytes) != bytes.size() || !file.flush())
        fail(writeFailure());
}

void LogFile::fail(const QString &line)
{
    on = false;
    file.close();
    if (report)
        report(line);
}
