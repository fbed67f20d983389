#include "settings/curvecsv.h"

#include "settings/smallfile.h"

#include <QByteArrayList>
#include <QCoreApplication>

namespace {

constexpr qint64 MaxWatts = 65535;

CurveCsvLoad refused(const QString &reason)
{
    CurveCsvLoad load;
    load.error = QCoreApplication::translate("Profile", "曲线文件无效：%1").arg(reason);
    return load;
}

// Decimal digits only: no sign, no exponent, no decimal point. Past 65535 the
// number stays at 65536, so a long run of digits cannot overflow.
bool readNumber(const QByteArray &field, qint64 &number)
{
    if (field.isEmpty())
        return false;
    number = 0;
    for (char c : field) {
        if (c < '0' || c > '9')
            return false;
        number = qMin(number * 10 + (c - '0'), MaxWatts + 1);
    }
    return true;
}

} // namespace

QByteArray curveToCsv(const CurvePointsRow &points)
{
    QByteArray csv;
    for (int second = 0; second < CurvePoints; ++second)
        csv += QByteArray::number(second) + ',' + QByteArray::number(points[size_t(second)]) + '\n';
    return csv;
}

CurveCsvLoad curveFromCsv(const QByteArray &csv)
{
    QByteArray text = csv;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    // Said plainly, rather than as a count of one line.
    if (text.trimmed().isEmpty())
        return refused(QCoreApplication::translate("Profile", "文件是空的"));
    if (text.endsWith('\n'))
        text.chop(1);
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() != CurvePoints)
        return refused(QCoreApplication::translate("Profile", "应为 %1 行，实为 %2 行").arg(CurvePoints).arg(lines.size()));

    CurveCsvLoad load;
    for (int second = 0; second < CurvePoints; ++second) {
        const QString where = QCoreApplication::translate("Profile", "第 %1 行：").arg(second + 1);
        // trimmed() also takes the '\r' of a CRLF line end.
        const QList<QByteArray> fields = lines[second].split(',');
        if (fields.size() != 2)
            return refused(where + QCoreApplication::translate("Profile", "应为“秒,功率”两项"));
        const QByteArray secondField = fields[0].trimmed();
        const QByteArray wattsField = fields[1].trimmed();
        qint64 number = 0;
        if (!readNumber(secondField, number) || number != second)
            return refused(where + QCoreApplication::translate("Profile", "秒数应为 %1，实为“%2”")
                                       .arg(second)
                                       .arg(QString::fromUtf8(secondField.left(20))));
        if (!readNumber(wattsField, number))
            return refused(where + QCoreApplication::translate("Profile", "功率“%1”不是整数").arg(QString::fromUtf8(wattsField.left(20))));
        if (number > MaxWatts)
            return refused(where + QCoreApplication::translate("Profile", "功率 %1 超出 0–65535").arg(QString::fromUtf8(wattsField.left(20))));
        load.points[size_t(second)] = qint32(number);
    }
    return load;
}

CurveCsvLoad loadCurveCsvFile(const QString &path)
{
    const SmallFileRead file = readSmallFile(path, MaxCurveCsvFileSize);
    if (!file.ok()) {
        CurveCsvLoad load;
        load.error = QCoreApplication::translate("Profile", "无法读取曲线文件：%1").arg(smallFileRefusal(file, path, MaxCurveCsvFileSize));
        return load;
    }
    return curveFromCsv(file.bytes);
}
