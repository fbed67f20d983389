#pragma once
// A progress bar fed by a transfer that reports thousands of steps. Redrawing
// the bar for each one cost more than sending the reports, so a new value is
// taken only when it changes what the bar shows, and at most every 100 ms:
// ten steps a second read as smooth progress, and a redraw of the large bar
// (some 0.5 ms, longer when the transfer waited on the link in between) then
// costs a 1 ms-per-report upload under 1 % of its time. The first value of an
// action, its final value and a failure's 0 are shown at once; a value held
// back is shown once the interval is over, so the bar always ends on the last
// value it was given.

#include <QElapsedTimer>
#include <QPointer>

class QProgressBar;

class ProgressThrottle
{
public:
    static constexpr qint64 IntervalMs = 100;

    explicit ProgressThrottle(QProgressBar *bar);

    // A new range starts a new action: its first value is shown at once.
    void setMaximum(int maximum);
    // atOnce: the first or final value, or a failure's.
    void setValue(int value, bool atOnce = false);
    // Shows a value held back, now; the next value is again a first one.
    void settle();

private:
    void show(int value);
    bool looksTheSame(int value) const;

    QPointer<QProgressBar> bar;
    QElapsedTimer sinceShown;
    bool first = true;
    bool holding = false;
    int held = 0;
    bool timerArmed = false;
};
