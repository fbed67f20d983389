#include "settings/curvebackup.h"

#include "device/devicesession.h"
#include "device/jobsink.h"
#include "settings/profile.h"

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>
#include <QCoreApplication>

CurveSet readCurvesOverOpenSession(DeviceSession &session)
{
    CurveSet curves;
    for (int curve = 0; curve < CurveCount; ++curve) {
        ReplyBuffer reply{};
        if (session.ask(curveReadRequest(curve), reply))
            curves[size_t(curve)] = decodeCurveReply(reply);
    }
    return curves;
}

QString upgradeBackupFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("backups"));
}

QString backupBeforeUpgrade(DeviceSession &session, JobSink &sink, const DeviceInfo &info,
                            const SettingsValues *table, const QString &folder, const QDateTime &now)
{
    Profile profile;
    if (!info.name.isEmpty())
        profile.deviceName = info.name;
    if (!info.firmwareVersion.isEmpty())
        profile.firmwareVersion = info.firmwareVersion;
    if (table)
        profile.settings = *table;
    else
        profile.cells = {};   // curves only
    session.beginExchange();
    profile.curves = readCurvesOverOpenSession(session);
    int missing = 0;
    for (const auto &curve : profile.curves)
        missing += curve ? 0 : 1;
    if (missing > 0)
        sink.log(QCoreApplication::translate("Settings", "备份：%1 条功率曲线读取超时，未备份").arg(missing));

    // "backup-VELTRA-MINI-2026-12-07.tessel.json" gives the safe device part.
    QString device = defaultProfileFileName(info.name, now);
    device.chop(int(qstrlen("-yyyy-MM-dd.tessel.json")));
    const QString name = QStringLiteral("backup-%1-%2.tessel.json").arg(device, now.toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QDir dir(folder);
    QSaveFile file(dir.filePath(name));
    if (!dir.mkpath(QStringLiteral(".")) || !file.open(QIODevice::WriteOnly) || file.write(profileToJson(profile)) < 0
        || !file.commit()) {
        sink.log(QCoreApplication::translate("Settings", "备份失败：无法写入 ") + dir.filePath(name));
        return QString();
    }
    // The names sort by time: the oldest go first.
    const QStringList backups = dir.entryList({QStringLiteral("backup-*.tessel.json")}, QDir::Files, QDir::Time);
    for (int i = KeptUpgradeBackups; i < backups.size(); ++i)
        dir.remove(backups[i]);
    sink.log(QCoreApplication::translate("Settings", "已备份功率曲线和设置：") + dir.filePath(name));
    return dir.filePath(name);
}
