// The log pane and the progress bars under the load of a transfer: the pane
// keeps its newest lines, detail lines come in batches with the same text,
// the log file gets every line and survives its own failures, and a throttled
// bar still ends on the right value.

#include "app/logfile.h"
#include "app/logpane.h"
#include "control/detaillines.h"
#include "app/mainwindow.h"
#include "app/progressthrottle.h"
#include "emulator/emulateddevice.h"
#include "editors/editdlg.h"
#include "app/dialogpointers.h"
#include "testsupport.h"

#include <QProgressBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextBrowser>
#include <QToolButton>
#include <QtTest>

using emu::EmulatedDevice;
using namespace testsupport;

namespace {

QStringList paneTexts(QTextBrowser &view)
{
    QStringList lines;
    for (const QString &line : view.toPlainText().split(QLatin1Char('\n')))
        lines << line.mid(line.indexOf(QStringLiteral("-->   ")) + 6);
    return lines;
}

} // namespace

class TestLogPane : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    // The oldest lines go; the newest stay, in order, whether they came in
    // small batches, in one batch beyond the cap, or in batches that the cap
    // cuts through; a line at a time or in runs of detail lines.
    void keepsTheNewestLines_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("batch");   // lines before each flush
        QTest::addColumn<bool>("runs");   // each batch handed over as one run
        QTest::newRow("batches of 3") << LogPane::MaxLines + 50 << 3 << false;
        QTest::newRow("one batch beyond the cap") << LogPane::MaxLines + 777 << LogPane::MaxLines + 777 << false;
        QTest::newRow("batches of 7000") << 3 * LogPane::MaxLines + 1 << 7000 << false;
        QTest::newRow("line by line") << LogPane::MaxLines + 2 << 1 << false;
        QTest::newRow("below the cap") << 1234 << 100 << false;
        QTest::newRow("runs of 300 across paragraphs") << LogPane::MaxLines + 50 << 300 << true;
        QTest::newRow("one run beyond the cap") << LogPane::MaxLines + 777 << LogPane::MaxLines + 777 << true;
        QTest::newRow("runs of 7000") << 3 * LogPane::MaxLines + 1 << 7000 << true;
        QTest::newRow("runs of 1") << 600 << 1 << true;
    }
    void keepsTheNewestLines()
    {
        QFETCH(int, total);
        QFETCH(int, batch);
        QFETCH(bool, runs);
        QTextBrowser view;
        LogPane pane(&view);
        DetailLines run;
        for (int i = 0; i < total; ++i) {
            if (runs)
                run.append(QString::number(i));
            else
                pane.append(QString::number(i), true);
            if ((i + 1) % batch == 0 || i + 1 == total) {
                pane.appendDetails(std::exchange(run, {}));
                pane.flush();
            }
        }
        pane.flush();
        const QStringList lines = paneTexts(view);
        const int kept = qMin(total, int(LogPane::MaxLines));
        QCOMPARE(lines.size(), kept);
        for (int i : {0, kept / 2, kept - 1})
            QCOMPARE(lines[i], QString::number(total - kept + i));
        // What a copy of the whole pane gives: one line per line.
        QCOMPARE(QTextDocumentFragment(view.document()).toPlainText(), view.toPlainText());
    }

    // A break inside a line's text (a file name may hold one) shows as it
    // always did, and the cap still counts right after it.
    void breaksInsideALine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("\\n") << QStringLiteral("a\nb");
        QTest::newRow("\\r\\n") << QStringLiteral("a\r\nb");
        QTest::newRow("\\r") << QStringLiteral("a\rb");
        QTest::newRow("paragraph separator") << QString(QStringLiteral("a") + QChar(QChar::ParagraphSeparator) + "b");
        QTest::newRow("two breaks at the end") << QStringLiteral("a\n\n");
    }
    void breaksInsideALine()
    {
        QFETCH(QString, text);
        QTextBrowser view;
        LogPane pane(&view);
        pane.append(QStringLiteral("first"));
        pane.append(text, true);
        pane.append(QStringLiteral("last"));
        // What one edit per line gave: the document's own reading of the text.
        QTextDocument reference;
        QTextCursor(&reference).insertText(QStringLiteral("first\n") + text + QStringLiteral("\nlast"));
        QString shown = view.toPlainText();
        shown.remove(QRegularExpression(QStringLiteral("(?m)^  \\d\\d:\\d\\d:\\d\\d:\\d\\d\\d   -->   ")));
        QCOMPARE(shown, reference.toPlainText());

        for (int i = 0; i < LogPane::MaxLines; ++i)
            pane.append(QString::number(i), true);
        pane.flush();
        const QStringList lines = paneTexts(view);
        QCOMPARE(lines.size(), int(LogPane::MaxLines));
        QCOMPARE(lines.first(), QStringLiteral("0"));
    }

    // Detail lines wait for their batch, but never pass a line that follows
    // them, and the text is what a line per edit gives.
    void batchesKeepTheText_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::newRow("pane hidden") << false;
        QTest::newRow("pane shown") << true;
    }
    void batchesKeepTheText()
    {
        QFETCH(bool, shown);
        QTextBrowser view;
        if (shown)
            view.show();
        LogPane pane(&view);
        QStringList expected;
        for (int i = 0; i < 3000; ++i) {
            const bool detail = i % 100 != 99;
            pane.append(QString::number(i), detail);
            expected << QString::number(i);
        }
        pane.append(QStringLiteral("end"));
        expected << QStringLiteral("end");
        QCOMPARE(paneTexts(view), expected);
        // Left waiting, detail lines still arrive on their own.
        pane.append(QStringLiteral("late"), true);
        QTRY_COMPARE(paneTexts(view).last(), QStringLiteral("late"));
    }

    // Every line also goes to the file, after one header line; at 5 MB the
    // file moves aside, and five files are kept.
    void fileGetsEveryLineAndRotates()
    {
        const QString path = dir.filePath("logs/tessel-control.log");
        QTextBrowser view;
        LogPane pane(&view);
        pane.setFile(std::make_unique<LogFile>(path, nullptr));
        pane.append(QStringLiteral("设备离线"));
        pane.append(QStringLiteral("1"), true);
        pane.appendDetails({QStringLiteral("2"), QStringLiteral("3")});
        pane.flush();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 5);
        QVERIFY(lines[0].startsWith("Tessel Control ") && lines[0].contains("Qt ") && lines[0].contains("hidapi"));
        QCOMPARE(lines.mid(1), view.toPlainText().split(QLatin1Char('\n')));

        LogFile big(path, nullptr);
        const QString block(1024 * 1024 - 1, QLatin1Char('x'));
        for (int i = 0; i < 40; ++i)
            big.write(block + QLatin1Char('\n'));
        QVERIFY(big.isOn());
        for (int i = 1; i < LogFile::KeptFiles; ++i) {
            QVERIFY(QFileInfo::exists(path + QStringLiteral(".%1").arg(i)));
            QVERIFY(QFileInfo(path + QStringLiteral(".%1").arg(i)).size() <= LogFile::RotateBytes + 200);
        }
        QVERIFY(!QFileInfo::exists(path + QStringLiteral(".%1").arg(LogFile::KeptFiles)));
    }

    // A log file that cannot be written is named once and turned off; the
    // upload goes on as if there were none.
    void unwritableFileDoesNotStopAnUpload()
    {
        EmulatedDevice::instance().reset();
        QFile blocker(dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.setLogFile(dir.filePath("blocker/logs/tessel-control.log"));   // a file where a folder should be
        window.openSlotEditor(5, QString());
        QVERIFY(waitForDeviceIdle(window.controller()));
        auto *editor = qobject_cast<editDlg *>(openImageEditor.data());
        QVERIFY(editor);
        QImage picture(240, 280, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        editor->setPicture(QPixmap::fromImage(picture));
        QTest::mouseClick(child<QToolButton>(editor, "toolButton_9"), Qt::LeftButton);
        QVERIFY(waitForDeviceIdle(window.controller()));
        QTRY_COMPARE(logMessages(&window).filter("日志文件无法写入").size(), 1);
        QVERIFY(logMessages(&window).contains("发送图片--结束"));
        QCOMPARE(EmulatedDevice::instance().completedImageTransfers(), 1);
        QCOMPARE(child<QProgressBar>(&window, "progressBar_img4")->value(), 100);
    }

    // A full file whose older names cannot be freed (a folder the user may
    // not change; here a folder with files where the oldest file must go) is
    // named once in the pane, and the file stays within its cap: no new
    // header, no rotation tried again, no growth.
    void blockedRotationStopsTheFile_data()
    {
        QTest::addColumn<int>("olderFiles");   // name.1 … already there
        QTest::newRow("older files there") << 3;
        QTest::newRow("no older files") << 0;
    }
    void blockedRotationStopsTheFile()
    {
        QFETCH(int, olderFiles);
        const QString blocked = QStringLiteral(".%1").arg(LogFile::KeptFiles - 1);   // the oldest name
        EmulatedDevice::instance().reset();
        QTemporaryDir folder;
        const QString path = folder.filePath("tessel-control.log");
        QFile full(path);
        QVERIFY(full.open(QIODevice::WriteOnly));
        // Any line with its header goes beyond the cap.
        full.write(QByteArray(LogFile::RotateBytes - 20, 'x') + '\n');
        full.close();
        for (int i = 1; i <= olderFiles; ++i) {
            QFile older(path + QStringLiteral(".%1").arg(i));
            QVERIFY(older.open(QIODevice::WriteOnly));
            older.write("older\n");
        }
        QVERIFY(QDir().mkpath(path + blocked));
        QFile inside(path + blocked + "/kept");
        QVERIFY(inside.open(QIODevice::WriteOnly));

        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.setLogFile(path);
        for (int i = 0; i < 300; ++i)
            window.appendLog(QStringLiteral("line %1").arg(i));
        QCoreApplication::processEvents();
        window.appendLog(QStringLiteral("last"));
        QCoreApplication::processEvents();

        const QStringList named = logMessages(&window).filter("日志文件无法轮换");
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QVERIFY(text.size() <= LogFile::RotateBytes);
        QCOMPARE(named.size(), 1);
        QVERIFY2(named.first().contains(path + blocked), qPrintable(named.first()));
        QVERIFY(!text.contains("Tessel Control "));   // not one header written into the full file
        QVERIFY(!text.contains("line "));
        QVERIFY(QFileInfo::exists(path + blocked + "/kept"));
        for (int i = 1; i <= olderFiles; ++i)   // none of the older files lost
            QCOMPARE(QFileInfo(path + QStringLiteral(".%1").arg(i)).size(), qint64(6));
    }

    // The lines of the window's start, logged before the program chooses its
    // log file, reach the file first, as the pane shows them; beyond what is
    // kept for a file not yet chosen they reach the pane only.
    void startUpLinesReachTheFile_data()
    {
        QTest::addColumn<int>("extra");   // lines logged after the start, before the file
        QTest::newRow("the start-up query's line") << 0;
        QTest::newRow("more than is kept") << int(LogPane::EarlyLinesKept);
    }
    void startUpLinesReachTheFile()
    {
        QFETCH(int, extra);
        EmulatedDevice::instance().reset();
        EmulatedDevice::instance().setPresent(false);
        QTemporaryDir folder;
        const QString path = folder.filePath("logs/tessel-control.log");
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QCOMPARE(logMessages(&window).value(0), QStringLiteral("设备离线"));
        for (int i = 0; i < extra; ++i)
            window.appendLog(QString::number(i));
        window.setLogFile(path);
        window.appendLog(QStringLiteral("after"));

        const QStringList pane =
            child<QTextBrowser>(&window, "logTextBrowser")->toPlainText().split('\n', Qt::SkipEmptyParts);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        QVERIFY(lines.value(0).startsWith("Tessel Control "));
        const int kept = qMin(pane.size() - 1, int(LogPane::EarlyLinesKept));
        QCOMPARE(lines.mid(1), pane.mid(0, kept) + QStringList{pane.last()});
    }

    // Steps may be skipped; the first, the final and a failure's value never are.
    void throttledBarEndsRight()
    {
        QProgressBar bar;
        bar.setRange(0, 100);
        ProgressThrottle throttle(&bar);
        throttle.setValue(2);
        QCOMPARE(bar.value(), 2);   // the first value
        for (int v = 3; v < 90; ++v)
            throttle.setValue(v);
        QVERIFY(bar.value() < 89);
        QTRY_COMPARE(bar.value(), 89);   // held back, then shown
        throttle.setValue(95);
        throttle.setValue(0, true);      // a failure
        QCOMPARE(bar.value(), 0);
        QTest::qWait(3 * ProgressThrottle::IntervalMs);
        QCOMPARE(bar.value(), 0);        // nothing held back comes after it
    }
};

QTEST_MAIN(TestLogPane)
#include "tst_logpane.moc"
