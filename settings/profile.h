#pragma once
// The profile file: the working-mode table and any of the five power curves,
// saved as UTF-8 JSON (".tessel.json") and loaded back. Loading checks the
// whole file before anything of it is used, so a bad file changes nothing.
//
//   {
//       "format": "tessel-profile",
//       "version": 1,
//       "device": {"name": "VELTRA-MINI", "firmware": "V1.0.2"},        (optional)
//       "settings": {
//           "PWR": {"watts": 30},
//           "NI200": {"watts": 40, "celsius": 230, "tcr": 0.0039},
//           "TI": {...}, "SS": {...}, "TCR1": {...}, "TCR2": {...}
//       },
//       "curves": {"M1": [ten watts, seconds 0 to 9], ...}                (any of M1 to M5)
//   }
//
// watts and celsius are the numbers the device receives (0-65535); tcr is the
// coefficient the user sees, travelling as round(tcr x 100000). The bypass
// row takes no numbers and has no entry. Fields the program does not know are
// ignored.

#include "settings/powercurves.h"
#include "settings/settingsblocks.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

constexpr int ProfileVersion = 1;
constexpr qint64 MaxProfileFileSize = qint64(1024) * 1024;

// Per row and column of the working-mode table: whether the cell is in the profile.
using SettingsCells = std::array<std::array<bool, SettingsColumns>, SettingsRows>;

// Every cell that takes a number.
SettingsCells allSettingsCells();

struct Profile
{
    std::optional<QString> deviceName;
    std::optional<QString> firmwareVersion;
    // Wire values as collectSettings gives them; only the cells marked in
    // cells are written, and a loaded profile marks the cells the file held.
    SettingsValues settings{};
    SettingsCells cells = allSettingsCells();
    std::array<std::optional<CurvePointsRow>, CurveCount> curves;
};

enum class ProfileMode {
    Complete,   // every cell that takes a number must be in the file
    Merge,      // cells missing from the file keep their current values
};

struct ProfileLoad
{
    Profile profile;
    QString error;       // the log line; empty when the profile loaded
    QString errorPath;   // where in the file, e.g. "settings.NI200.watts"; empty for the file as a whole
    bool cellMissing = false;  // the error is a cell or curve the file leaves out: merging would fill it
    bool ok() const { return error.isEmpty(); }
};

// Indented JSON, keys always in the same order: format, version, device,
// settings in table order, curves M1 to M5.
QByteArray profileToJson(const Profile &profile);

// Checks all of bytes and returns the profile, or the first problem found.
// The table starts from current: in Merge mode the cells the file leaves out
// keep these values; in Complete mode a missing cell is an error.
ProfileLoad loadProfile(const QByteArray &bytes, ProfileMode mode, const SettingsValues &current = {});

// Reads a regular file of at most MaxProfileFileSize, then loads it as above.
ProfileLoad loadProfileFile(const QString &path, ProfileMode mode, const SettingsValues &current = {});

// "<device>-yyyy-MM-dd.tessel.json": the device name kept to letters, digits,
// '-', '_' and '.', "tessel" when nothing is left of it.
QString defaultProfileFileName(const QString &deviceName, const QDateTime &when);
