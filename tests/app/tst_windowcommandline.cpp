// The window program's command line, run as a user runs it: an option it does
// not know, or one without its value, is named with the usage and the window
// does not start; the toolkit's own options still pass; and without a display
// the program says so in one line and ends, instead of Qt's lines about
// platform plugins and an abort.

#include <QProcess>
#include <QtTest>

class TestWindowCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void refusedBeforeTheWindow_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("display");   // "offscreen": Qt's offscreen platform; else $DISPLAY, none if empty
        QTest::addColumn<int>("code");
        QTest::addColumn<QStringList>("said");   // in this order on standard error
        QTest::addColumn<bool>("usage");
        const QString noDisplay = "tessel-control: no display to show the window on (DISPLAY is not set)";
        QTest::newRow("unknown option") << QStringList{"--bogus"} << "offscreen" << 1
                                        << QStringList{"tessel-control: ", "'bogus'"} << true;
        QTest::newRow("unknown short option") << QStringList{"-q"} << "offscreen" << 1 << QStringList{"'q'"} << true;
        QTest::newRow("log file without its path") << QStringList{"--log-file"} << "offscreen" << 1
                                                   << QStringList{"'--log-file'"} << true;
        QTest::newRow("the toolkit's option passes, the unknown one is named")
            << QStringList{"-platform", "offscreen", "--service", "--bogus"} << "" << 1
            << QStringList{"'bogus'"} << true;
        QTest::newRow("no display") << QStringList() << "" << 1 << QStringList{noDisplay} << false;
        QTest::newRow("no display, with options") << QStringList{"--service", "--lang", "en"} << "" << 1
                                                  << QStringList{noDisplay} << false;
        QTest::newRow("a display that is not there") << QStringList() << ":4711" << 1
                                                     << QStringList{"\":4711\""} << false;
        QTest::newRow("help needs no display") << QStringList{"--help"} << "" << 0 << QStringList() << false;
    }
    void refusedBeforeTheWindow()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, display);
        QFETCH(int, code);
        QFETCH(QStringList, said);
        QFETCH(bool, usage);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE"})
            environment.remove(QLatin1String(name));
        if (display == QLatin1String("offscreen"))
            environment.insert("QT_QPA_PLATFORM", "offscreen");
        else if (!display.isEmpty())
            environment.insert("DISPLAY", display);
        // Nothing of the user's: no remembered language, no log file in the home folder.
        QTemporaryDir home;
        environment.insert("HOME", home.path());
        environment.insert("XDG_CONFIG_HOME", home.filePath("config"));
        environment.insert("XDG_DATA_HOME", home.filePath("data"));
        environment.insert("XDG_STATE_HOME", home.filePath("state"));

        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QCoreApplication::applicationDirPath() + "/tessel-control-emulated", arguments);
        QVERIFY(program.waitForStarted());
        if (!program.waitForFinished(60000)) {
            program.kill();
            program.waitForFinished();
            QFAIL("the program started its window");
        }
        const QString out = QString::fromUtf8(program.readAllStandardOutput());
        const QString err = QString::fromUtf8(program.readAllStandardError());
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), code);
        int from = 0;
        for (const QString &part : said) {
            from = err.indexOf(part, from);
            QVERIFY2(from >= 0, qPrintable(part + " missing in: " + err));
        }
        QCOMPARE(err.contains("Usage:"), usage);
        if (usage)
            QVERIFY2(err.contains("--log-file <path>") && err.contains("--lang <en|zh>"), qPrintable(err));
        if (code == 0)
            QVERIFY2(out.contains("Usage:"), qPrintable(out));
        else
            QVERIFY2(out.isEmpty(), qPrintable(out));
        // Without a display: that one line and nothing of Qt's.
        if (!usage && code != 0)
            QVERIFY2(err.count('\n') == 1 && err.endsWith('\n'), qPrintable(err));
    }
};

QTEST_GUILESS_MAIN(TestWindowCommandLine)
#include "tst_windowcommandline.moc"
