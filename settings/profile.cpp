#include "settings/profile.h"

#include "settings/smallfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <cmath>
#include <cstdlib>
#include <QCoreApplication>

namespace {

const QString FormatName = QStringLiteral("tessel-profile");
constexpr double MaxWireValue = 65535.0;

// The key of each number column within a row of "settings".
const char *columnKey(int column)
{
    switch (column) {
    case WattageColumn: return "watts";
    case TemperatureColumn: return "celsius";
    default: return "tcr";
    }
}

QString curveKey(int curve)
{
    return QStringLiteral("M%1").arg(curve + 1);
}

// A JSON string literal, escaped by the JSON writer itself.
QByteArray jsonString(const QString &text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// The TCR written as the exact decimal of wire / 100000 ("0.0039" for 390):
// read back and scaled, it lies within 1e-10 of the wire value, so rounding
// gives that value again.
QByteArray tcrText(qint32 wire)
{
    const qint64 magnitude = std::llabs(qint64(wire));
    QByteArray text = wire < 0 ? "-" : "";
    text += QByteArray::number(magnitude / 100000);
    QByteArray fraction = QByteArray::number(magnitude % 100000).rightJustified(5, '0');
    while (fraction.endsWith('0'))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += '.' + fraction;
    return text;
}

QString numberText(double number)
{
    return QString::number(number, 'g', QLocale::FloatingPointShortest);
}

QString kindText(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::String: return QCoreApplication::translate("Profile", "文本");
    case QJsonValue::Bool: return QCoreApplication::translate("Profile", "真假值");
    case QJsonValue::Array: return QCoreApplication::translate("Profile", "数组");
    case QJsonValue::Object: return QCoreApplication::translate("Profile", "对象");
    case QJsonValue::Null: return QStringLiteral("null");
    default: return QCoreApplication::translate("Profile", "数字");
    }
}

// Checks one file from the top down; the first problem found is kept and
// ends the check.
class ProfileReader
{
public:
    ProfileReader(ProfileMode mode, const SettingsValues &current) : mode(mode)
    {
        load.profile.settings = current;
        load.profile.cells = SettingsCells{};
    }

    ProfileLoad read(const QByteArray &bytes)
    {
        if (bytes.size() > MaxProfileFileSize)
            return refused(QString(), QCoreApplication::translate("Profile", "配置文件超过 1 MB，未读取"));
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
        if (parseError.error != QJsonParseError::NoError)
            return refused(QString(),
                           QCoreApplication::translate("Profile", "配置文件无效：不是 JSON（第 %1 字节处出错）").arg(parseError.offset + 1));
        if (!document.isObject())
            return refused(QString(), QCoreApplication::translate("Profile", "配置文件无效：内容应为 JSON 对象"));
        const QJsonObject top = document.object();

        const QJsonValue format = top.value(QLatin1String("format"));
        if (format.isUndefined())
            return invalid(QStringLiteral("format"), QCoreApplication::translate("Profile", "缺少此项"));
        if (format.toString() != FormatName)
            return invalid(QStringLiteral("format"), QCoreApplication::translate("Profile", "应为 tessel-profile"));
        // A newer version may mean anything by the rest, so it is judged first.
        if (readVersion(top.value(QLatin1String("version"))) && readDevice(top.value(QLatin1String("device")))
            && readSettings(top.value(QLatin1String("settings"))))
            readCurves(top.value(QLatin1String("curves")));
        return load;
    }

private:
    ProfileLoad refused(const QString &path, const QString &text)
    {
        ProfileLoad failed;
        failed.error = text;
        failed.errorPath = path;
        load = failed;
        return load;
    }
    ProfileLoad invalid(const QString &path, const QString &reason)
    {
        return refused(path, QCoreApplication::translate("Profile", "配置文件无效：%1：%2").arg(path, reason));
    }
    bool fail(const QString &path, const QString &reason)
    {
        invalid(path, reason);
        return false;
    }

    // A missing field: an error, unless merging and the field may be left out.
    bool missing(const QString &path)
    {
        if (mode == ProfileMode::Merge)
            return true;
        fail(path, QCoreApplication::translate("Profile", "缺少此项"));
        load.cellMissing = true;
        return false;
    }

    bool integer(const QJsonValue &value, const QString &path, double &number)
    {
        if (!value.isDouble())
            return fail(path, QCoreApplication::translate("Profile", "应为整数，不是%1").arg(kindText(value)));
        number = value.toDouble();
        if (number != std::floor(number))
            return fail(path, QCoreApplication::translate("Profile", "%1 不是整数").arg(numberText(number)));
        return true;
    }

    bool wireInteger(const QJsonValue &value, const QString &path, qint32 &wire)
    {
        double number = 0;
        if (!integer(value, path, number))
            return false;
        if (number < 0 || number > MaxWireValue)
            return fail(path, QCoreApplication::translate("Profile", "%1 超出 0–65535").arg(numberText(number)));
        wire = qint32(number);
        return true;
    }

