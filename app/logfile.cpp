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
    if (file.isOpen())
        return true;
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    file.setFileName(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    return file.write(headerLine().toUtf8()) >= 0;
}

void LogFile::rotate()
{
    file.close();
    QFile::remove(filePath + QStringLiteral(".%1").arg(KeptFiles - 1));
    for (int i = KeptFiles - 2; i >= 1; --i)
        QFile::rename(filePath + QStringLiteral(".%1").arg(i), filePath + QStringLiteral(".%1").arg(i + 1));
    QFile::rename(filePath, filePath + QStringLiteral(".1"));
}

void LogFile::write(const QString &lines)
{
    if (!on)
        return;
    if (!open())
        return fail(file.errorString());
    const QByteArray bytes = lines.toUtf8();
    if (file.size() > 0 && file.size() + bytes.size() > RotateBytes) {
        rotate();
        if (!open())
            return fail(file.errorString());
    }
    if (file.write(bytes) != bytes.size() || !file.flush())
        fail(file.errorString());
}

void LogFile::fail(const QString &why)
{
    on = false;
    file.close();
    if (report)
        report(QCoreApplication::translate("LogFile", "日志文件无法写入，已停止写日志文件：%1（%2）").arg(filePath, why));
}
