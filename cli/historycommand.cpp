#include "cli/historycommand.h"

#include "cli/commandcontext.h"
#include "cli/exitcodes.h"
#include "history/historycsv.h"
#include "history/servicehistory.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString secondsText(double seconds)
{
    return seconds < 0 ? QString() : QString::number(seconds, 'f', 1);
}

QString firmwareText(const HistoryRow &row)
{
    if (row.firmwareAfter.isEmpty())
        return row.firmwareBefore;
    return QStringLiteral("%1 -> %2").arg(row.firmwareBefore, row.firmwareAfter);
}

// Columns as wide as their widest cell; the last one is not padded.
QString table(const QVector<HistoryRow> &rows)
{
    QVector<QStringList> lines{{QStringLiteral("TIME"), QStringLiteral("SERIAL"), QStringLiteral("MODEL"),
                                QStringLiteral("JOB"), QStringLiteral("RESULT"), QStringLiteral("SECONDS"),
                                QStringLiteral("FIRMWARE"), QStringLiteral("PATH")}};
    for (const HistoryRow &row : rows)
        lines.append({row.time, row.serial, row.model, row.job, row.result, secondsText(row.seconds),
                      firmwareText(row), row.path});
    QVector<int> widths(lines.first().size(), 0);
    for (const QStringList &line : lines)
        for (int column = 0; column < line.size(); ++column)
            widths[column] = qMax(widths[column], line.at(column).size());
    QString text;
    for (const QStringList &line : lines) {
        QString out;
        for (int column = 0; column < line.size(); ++column)
            out += column + 1 < line.size() ? line.at(column).leftJustified(widths[column] + 2) : line.at(column);
        text += out.trimmed() + QLatin1Char('\n');
    }
    return text;
}

QString json(const QVector<HistoryRow> &rows)
{
    QJsonArray entries;
    const auto text = [](const QString &value) { return value.isEmpty() ? QJsonValue() : QJsonValue(value); };
    for (const HistoryRow &row : rows) {
        entries.append(QJsonObject{{QStringLiteral("time"), row.time},
                                   {QStringLiteral("serial"), text(row.serial)},
                                   {QStringLiteral("path"), text(row.path)},
                                   {QStringLiteral("model"), text(row.model)},
                                   {QStringLiteral("firmwareBefore"), text(row.firmwareBefore)},
                                   {QStringLiteral("firmwareAfter"), text(row.firmwareAfter)},
                                   {QStringLiteral("job"), row.job},
                                   {QStringLiteral("result"), row.result},
                                   {QStringLiteral("seconds"), row.seconds < 0 ? QJsonValue() : QJsonValue(row.seconds)},
                                   {QStringLiteral("programVersion"), text(row.programVersion)}});
    }
    return QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("jobs"), entries}}).toJson(QJsonDocument::Indented));
}

} // namespace

int runHistory(CommandContext &context)
{
    const QString serial = context.options.arguments.value(0);
    const QString file = ServiceHistory::defaultPath();
    QVector<HistoryRow> rows;
    // No file yet is an empty history; asking does not create one.
    if (!file.isEmpty() && QFileInfo::exists(file)) {
        ServiceHistory history(file);
        rows = history.rows(serial);
        const QString problem = history.takeProblem();
        if (!problem.isEmpty())
            context.remark(problem);
    }
    if (context.options.json) {
        context.print(json(rows));
    } else if (context.options.csv) {
        QString text = historyCsvHeader() + QLatin1Char('\n');
        for (const HistoryRow &row : rows)
            text += historyCsvLine(row) + QLatin1Char('\n');
        context.print(text);
    } else {
        context.print(table(rows));
    }
    return ExitSuccess;
}
