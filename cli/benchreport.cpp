#include "cli/benchreport.h"

#include "cli/console.h"
#include "cli/exitcodes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

// Commands whose output is the point of running them: shown under the
// device's line, or kept as its result in the document.
bool reads(const QString &command)
{
    return command == QLatin1String("info") || command == QLatin1String("slots");
}

QString indented(const QString &text)
{
    QString result;
    for (const QString &line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        result += QStringLiteral("    ") + line + QLatin1Char('\n');
    return result;
}

QString seconds(double value)
{
    return QString::number(value, 'f', 2) + QStringLiteral(" s");
}

} // namespace

QString failureLine(const DeviceRun &run, const QString &program)
{
    if (run.code == ExitSuccess)
        return QString();
    const QString prefix = program + QStringLiteral(": ");
    const QStringList lines = run.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        if (line->startsWith(prefix))
            return line->mid(prefix.size());
    }
    return lines.isEmpty() ? QStringLiteral("failed") : lines.last();
}

BenchReport::BenchReport(Console &console, const CliOptions &options) : console(console), options(options) {}

QString BenchReport::deviceLine(const DeviceRun &run) const
{
    const QString serial = run.device.serial.isEmpty() ? QStringLiteral("(no serial)") : run.device.serial;
    const QString result = run.code == ExitSuccess
                               ? QStringLiteral("ok")
                               : QStringLiteral("failed (exit %1): %2").arg(run.code).arg(failureLine(run, options.program));
    return QStringLiteral("%1  %2  %3  %4\n")
        .arg(serial, -16)
        .arg(QString::fromLocal8Bit(run.device.path), -14)
        .arg(result, seconds(run.seconds));
}

void BenchReport::add(const DeviceRun &run)
{
    runs.append(run);
    if (options.json)
        return;
    QString text = deviceLine(run);
    if (!options.quiet && (reads(options.command) || options.verbose))
        text += indented(run.out);
    if (options.verbose)
        text += indented(run.err);
    console.out(text);
}

int BenchReport::finish(double totalSeconds)
{
    int code = ExitSuccess;
    int failed = 0;
    for (const DeviceRun &run : runs) {
        if (run.code != ExitSuccess) {
            ++failed;
            code = std::max(code, run.code);
        }
    }
    const int succeeded = int(runs.size()) - failed;
    if (!options.json) {
        console.out(QStringLiteral("%1 device(s): %2 succeeded, %3 failed; %4\n")
                        .arg(runs.size())
                        .arg(succeeded)
                        .arg(failed)
                        .arg(seconds(totalSeconds)));
        return code;
    }
    QVector<DeviceRun> ordered = runs;
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const DeviceRun &a, const DeviceRun &b) { return a.device.order < b.device.order; });
    QJsonArray devices;
    for (const DeviceRun &run : ordered) {
        QJsonObject entry{{QStringLiteral("serial"), run.device.serial.isEmpty() ? QJsonValue() : run.device.serial},
                          {QStringLiteral("path"), QString::fromLocal8Bit(run.device.path)},
                          {QStringLiteral("success"), run.code == ExitSuccess},
                          {QStringLiteral("exitCode"), run.code},
                          {QStringLiteral("seconds"), run.seconds},
                          {QStringLiteral("error"), run.code == ExitSuccess ? QJsonValue()
                                                                            : failureLine(run, options.program)}};
        const QJsonDocument document = QJsonDocument::fromJson(run.out.toUtf8());
        if (reads(options.command))
            entry.insert(QStringLiteral("result"), document.isObject() ? QJsonValue(document.object()) : QJsonValue());
        else
            entry.insert(QStringLiteral("output"), QJsonArray::fromStringList(
                                                       run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)));
        devices.append(entry);
    }
    const QJsonObject document{{QStringLiteral("command"), options.command},
                               {QStringLiteral("devices"), devices},
                               {QStringLiteral("succeeded"), succeeded},
                               {QStringLiteral("failed"), failed},
                               {QStringLiteral("seconds"), totalSeconds},
                               {QStringLiteral("exitCode"), code}};
    console.out(QString::fromUtf8(QJsonDocument(document).toJson(QJsonDocument::Indented)));
    return code;
}
