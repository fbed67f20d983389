#include "cli/settingscommands.h"

#include "cli/commandcontext.h"
#include "cli/exitcodes.h"
#include "control/devicecontroller.h"
#include "device/deviceinfoquery.h"
#include "settings/curvecsv.h"
#include "settings/curveexchange.h"
#include "settings/profile.h"
#include "settings/settingsranges.h"
#include "settings/settingswrite.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace {

QString curveName(int curve)
{
    return QStringLiteral("M%1").arg(curve + 1);
}

QString pointsText(const CurvePointsRow &points)
{
    QStringList values;
    for (qint32 watts : points)
        values << QString::number(watts);
    return values.join(QLatin1Char(','));
}

// The device's ranges, asked for as the window's start-up query does, and the
// table's wattages and temperatures (when table is set) and each curve's
// points held against them, by the same rules as the window's questions.
// path names the file in the message; empty for points given as numbers.
int checkRanges(CommandContext &context, const Profile &profile, bool table, const QString &path)
{
    const JobOutcome asked = context.device.run([](DeviceController &c) { return c.startDeviceQuery(); });
    if (asked.interrupted)
        return context.interrupted(QStringLiteral("nothing was written"));
    const DeviceQueryResult answer = asked.result.value<DeviceQueryResult>();
    const DeviceQuery &query = answer.query;
    const DeviceInfo &info = answer.info;
    if (!(query.items & InfoScreenAndRanges))
        return context.fail(ExitDeviceError, QStringLiteral("the device did not report its ranges; nothing was "
                                                            "written (--force writes without the range check)"));
    // The table written is always whole, so every cell is judged.
    const QVector<OutOfRangeCell> outside = table ? cellsOutOfRange(profile.settings, info.screen)
                                                  : QVector<OutOfRangeCell>();
    if (!outside.isEmpty())
        return context.fail(ExitBadInput, QStringLiteral("%1: %2 value(s) outside the device's ranges, first %3; "
                                                         "nothing was written (--force writes them all the same)")
                                              .arg(path)
                                              .arg(outside.size())
                                              .arg(outOfRangeText(outside.first())));
    for (int curve = 0; curve < CurveCount; ++curve) {
        if (!profile.curves[size_t(curve)])
            continue;
        const QVector<QPoint> above = curvePointsAboveTop(*profile.curves[size_t(curve)], info.screen);
        if (!above.isEmpty())
            return context.fail(ExitBadInput,
                                QStringLiteral("%1curve %2 has %3 point(s) above the device's top of %4 W, first "
                                               "%5; nothing was written (--force writes them all the same)")
                                    .arg(path.isEmpty() ? QString() : path + QStringLiteral(": "), curveName(curve))
                                    .arg(above.size())
                                    .arg(info.screen.powerHigh)
                                    .arg(curvePointAboveText(curve, above.first(), info.screen)));
    }
    return ExitSuccess;
}

bool holdsWholeTable(const Profile &profile)
{
    return profile.cells == allSettingsCells();
}

bool holdsAnyCell(const Profile &profile)
{
    for (const auto &row : profile.cells)
        for (bool cell : row)
            if (cell)
                return true;
    return false;
}

int writeTable(CommandContext &context, const Profile &profile)
{
    int code = ExitSuccess;
    if (!context.openDevice(code, DeviceJob::SettingsWrite))
        return code;
    const SettingsValues &values = profile.settings;
    const JobOutcome written = context.device.run([&](DeviceController &c) { return c.startSettingsWrite(values); });
    if (written.interrupted)
        return context.interrupted(QStringLiteral("the settings were not written"));
    if (!written.success)
        return context.fail(ExitDeviceError, QStringLiteral("the settings did not reach the device%1").arg(context.lastDeviceLine()));
    return ExitSuccess;
}

