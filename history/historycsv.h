#pragma once
// Service history rows as comma-separated values, for a bench's own records
// (tesselctl --record FILE.csv) and for `tesselctl history --csv`.

#include "history/servicehistory.h"

#include <QString>

// A field as CSV holds it: quoted, with its quotes doubled, when it holds a
// comma, a quote, a line break or space at either end; as it is otherwise.
QString csvField(const QString &text);
QString historyCsvHeader();
// One row, without the line end.
QString historyCsvLine(const HistoryRow &row);
// Appends row to file, with the header first when the file is new or empty.
// Writers in several processes append whole lines, one at a time.
bool appendHistoryCsv(const QString &file, const HistoryRow &row);
