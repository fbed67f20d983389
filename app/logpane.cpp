#include "app/logpane.h"

#include "app/logfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTime>
#include <QTimer>

namespace {

const QTextCharFormat &logFormat()
{
    static const QTextCharFormat format = [] {
        QTextCharFormat f;
        f.setForeground(QColor(235, 235, 235, 255));
        return f;
    }();
    return format;
}

// "  hh:mm:ss:zzz   ", written directly: QTime::toString parses its format
// string on every call.
QString logTimeStamp(const QTime &t)
{
    QString stamp(QStringLiteral("  00:00:00:000   "));
    const auto put = [&stamp](int at, int value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            stamp[at + i] = QLatin1Char(char('0' + value % 10));
    };
    put(2, t.hour(), 2);
    put(5, t.minute(), 2);
    put(8, t.second(), 2);
    put(11, t.msec(), 3);
    return stamp;
}

// The local time of day, without asking the C library for the time zone on
// every log line (glibc looks at /etc/localtime on each call, which made the
// stamp the dearest part of a line). The offset from UTC is taken afresh
// whenever the minute changes, the only moments daylight saving time can
// begin or end.
QTime localTimeNow()
{
    static qint64 offsetMinute = -1;
    static qint64 offsetMs = 0;
    const qint64 utcMs = QDateTime::currentMSecsSinceEpoch();
    const qint64 minute = utcMs / 60000;
    if (minute != offsetMinute) {
        offsetMinute = minute;
        offsetMs = qint64(QDateTime::fromMSecsSinceEpoch(utcMs).offsetFromUtc()) * 1000;
    }
    constexpr qint64 DayMs = 24 * 60 * 60 * 1000;
    return QTime::fromMSecsSinceStartOfDay(int(((utcMs + offsetMs) % DayMs + DayMs) % DayMs));
}

constexpr qint64 HiddenLogEventIntervalMs = 4;

} // namespace

LogPane::LogPane(QTextBrowser *view) : view(view)
{
    view->document()->setMaximumBlockCount(MaxLines);
}

LogPane::~LogPane() = default;

void LogPane::setFile(std::unique_ptr<LogFile> file)
{
    logFile = std::move(file);
}

void LogPane::append(const QString &text, bool detail)
{
    const QString line = logTimeStamp(localTimeNow()) + QStringLiteral("-->   ") + text;
    // Detail lines left waiting when the transfer stops logging still go in
    // within a few milliseconds.
    if (detail && pending.isEmpty())
        QTimer::singleShot(HiddenLogEventIntervalMs, view, [this] { flush(); });
    // A line break before the line starts its paragraph within the same edit.
    if (!pending.isEmpty() || !view->document()->isEmpty())
        pending += QLatin1Char('\n');
    pending += line;
    if (logFile)
        pendingFile += line + QLatin1Char('\n');

    // A line that is not detail is drawn at once when the pane is shown. A
    // transfer logging a line per report would otherwise spend most of its
    // time drawing and looking for events: they are handled every few
    // milliseconds, often enough for clicks and repaints to feel immediate.
    const bool eventsDue = !sinceEvents.isValid() || sinceEvents.hasExpired(HiddenLogEventIntervalMs);
    if (!detail || eventsDue)
        flush();
    if (eventsDue || (!detail && view->isVisible())) {
        QCoreApplication::processEvents();
        sinceEvents.start();
    }
}

void LogPane::flush()
{
    if (!pendingFile.isEmpty()) {
        logFile->write(pendingFile);
        pendingFile.clear();
    }
    if (pending.isEmpty())
        return;
    // One paragraph per line, written through a cursor at the end of the
    // document in one edit: the same text and colour as appending the pieces
    // one by one, at a fraction of the cost.
    QTextCursor cursor(view->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(pending, logFormat());
    pending.clear();
    // Keeping the newest line in view lays the text out; a hidden pane needs no view.
    if (view->isVisible()) {
        view->moveCursor(QTextCursor::End);
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    }
}
