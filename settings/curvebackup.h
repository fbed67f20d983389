#pragma once
// A copy of what a firmware upgrade may wipe: the device's five power curves
// and the working-mode table as the user has it, saved as a profile before
// the erase.

#include "device/deviceinfo.h"
#include "settings/powercurves.h"
#include "settings/settingsblocks.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

class DeviceSession;
class JobSink;

// Backups kept in the folder; older ones are removed.
constexpr int KeptUpgradeBackups = 10;

using CurveSet = std::array<std::optional<CurvePointsRow>, CurveCount>;

// The five curves over a session that is already open (neither opened nor
// closed here); a curve the device did not answer stays empty.
CurveSet readCurvesOverOpenSession(DeviceSession &session);

// Reads the curves and writes them with table (when there is one) as
// "<folder>/backup-<device>-<yyyyMMdd-HHmmss>.tessel.json", keeping the ten
// newest backups. Logs the file, or why there is none; never stops the upgrade.
// Returns the path, empty when nothing was written.
QString backupBeforeUpgrade(DeviceSession &session, JobSink &sink, const DeviceInfo &info,
                            const SettingsValues *table, const QString &folder, const QDateTime &now);

// "<per-user data folder>/backups".
QString upgradeBackupFolder();