    // The coefficient as the user sees it; the device gets it x 100000, rounded.
    bool tcr(const QJsonValue &value, const QString &path, qint32 &wire)
    {
        if (!value.isDouble())
            return fail(path, QCoreApplication::translate("Profile", "应为数字，不是%1").arg(kindText(value)));
        const double number = value.toDouble();
        const double scaled = std::round(number * TcrWireScale);
        if (number < 0 || scaled > MaxWireValue)
            return fail(path, QCoreApplication::translate("Profile", "%1 超出 0–0.65535").arg(numberText(number)));
        wire = qint32(scaled);
        return true;
    }

    bool readVersion(const QJsonValue &value)
    {
        const QString path = QStringLiteral("version");
        if (value.isUndefined())
            return fail(path, QCoreApplication::translate("Profile", "缺少此项"));
        double version = 0;
        if (!integer(value, path, version))
            return false;
        if (version > ProfileVersion) {
            refused(path, QCoreApplication::translate("Profile", "配置文件版本 %1 比本程序新（本程序读取版本 %2），请更新程序")
                              .arg(numberText(version))
                              .arg(ProfileVersion));
            return false;
        }
        if (version < ProfileVersion)
            return fail(path, QCoreApplication::translate("Profile", "没有版本 %1").arg(numberText(version)));
        return true;
    }

    bool readDevice(const QJsonValue &value)
    {
        if (value.isUndefined())
            return true;
        if (!value.isObject())
            return fail(QStringLiteral("device"), QCoreApplication::translate("Profile", "应为对象，不是%1").arg(kindText(value)));
        const QJsonObject device = value.toObject();
        return readText(device, "name", load.profile.deviceName)
               && readText(device, "firmware", load.profile.firmwareVersion);
    }

    bool readText(const QJsonObject &device, const char *key, std::optional<QString> &text)
    {
        const QJsonValue value = device.value(QLatin1String(key));
        if (value.isUndefined())
            return true;
        if (!value.isString())
            return fail(QStringLiteral("device.%1").arg(QLatin1String(key)),
                        QCoreApplication::translate("Profile", "应为文本，不是%1").arg(kindText(value)));
        text = value.toString();
        return true;
    }

    bool readSettings(const QJsonValue &value)
    {
        const QString path = QStringLiteral("settings");
        if (value.isUndefined())
            return missing(path);
        if (!value.isObject())
            return fail(path, QCoreApplication::translate("Profile", "应为对象，不是%1").arg(kindText(value)));
        const QJsonObject settings = value.toObject();
        for (int row = 0; row < SettingsRows; ++row) {
            if (!settingsCellTakesNumber(row, WattageColumn) && !settingsCellTakesNumber(row, TemperatureColumn))
                continue;   // the bypass row
            const QString name = QString::fromUtf8(settingsRows()[size_t(row)].name);
            if (!readRow(settings.value(name), path + QLatin1Char('.') + name, row))
                return false;
        }
        return true;
    }

    bool readRow(const QJsonValue &value, const QString &path, int row)
    {
        if (value.isUndefined())
            return missing(path);
        if (!value.isObject())
            return fail(path, QCoreApplication::translate("Profile", "应为对象，不是%1").arg(kindText(value)));
        const QJsonObject cells = value.toObject();
        for (int column = WattageColumn; column < SettingsColumns; ++column) {
            if (!settingsCellTakesNumber(row, column))
                continue;
            const QLatin1String key(columnKey(column));
            const QString cellPath = path + QLatin1Char('.') + key;
            const QJsonValue cell = cells.value(key);
            if (cell.isUndefined()) {
                if (!missing(cellPath))
                    return false;
                continue;
            }
            qint32 &wire = load.profile.settings[size_t(row)][size_t(column)];
            if (!(column == TcrColumn ? tcr(cell, cellPath, wire) : wireInteger(cell, cellPath, wire)))
                return false;
            load.profile.cells[size_t(row)][size_t(column)] = true;
        }
        return true;
    }

    bool readCurves(const QJsonValue &value)
    {
        const QString path = QStringLiteral("curves");
        if (value.isUndefined())
            return true;
        if (!value.isObject())
            return fail(path, QCoreApplication::translate("Profile", "应为对象，不是%1").arg(kindText(value)));
        const QJsonObject curves = value.toObject();
        for (int curve = 0; curve < CurveCount; ++curve) {
            const QJsonValue points = curves.value(curveKey(curve));
            const QString curvePath = path + QLatin1Char('.') + curveKey(curve);
            if (points.isUndefined())
                continue;
            if (!points.isArray())
                return fail(curvePath, QCoreApplication::translate("Profile", "应为数组，不是%1").arg(kindText(points)));
            const QJsonArray array = points.toArray();
            if (array.size() != CurvePoints)
                return fail(curvePath,
                            QCoreApplication::translate("Profile", "应为 %1 个数值，实为 %2 个").arg(CurvePoints).arg(array.size()));
            CurvePointsRow row{};
            for (int point = 0; point < CurvePoints; ++point) {
                if (!wireInteger(array.at(point), QStringLiteral("%1[%2]").arg(curvePath).arg(point),
                                 row[size_t(point)]))
                    return false;
            }
            load.profile.curves[size_t(curve)] = row;
        }
        return true;
    }