int writeOneCurve(CommandContext &context, int curve, const CurvePointsRow &points)
{
    int code = ExitSuccess;
    if (!context.openDevice(code, DeviceJob::CurveWrite))
        return code;
    const JobOutcome written = context.device.run([&](DeviceController &c) { return c.startCurveWrite(curve, points); });
    if (written.interrupted)
        return context.interrupted(QStringLiteral("curve %1 was not written").arg(curveName(curve)));
    if (!written.success)
        return context.fail(ExitDeviceError,
                            QStringLiteral("curve %1 did not reach the device%2").arg(curveName(curve), context.lastDeviceLine()));
    return ExitSuccess;
}

ProfileLoad loadForApply(const QString &path)
{
    // Merged onto nothing: what the file leaves out stays unmarked. A table
    // that is there must be whole (the device's other values cannot be read
    // back), so a partial one is loaded again whole for the loader's own
    // refusal of its first missing cell.
    ProfileLoad load = loadProfileFile(path, ProfileMode::Merge);
    if (load.ok() && holdsAnyCell(load.profile) && !holdsWholeTable(load.profile))
        load = loadProfileFile(path, ProfileMode::Complete);
    return load;
}

} // namespace

int curveIndex(const QString &name)
{
    const QString upper = name.toUpper();
    for (int curve = 0; curve < CurveCount; ++curve) {
        if (upper == curveName(curve))
            return curve;
    }
    return -1;
}

bool parseCurvePoints(const QString &text, CurvePointsRow &points, QString &problem)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != CurvePoints) {
        problem = QStringLiteral("%1 value(s) where a curve takes exactly ten").arg(fields.size());
        return false;
    }
    static const QRegularExpression wholeNumber(QStringLiteral("^-?[0-9]+$"));
    for (int j = 0; j < CurvePoints; ++j) {
        const QString field = fields.at(j).trimmed();
        if (!wholeNumber.match(field).hasMatch()) {
            problem = QStringLiteral("'%1' (second %2) is not a whole number of watts 0-65535").arg(field).arg(j);
            return false;
        }
        // Digits past what 64 bits hold are out of range all the same.
        bool ok = false;
        const qlonglong watts = field.toLongLong(&ok);
        if (!ok || watts < 0 || watts > 65535) {
            problem = QStringLiteral("'%1' (second %2) is outside 0-65535 watts").arg(field).arg(j);
            return false;
        }
        points[size_t(j)] = qint32(watts);
    }
    return true;
}

int runCurveRead(CommandContext &context)
{
    const QString which = context.options.arguments.value(0, QStringLiteral("all"));
    QVector<int> curves;
    if (which.compare(QLatin1String("all"), Qt::CaseInsensitive) == 0) {
        for (int curve = 0; curve < CurveCount; ++curve)
            curves << curve;
    } else if (curveIndex(which) >= 0) {
        curves << curveIndex(which);
    } else {
        return context.fail(ExitUsage, QStringLiteral("unknown curve '%1': M1 to M5 or all").arg(which));
    }

    QJsonObject read;
    QString text;
    for (int curve : curves) {
        // Each curve is its own exchange, opened and closed, as in the curve dialog.
        int code = ExitSuccess;
        if (!context.openDevice(code, DeviceJob::CurveRead))
            return code;
        const JobOutcome asked = context.device.run([curve](DeviceController &c) { return c.startCurveRead(curve); });
        if (asked.interrupted)
            return context.interrupted(QStringLiteral("curve %1 was not read").arg(curveName(curve)));
        const CurveReadResult points = asked.result.value<CurveReadResult>();
        if (!points)
            return context.fail(ExitDeviceError, QStringLiteral("the device did not answer for curve %1").arg(curveName(curve)));
        QJsonArray values;
        for (qint32 watts : *points)
            values.append(watts);
        read.insert(curveName(curve), values);
        text += curveName(curve) + QLatin1Char(' ') + pointsText(*points) + QLatin1Char('\n');
    }
    context.print(context.options.json
                      ? QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("curves"), read}}).toJson())
                      : text);
    return ExitSuccess;
}

