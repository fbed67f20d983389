#pragma once
// One power curve as a small CSV file, for spreadsheets: ten lines
// "second,watts" for the seconds 0 to 9, no header, '\n' line ends.

#include "settings/powercurves.h"

#include <QByteArray>
#include <QString>

// Large enough for any ten lines a person would write; larger is not a curve.
constexpr qint64 MaxCurveCsvFileSize = 64 * 1024;

struct CurveCsvLoad
{
    CurvePointsRow points{};
    QString error;   // the log line; empty when the curve was read
    bool ok() const { return error.isEmpty(); }
};

QByteArray curveToCsv(const CurvePointsRow &points);

// Exactly ten lines, the seconds 0 to 9 in order, watts 0-65535. Tolerates
// CRLF line ends, one line end after the last line, spaces around the
// fields and a UTF-8 byte order mark, as spreadsheets write them.
CurveCsvLoad curveFromCsv(const QByteArray &csv);

// Reads a regular file of at most MaxCurveCsvFileSize, then reads it as above.
CurveCsvLoad loadCurveCsvFile(const QString &path);
