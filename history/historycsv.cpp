#include "history/historycsv.h"

#include <QFile>
#include <QLockFile>
#include <QStringList>

namespace {

QString secondsText(double seconds)
{
    return seconds < 0 ? QString() : QString::number(seconds, 'f', 3);
}

} // namespace

QString csvField(const QString &text)
{
    const bool quoted = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
                        || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))
                        || (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quoted)
        return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + doubled + QLatin1Char('"');
}

QString historyCsvHeader()
{
    return QStringLiteral("time,serial,path,model,firmware_before,firmware_after,job,result,seconds,program_version");
}

QString historyCsvLine(const HistoryRow &row)
{
    QStringList fields;
    for (const QString &field : {row.time, row.serial, row.path, row.model, row.firmwareBefore, row.firmwareAfter,
                                 row.job, row.result, secondsText(row.seconds), row.programVersion})
        fields << csvField(field);
    return fields.join(QLatin1Char(','));
}

bool appendHistoryCsv(const QString &file, const HistoryRow &row)
{
    // The header is written once though several processes record at once.
    QLockFile lock(file + QStringLiteral(".lock"));
    lock.tryLock(5000);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    QByteArray text;
    if (out.size() == 0)
        text = historyCsvHeader().toUtf8() + "\r\n";
    text += historyCsvLine(row).toUtf8() + "\r\n";
    return out.write(text) == text.size() && out.flush();
}