int runCurveWrite(CommandContext &context)
{
    const QString name = context.options.arguments.at(0);
    const int curve = curveIndex(name);
    if (curve < 0)
        return context.fail(ExitUsage, QStringLiteral("unknown curve '%1': M1 to M5").arg(name));
    const QString values = context.options.arguments.at(1);
    CurvePointsRow points{};
    if (values.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) {
        const CurveCsvLoad load = loadCurveCsvFile(values);
        if (!load.ok())
            return context.fail(ExitBadInput, QStringLiteral("%1: %2").arg(values, load.error));
        points = load.points;
    } else {
        QString problem;
        if (!parseCurvePoints(values, points, problem))
            return context.fail(ExitBadInput, QStringLiteral("curve %1: %2").arg(curveName(curve), problem));
    }
    int code = ExitSuccess;
    if (!context.options.force) {
        if (!context.openDevice(code, DeviceJob::DeviceQuery))
            return code;
        Profile curveOnly;
        curveOnly.curves[size_t(curve)] = points;
        const QString file = values.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive) ? values : QString();
        if ((code = checkRanges(context, curveOnly, false, file)) != ExitSuccess)
            return code;
    }
    code = writeOneCurve(context, curve, points);
    if (code == ExitSuccess)
        context.report(QStringLiteral("curve %1 written: %2").arg(curveName(curve), pointsText(points)));
    return code;
}

int runSettingsWrite(CommandContext &context)
{
    const QString path = context.options.arguments.first();
    const ProfileLoad load = loadProfileFile(path, ProfileMode::Complete);
    // The loader's reason says itself what is wrong with the file ("invalid
    // profile: …", "cannot read the profile: …"), in the locale's language.
    if (!load.ok())
        return context.fail(ExitBadInput, QStringLiteral("%1: %2").arg(path, load.error));
    int code = ExitSuccess;
    if (!context.openDevice(code, DeviceJob::DeviceQuery))
        return code;
    if (!context.options.force && (code = checkRanges(context, load.profile, true, path)) != ExitSuccess)
        return code;
    if ((code = writeTable(context, load.profile)) != ExitSuccess)
        return code;
    context.report(QStringLiteral("working-mode table written from %1").arg(path));
    return ExitSuccess;
}

int runProfileApply(CommandContext &context)
{
    const QString path = context.options.arguments.first();
    const ProfileLoad load = loadForApply(path);
    if (!load.ok())
        return context.fail(ExitBadInput, QStringLiteral("%1: %2").arg(path, load.error));
    const Profile &profile = load.profile;
    const bool table = holdsAnyCell(profile);
    QStringList curves;
    for (int curve = 0; curve < CurveCount; ++curve)
        if (profile.curves[size_t(curve)])
            curves << curveName(curve);
    if (!table && curves.isEmpty())
        return context.fail(ExitBadInput, QStringLiteral("%1: the profile holds neither settings nor curves").arg(path));

    int code = ExitSuccess;
    if (!context.openDevice(code, DeviceJob::DeviceQuery))
        return code;
    if (!context.options.force && (code = checkRanges(context, profile, table, path)) != ExitSuccess)
        return code;
    if (table && (code = writeTable(context, profile)) != ExitSuccess)
        return code;
    for (int curve = 0; curve < CurveCount; ++curve) {
        if (profile.curves[size_t(curve)] && (code = writeOneCurve(context, curve, *profile.curves[size_t(curve)])) != ExitSuccess)
            return code;
    }
    QStringList applied;
    if (table)
        applied << QStringLiteral("working-mode table");
    if (!curves.isEmpty())
        applied << QStringLiteral("curve(s) %1").arg(curves.join(QStringLiteral(", ")));
    context.report(QStringLiteral("applied %1 from %2").arg(applied.join(QStringLiteral(" and ")), path));
    return ExitSuccess;
}
