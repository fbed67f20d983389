#include "app/logpane.h"

#include "app/logfile.h"
#include "control/detaillines.h"

#include <QDateTime>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTime>
#include <QTimer>

#include <algorithm>

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

// "  hh:mm:ss:zzz   -->   " at the end of line, written in place: QTime::toString
// parses its format string on every call, and a line per report is logged.
void appendLinePrefix(QString &line, const QTime &t)
{
    static const QString blank(QStringLiteral("  00:00:00:000   -->   "));
    const int at = line.size();
    line += blank;
    QChar *digits = line.data() + at;
    const auto put = [digits](int from, int value, int count) {
        for (int i = count - 1; i >= 0; --i, value /= 10)
            digits[from + i] = QLatin1Char(char('0' + value % 10));
    };
    put(2, t.hour(), 2);
    put(5, t.minute(), 2);
    put(8, t.second(), 2);
    put(11, t.msec(), 3);
}

// text at the end of paragraph: a break inside it (a file name may hold one)
// becomes a line break within the paragraph, which the plain text shows as
// the document would have shown the break, and the document keeps the
// paragraphs the pane counts. "\r\n" is one break, as the document takes it.
void appendWithinParagraph(QString &paragraph, QStringView text)
{
    const auto breaks = [](QChar c) {
        return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar(QChar::ParagraphSeparator)
               || c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1;   // frame marks
    };
    if (std::none_of(text.begin(), text.end(), breaks)) {
        paragraph += text;
        return;
    }
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!breaks(c)) {
            paragraph += c;
            continue;
        }
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        paragraph += QChar(QChar::LineSeparator);
    }
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

// Detail lines on screen are drawn in batches every other frame: 30 a second
// read as live.
constexpr int ShownBatchIntervalMs = 33;
constexpr int ParagraphLines = 256;

} // namespace

LogPane::LogPane(QTextBrowser *view) : view(view)
{
    flushTimer.setSingleShot(true);
    QObject::connect(&flushTimer, &QTimer::timeout, view, [this] { flush(); });
    // Whatever the pane held before counts as a line per paragraph.
    const QTextDocument *document = view->document();
    if (!document->isEmpty()) {
        paragraphLines.assign(size_t(document->blockCount()), 1);
        documentLines = document->blockCount();
    }
}

LogPane::~LogPane() = default;

void LogPane::setFile(std::unique_ptr<LogFile> file)
{
    flush();
    logFile = std::move(file);
    if (!fileChosen && logFile && !earlyFile.isEmpty())
        logFile->write(earlyFile);
    fileChosen = true;
    earlyFile = QString();
    earlyLines = 0;
}

void LogPane::append(const QString &text, bool detail)
{
    // A paragraph takes ParagraphLines lines at most: an edit at the top of
    // the pane (the oldest lines dropping) lays out one short paragraph again.
    if (!pending.isEmpty())
        pending += QChar(pendingLines % ParagraphLines == 0 ? QChar::ParagraphSeparator : QChar::LineSeparator);
    const int lineStart = pending.size();
    appendLinePrefix(pending, localTimeNow());
    addPending(lineStart, text);

    // A line that is not detail goes into the pane at once, detail lines (one
    // per report of a transfer) in batches. The device works on a thread of
    // its own: the pane never turns the event loop itself, so a job's lines
    // and ends are seen in the order the job said them.
    if (detail)
        takeDetailsSoon();
    else
        flush();
}

void LogPane::appendDetails(const DetailLines &lines)
{
    if (lines.isEmpty())
        return;
    // The run arrived in one piece: one look at the clock stamps it all.
    QString stamp;
    appendLinePrefix(stamp, localTimeNow());
    for (int i = 0; i < lines.size(); ++i) {
        if (!pending.isEmpty())
            pending += QChar(pendingLines % ParagraphLines == 0 ? QChar::ParagraphSeparator : QChar::LineSeparator);
        const int lineStart = pending.size();
        pending += stamp;
        addPending(lineStart, lines.at(i));
    }
    takeDetailsSoon();
}

void LogPane::addPending(int lineStart, QStringView text)
{
    if (logFile) {
        pendingFile += QStringView(pending).mid(lineStart);
        pendingFile += text;
        pendingFile += QLatin1Char('\n');
    } else if (!fileChosen && earlyLines < EarlyLinesKept) {
        earlyFile += QStringView(pending).mid(lineStart);
        earlyFile += text;
        earlyFile += QLatin1Char('\n');
        ++earlyLines;
    }
    appendWithinParagraph(pending, text);
    ++pendingLines;
}

void LogPane::takeDetailsSoon()
{
    if (flushTimer.isActive())
        return;
    // On screen, every other frame: drawing each line as it comes would cost
    // more than the report. Hidden, nothing is drawn, and the lines a look at
    // the device thread brought go in together once the events waiting now
    // have run: the document does its share while the transfer goes on,
    // rather than all of it after the last report.
    flushTimer.start(view->isVisible() ? int(ShownBatchIntervalMs) : 0);
}

void LogPane::flush()
{
    if (!pendingFile.isEmpty()) {
        logFile->write(pendingFile);
        pendingFile.resize(0);
    }
    flushTimer.stop();
    if (pending.isEmpty())
        return;
    // The batch as a paragraph of its own at the end of the document, in one
    // edit. Inside an edit block the cursor does not lay out the last line to
    // find its x position after each move.
    QTextDocument *document = view->document();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    if (!paragraphLines.empty())
        cursor.insertBlock();
    cursor.insertText(pending, logFormat());
    cursor.endEditBlock();
    for (int lines = pendingLines; lines > 0; lines -= ParagraphLines)
        paragraphLines.push_back(qMin(lines, ParagraphLines));
    documentLines += pendingLines;
    // Kept at its size for the next batch: a transfer's batches are alike.
    pending.resize(0);
    pendingLines = 0;
    if (documentLines > MaxLines)
        dropOldestLines();
    // Keeping the newest line in view lays the text out; a hidden pane needs no view.
    if (view->isVisible()) {
        view->moveCursor(QTextCursor::End);
        view->verticalScrollBar()->setValue(view->verticalScrollBar()->maximum());
    }
}

void LogPane::dropOldestLines()
{
    QTextDocument *document = view->document();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    int excess = documentLines - MaxLines;
    // Whole paragraphs first: from the start of the document to the start of
    // the first paragraph that stays.
    int wholeParagraphs = 0;
    int wholeLines = 0;
    while (wholeParagraphs + 1 < int(paragraphLines.size())
           && paragraphLines[size_t(wholeParagraphs)] <= excess - wholeLines) {
        wholeLines += paragraphLines[size_t(wholeParagraphs)];
        ++wholeParagraphs;
    }
    if (wholeParagraphs > 0) {
        const QTextBlock firstKept = document->findBlockByNumber(wholeParagraphs);
        cursor.setPosition(0);
        cursor.setPosition(firstKept.position(), QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        paragraphLines.erase(paragraphLines.begin(), paragraphLines.begin() + wholeParagraphs);
        documentLines -= wholeLines;
        excess -= wholeLines;
    }
    // Then the oldest lines of the paragraph now first, up to and including
    // the separator after the last of them.
    if (excess > 0) {
        const QString text = document->firstBlock().text();
        int at = -1;
        for (int i = 0; i < excess; ++i)
            at = text.indexOf(QChar(QChar::LineSeparator), at + 1);
        cursor.setPosition(0);
        cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        paragraphLines.front() -= excess;
        documentLines -= excess;
    }
    cursor.endEditBlock();
}