    ProfileMode mode;
    ProfileLoad load;
};

} // namespace

SettingsCells allSettingsCells()
{
    SettingsCells cells{};
    for (int row = 0; row < SettingsRows; ++row)
        for (int column = 0; column < SettingsColumns; ++column)
            cells[size_t(row)][size_t(column)] = settingsCellTakesNumber(row, column);
    return cells;
}

QByteArray profileToJson(const Profile &profile)
{
    QByteArray json = "{\n    \"format\": " + jsonString(FormatName) + ",\n    \"version\": "
                      + QByteArray::number(ProfileVersion) + ",\n";

    if (profile.deviceName || profile.firmwareVersion) {
        QByteArrayList fields;
        if (profile.deviceName)
            fields << "        \"name\": " + jsonString(*profile.deviceName);
        if (profile.firmwareVersion)
            fields << "        \"firmware\": " + jsonString(*profile.firmwareVersion);
        json += "    \"device\": {\n" + fields.join(",\n") + "\n    },\n";
    }

    QByteArrayList rows;
    for (int row = 0; row < SettingsRows; ++row) {
        QByteArrayList cells;
        for (int column = WattageColumn; column < SettingsColumns; ++column) {
            if (!settingsCellTakesNumber(row, column) || !profile.cells[size_t(row)][size_t(column)])
                continue;
            const qint32 wire = profile.settings[size_t(row)][size_t(column)];
            cells << '"' + QByteArray(columnKey(column)) + "\": "
                         + (column == TcrColumn ? tcrText(wire) : QByteArray::number(wire));
        }
        if (!cells.isEmpty())
            rows << "        \"" + QByteArray(settingsRows()[size_t(row)].name) + "\": {" + cells.join(", ") + '}';
    }
    json += rows.isEmpty() ? QByteArray("    \"settings\": {},\n")
                           : "    \"settings\": {\n" + rows.join(",\n") + "\n    },\n";

    QByteArrayList curves;
    for (int curve = 0; curve < CurveCount; ++curve) {
        if (!profile.curves[size_t(curve)])
            continue;
        QByteArrayList points;
        for (qint32 watts : *profile.curves[size_t(curve)])
            points << QByteArray::number(watts);
        curves << "        \"" + curveKey(curve).toLatin1() + "\": [" + points.join(", ") + ']';
    }
    json += curves.isEmpty() ? QByteArray("    \"curves\": {}\n") : "    \"curves\": {\n" + curves.join(",\n") + "\n    }\n";
    return json + "}\n";
}

ProfileLoad loadProfile(const QByteArray &bytes, ProfileMode mode, const SettingsValues &current)
{
    return ProfileReader(mode, current).read(bytes);
}

ProfileLoad loadProfileFile(const QString &path, ProfileMode mode, const SettingsValues &current)
{
    const SmallFileRead file = readSmallFile(path, MaxProfileFileSize);
    if (!file.ok()) {
        ProfileLoad load;
        load.error = QCoreApplication::translate("Profile", "无法读取配置文件：%1").arg(smallFileRefusal(file, path, MaxProfileFileSize));
        return load;
    }
    return loadProfile(file.bytes, mode, current);
}

QString defaultProfileFileName(const QString &deviceName, const QDateTime &when)
{
    // Only characters every file system takes; each run of others becomes one
    // '-', and dots may not lead (a hidden file) or trail (refused on Windows).
    QString safe;
    bool replaced = false;
    for (const QChar c : deviceName) {
        const ushort u = c.unicode();
        const bool keep = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '-'
                          || u == '_' || u == '.';
        if (keep) {
            safe += c;
            replaced = false;
        } else if (!replaced) {
            safe += QLatin1Char('-');
            replaced = true;
        }
    }
    safe.truncate(64);
    while (safe.startsWith(QLatin1Char('.')) || safe.startsWith(QLatin1Char('-')))
        safe.remove(0, 1);
    while (safe.endsWith(QLatin1Char('.')) || safe.endsWith(QLatin1Char('-')))
        safe.chop(1);
    if (safe.isEmpty())
        safe = QStringLiteral("tessel");
    return QStringLiteral("%1-%2.tessel.json").arg(safe, when.date().toString(QStringLiteral("yyyy-MM-dd")));
}
