#pragma once
// The log pane: one time-stamped line per event of the device actions, in the
// window's light grey on its dark background, and the same lines in the log
// file when there is one.
//
// A transfer logs a line per report. Those lines reach the document in
// batches — one edit for what each look at the device thread brought, every
// 33 ms while the pane is on screen — and the pane keeps the newest 20,000
// lines, so a service
// bench that uploads all day neither slows down nor runs out of memory. The
// text is the same as with one edit per line.
//
// Lines are divided by line separators (U+2028) within paragraphs of up to
// 256 lines: the document stores a paragraph per 256 lines instead of one per
// line, which costs a tenth as much per line, while its plain text, a copy
// and a saved log still have one line per line.

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTimer>

#include <deque>
#include <memory>

class DetailLines;
class LogFile;
class QTextBrowser;

class LogPane
{
public:
    static constexpr int MaxLines = 20000;

    explicit LogPane(QTextBrowser *view);
    ~LogPane();

    // "  hh:mm:ss:zzz   -->   text" as a new line. A detail line (one of the
    // thousands a transfer logs) may wait for the next batch; any other line
    // goes in at once, with the detail lines before it.
    void append(const QString &text, bool detail = false);
    // Detail lines that arrived together, in order, as append(line, true)
    // each would add them; they share one time stamp.
    void appendDetails(const DetailLines &lines);
    // Lines still waiting go into the document now (before the pane is
    // shown, before a question is asked, when an action ends).
    void flush();
    // Every line also goes to file from now on; null for none. The first
    // call also hands the file the lines logged before it (the window's
    // start-up query runs before the program chooses its log file).
    void setFile(std::unique_ptr<LogFile> file);
    // Lines kept for a log file not chosen yet; later ones reach the pane only.
    static constexpr int EarlyLinesKept = 1000;
    LogFile *file() const { return logFile.get(); }

private:
    // Adds a line, its stamp already at the end of pending, to the file's share.
    void addPending(int lineStart, QStringView text);
    // Detail lines waiting go into the document with the next batch.
    void takeDetailsSoon();
    // Drops the oldest lines beyond MaxLines, whole paragraphs where it can.
    void dropOldestLines();

    QTextBrowser *view;
    std::deque<int> paragraphLines;   // lines in each paragraph of the document, oldest first
    int documentLines = 0;
    std::unique_ptr<LogFile> logFile;
    QString pending;        // lines not yet in the document, a line separator between two
    int pendingLines = 0;
    QString pendingFile;    // the same lines for the file, '\n' after each
    bool fileChosen = false;
    QString earlyFile;      // lines logged before the file was chosen, '\n' after each
    int earlyLines = 0;
    QTimer flushTimer;        // the next batch of detail lines
};
