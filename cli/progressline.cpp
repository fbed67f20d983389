#include "cli/progressline.h"

#include "cli/console.h"

namespace {

constexpr int BarWidth = 30;
// A terminal is redrawn at most this often unless the percent changes.
constexpr qint64 RedrawIntervalMs = 100;

} // namespace

ProgressLine::ProgressLine(Console &console, Style style) : console(console), style(style) {}

void ProgressLine::show(qint64 value, qint64 maximum, qint64 reports)
{
    if (style == Style::Off || maximum <= 0)
        return;
    if (firstReports < 0) {
        firstReports = reports;
        clock.start();
    }
    lastReports = reports;
    // Tall pictures report steps beyond the maximum.
    const int percent = int(qBound(qint64(0), value * 100 / maximum, qint64(100)));
    if (style == Style::Steps) {
        const int step = percent / 10;
        if (step > lastStep) {
            lastStep = step;
            console.err(QStringLiteral("progress: ") + text(percent, reports) + QLatin1Char('\n'));
        }
        lastPercent = percent;
        return;
    }
    const qint64 now = clock.elapsed();
    if (drawn && percent == lastPercent && now - lastDrawMs < RedrawIntervalMs)
        return;
    lastPercent = percent;
    lastDrawMs = now;
    const int filled = percent * BarWidth / 100;
    const QString bar = QStringLiteral("[") + QString(filled, QLatin1Char('#'))
                        + QString(BarWidth - filled, QLatin1Char('.')) + QStringLiteral("] ");
    // Carriage return, the line, and the rest of the old line erased.
    console.err(QStringLiteral("\r") + bar + text(percent, reports) + QStringLiteral("\x1b[K"));
    drawn = true;
}

void ProgressLine::makeRoom()
{
    if (style == Style::Bar && drawn) {
        console.err(QStringLiteral("\r\x1b[K"));
        drawn = false;
    }
}

void ProgressLine::finish()
{
    if (style == Style::Bar && drawn) {
        console.err(QStringLiteral("\n"));
        drawn = false;
    }
}

QString ProgressLine::text(int percent, qint64 reports) const
{
    const qint64 sent = reports - firstReports;
    const double seconds = double(clock.isValid() ? clock.elapsed() : 0) / 1000.0;
    const QString rate = seconds > 0 ? QString::number(qRound64(double(sent) / seconds)) : QStringLiteral("-");
    return QStringLiteral("%1%  %2 reports  %3 reports/s").arg(percent, 3).arg(reports).arg(rate);
}
