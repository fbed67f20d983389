#pragma once
// Progress of a long transfer on standard error: on a terminal one line
// redrawn in place (bar, percent, reports sent, rate); on a pipe, when asked
// for, a plain line at every tenth; otherwise nothing.

#include <QElapsedTimer>
#include <QString>

class Console;

class ProgressLine
{
public:
    enum class Style { Off, Bar, Steps };

    ProgressLine(Console &console, Style style);

    // value out of maximum; reports counts the reports sent so far.
    void show(qint64 value, qint64 maximum, qint64 reports);
    // Clears a drawn bar so that another line can be printed; the next show
    // draws it again.
    void makeRoom();
    // Leaves the last state standing on its own line.
    void finish();

private:
    QString text(int percent, qint64 reports) const;

    Console &console;
    Style style;
    QElapsedTimer clock;
    qint64 firstReports = -1;
    qint64 lastReports = 0;
    int lastPercent = -1;
    qint64 lastDrawMs = 0;
    bool drawn = false;
    int lastStep = -1;
};
