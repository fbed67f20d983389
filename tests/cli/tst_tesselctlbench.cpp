// tesselctl on a bench of emulated devices: --all on every command with one
// faulty unit among them, the refusals before any traffic, the document of
// --json, Ctrl+C, and watch serving units as they arrive and come back.

#include "cli/interrupt.h"
#include "clirun.h"
#include "emulator/emulateddevice.h"
#include "settings/curvebackup.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;
using namespace clitest;

namespace {

EmulatedDevice &unit(int index) { return EmulatedDevice::onBus(index); }

QString serialOf(int index) { return QStringLiteral("TSL-VM01-%1").arg(index + 1, 6, 10, QLatin1Char('0')); }

// A fresh bench with the first n units plugged in.
void setUpBench(int n)
{
    qputenv("TESSEL_EMULATED_DEVICES", QByteArray::number(n));
    for (int i = 0; i < EmulatedDevice::BusSize; ++i)
        unit(i).reset();
}

QByteArray firmware(const QByteArray &model)
{
    QByteArray file = model.leftJustified(48, '\0', true);
    for (int i = 48; i < 48 * 21 + 10; ++i)
        file += char((i * 37 + 140) & 0xFF);
    return file.replace(900, 14, "TSL-VER=V1.0.3");
}

// The device lines of a text run, by serial number.
QMap<QString, QStringList> linesBySerial(const QString &out)
{
    QMap<QString, QStringList> lines;
    for (const QString &line : out.split('\n', Qt::SkipEmptyParts)) {
        if (line.startsWith("TSL-"))
            lines[line.section(' ', 0, 0)] << line;
    }
    return lines;
}

} // namespace

class TestTesselctlBench : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString file(const QString &name) const { return dir.filePath(name); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
        QCoreApplication::setApplicationName(QStringLiteral("Tessel Control bench tests"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, file("settings"));
        const auto write = [this](const QString &name, const QByteArray &bytes) {
            QFile out(file(name));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(bytes);
        };
        write("v103.bin", firmware("VELTRA-MINI"));
        write("profile.json", R"({"format": "tessel-profile", "version": 1,
  "settings": {"PWR": {"watts": 30},
    "NI200": {"watts": 40, "celsius": 230, "tcr": 0.0039}, "TI": {"watts": 35, "celsius": 220, "tcr": 0.0035},
    "SS": {"watts": 45, "celsius": 240, "tcr": 0.00105}, "TCR1": {"watts": 40, "celsius": 230, "tcr": 0.004},
    "TCR2": {"watts": 40, "celsius": 230, "tcr": 0.0025}},
  "curves": {"M2": [35, 35, 32, 30, 30, 28, 28, 28, 28, 28]}})");
        QImage picture(240, 280, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(file("red.png")));
    }

    void cleanup()
    {
        setUpBench(1);
        qunsetenv("TESSEL_EMULATED_DEVICES");
    }

    // Every command --all runs, on benches of 1, 3 and 8, some with one faulty
    // unit: that unit fails alone with its own line and code, the others are
    // served, and the exit code is the failure's.
    void allCommands_data()
    {
        QTest::addColumn<int>("units");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("faulty");   // bus index, -1: none
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("failure");

        const QStringList upload{"upload", "--slot", "4", "@red.png"};
        const QStringList upgrade{"upgrade", "--yes", "@v103.bin"};
        const QStringList curve{"curve", "write", "M3", "1,2,3,4,5,6,7,8,9,10"};
        const QStringList settings{"settings", "write", "@profile.json"};
        const QStringList apply{"profile", "apply", "@profile.json"};
        QTest::newRow("info, 1") << 1 << QStringList{"info"} << -1 << "" << 0 << "";
        QTest::newRow("info, 8, one silent") << 8 << QStringList{"info"} << 5 << "silent" << 3 << "did not answer";
        QTest::newRow("slots, 3") << 3 << QStringList{"slots"} << -1 << "" << 0 << "";
        QTest::newRow("upload, 3") << 3 << upload << -1 << "" << 0 << "";
        QTest::newRow("upload, 8, one unplugged mid-way") << 8 << upload << 2 << "unplug" << 3 << "";
        QTest::newRow("upgrade, 1") << 1 << upgrade << -1 << "" << 0 << "";
        QTest::newRow("upgrade, 3, one write fails") << 3 << upgrade << 1 << "write fails" << 3 << "could not be written";
        QTest::newRow("upgrade, 8, one other model") << 8 << upgrade << 7 << "other model" << 3 << "model mismatch";
        QTest::newRow("upgrade, 3, one back on another node") << 3 << upgrade << 1 << "new node" << 0 << "";
        QTest::newRow("curve write, 8") << 8 << curve << -1 << "" << 0 << "";
        QTest::newRow("settings write, 3, one silent") << 3 << settings << 0 << "silent" << 3 << "";
        QTest::newRow("profile apply, 3") << 3 << apply << -1 << "" << 0 << "";
    }
    void allCommands()
    {
        QFETCH(int, units);
        QFETCH(QStringList, arguments);
        QFETCH(int, faulty);
        QFETCH(QString, fault);
        QFETCH(int, code);
        QFETCH(QString, failure);
        for (QString &argument : arguments)
            if (argument.startsWith('@'))
                argument = file(argument.mid(1));
        setUpBench(units);
        if (faulty >= 0) {
            EmulatedDevice &bad = unit(faulty);
            if (fault == "silent")
                for (quint8 item = 0x04; item <= 0x0D; ++item)
                    bad.setReplyFault(item, EmulatedDevice::ReplyFault::NoReply);
            else if (fault == "unplug")
                bad.unplugAfterWrites(40);
            else if (fault == "write fails")   // in the write stage, after the erase, past the chunk's retries
                bad.failWritesAt(QSet<int>{15, 16, 17, 18, 19, 20, 21, 22, 23, 24});
            else if (fault == "other model")
                bad.profile().setName("OTHER-MODEL");
            else if (fault == "new node")   // its bootloader enumerates under a path of its own
                bad.setPathAfterRestart("emulated:9");
        }

        const CliRun run = runCli(QStringList{"--all"} + arguments);
        QVERIFY2(run.code == code, qPrintable(QStringLiteral("exit %1\n").arg(run.code) + run.out + run.err));
        const QMap<QString, QStringList> lines = linesBySerial(run.out);
        QCOMPARE(lines.size(), units);
        for (int i = 0; i < units; ++i) {
            const QStringList own = lines.value(serialOf(i));
            QCOMPARE(own.size(), 1);
            QVERIFY2(own.first().contains(QStringLiteral("emulated:%1 ").arg(i)), qPrintable(own.first()));
            if (i == faulty && code != 0) {
                QVERIFY2(own.first().contains(QStringLiteral("failed (exit %1): ").arg(code)), qPrintable(own.first()));
                QVERIFY2(own.first().contains(failure), qPrintable(own.first()));
                continue;
            }
            QVERIFY2(own.first().contains("  ok  "), qPrintable(own.first()));
            // Each unit got the job on its own handle, and none is left open.
            QVERIFY(unit(i).count(Exchange::Write) > 0);
            QCOMPARE(unit(i).openHandleCount(), 0);
            QCOMPARE(unit(i).misuseCount(), 0);
            const QString command = arguments.first();
            if (command == "upload")
                QCOMPARE(unit(i).completedImageTransfers(), 1);
            else if (command == "upgrade")   // its curves kept in its own folder, whatever the others wrote
                QVERIFY(unit(i).profile().firmwareVersion == "V1.0.3"
                        && !QDir(upgradeBackupFolder() + '/' + serialOf(i)).entryList({"backup-*.json"}).isEmpty());
            else if (command == "curve")
                QCOMPARE(unit(i).profile().curves[2][9], quint16(10));
            else if (command == "settings" || command == "profile")
                QCOMPARE(unit(i).settingsBlocks(0x08).size(), 1);
        }
        if (fault == "other model")
            QVERIFY(unit(faulty).bootloaderReports().isEmpty());   // refused before the erase
        QVERIFY2(run.out.contains(QStringLiteral("%1 device(s): %2 succeeded, %3 failed")
                                      .arg(units)
                                      .arg(units - (code != 0 ? 1 : 0))
                                      .arg(code != 0 ? 1 : 0)),
                 qPrintable(run.out));
    }

    // What a bench run refuses before it sends anything: exit code, its line.
    void refusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");

        QTest::newRow("upgrade without --yes") << QStringList{"--all", "upgrade", "@v103.bin"} << 1 << "needs --yes";
        QTest::newRow("watch upgrade without --yes") << QStringList{"watch", "upgrade", "@v103.bin"} << 1 << "needs --yes";
        QTest::newRow("a command not for many") << QStringList{"--all", "curve", "read"} << 1 << "not curve read";
        QTest::newRow("--device with --all") << QStringList{"--all", "--device", "emulated:1", "info"} << 1 << "exclude";
        QTest::newRow("--all with watch") << QStringList{"--all", "watch", "info"} << 1 << "exclude each other";
        QTest::newRow("--count with --all") << QStringList{"--all", "info", "--count", "2"} << 1 << "go with watch";
        QTest::newRow("--count not a number") << QStringList{"watch", "info", "--count", "two"} << 1 << "whole number";
        QTest::newRow("nothing attached") << QStringList{"--all", "info"} << 2 << "no device attached";
    }
    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, message);
        for (QString &argument : arguments)
            if (argument.startsWith('@'))
                argument = file(argument.mid(1));
        setUpBench(3);
        if (code == 2)
            for (int i = 0; i < 3; ++i)
                unit(i).setPresent(false);

        const CliRun run = runCli(arguments);
        QCOMPARE(run.code, code);
        QCOMPARE(run.errLines().size(), 1);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(unit(i).count(Exchange::Write), 0);
    }

    // --json: one document, one entry per unit in bus order with its result
    // or its failure, and the run's exit code.
    void jsonDocument()
    {
        setUpBench(3);
        unit(1).setReplyFault(0x05, EmulatedDevice::ReplyFault::NoReply);
        const CliRun run = runCli({"--all", "info", "--json"});
        QCOMPARE(run.code, 3);
        const QJsonObject document = QJsonDocument::fromJson(run.out.toUtf8()).object();
        const QJsonArray devices = document.value("devices").toArray();
        QCOMPARE(devices.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const QJsonObject entry = devices.at(i).toObject();
            QCOMPARE(entry.value("path").toString() + entry.value("serial").toString(),
                     QStringLiteral("emulated:%1").arg(i) + serialOf(i));
            QCOMPARE(entry.value("exitCode").toInt(), i == 1 ? 3 : 0);
            QCOMPARE(entry.value("error").toString().contains("firmware version (0x05)"), i == 1);
            QCOMPARE(entry.value("result").toObject().value("identification").toString(), i == 1 ? QString() : serialOf(i));
        }
        QCOMPARE(document.value("exitCode").toInt(), 3);
    }

    // Ctrl+C during a parallel upload stops every unit after the report in
    // flight: each says 130, none finishes its picture.
    void interruptStopsEveryUnit()
    {
        setUpBench(3);
        for (int i = 0; i < 3; ++i)
            unit(i).setLatencyMicros(1000);
        QTimer::singleShot(300, [] { requestInterrupt(); });
        const CliRun run = runCli({"--all", "upload", "--slot", "4", file("red.png")});
        QCOMPARE(run.code, 130);
        const QMap<QString, QStringList> lines = linesBySerial(run.out);
        QCOMPARE(lines.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QVERIFY2(lines.value(serialOf(i)).value(0).contains("failed (exit 130)"), qPrintable(run.out));
            QCOMPARE(unit(i).completedImageTransfers(), 0);
            QCOMPARE(unit(i).openHandleCount(), 0);
        }
    }

    // watch serves each unit once while it stays, and again after it left
    // and came back; a unit that arrives later is served when it comes.
    void watch_data()
    {
        QTest::addColumn<int>("units");
        QTest::addColumn<int>("leaving");   // bus index: plugged out at 1.5 s and in at 2.7 s; or only in, at 1.5 s
        QTest::addColumn<QStringList>("limit");
        QTest::addColumn<QList<int>>("served");   // times each unit is served
        QTest::addColumn<QStringList>("command");

        const QStringList info{"info"};
        QTest::newRow("1, leaves and comes back") << 1 << 0 << QStringList{"--count", "2"} << QList<int>{2} << info;
        QTest::newRow("3, one comes back") << 3 << 2 << QStringList{"--count", "4"} << QList<int>{1, 1, 2} << info;
        QTest::newRow("1, a second arrives") << 1 << 1 << QStringList{"--count", "2"} << QList<int>{1, 1} << info;
        QTest::newRow("2 stay: once each") << 2 << -1 << QStringList{"--timeout", "2.5"} << QList<int>{1, 1} << info;
        // Unit 1's bootloader enumerates on another path: still the unit being upgraded.
        QTest::newRow("upgrade, one back on another node: once each")
            << 2 << -1 << QStringList{"--timeout", "4"} << QList<int>{1, 1} << QStringList{"upgrade", "--yes", "@v103.bin"};
    }
    void watch()
    {
        QFETCH(int, units);
        QFETCH(int, leaving);
        QFETCH(QStringList, limit);
        QFETCH(QList<int>, served);
        QFETCH(QStringList, command);
        for (QString &argument : command)
            if (argument.startsWith('@'))
                argument = file(argument.mid(1));
        setUpBench(units);
        if (command.first() == "upgrade")
            unit(1).setPathAfterRestart("emulated:9");
        if (leaving >= 0 && leaving < units)
            QTimer::singleShot(1500, [leaving] { unit(leaving).setPresent(false); });
        if (leaving >= 0)
            QTimer::singleShot(leaving < units ? 2700 : 1500, [leaving] { unit(leaving).setPresent(true); });
        QTimer guard;   // a watch that never ends fails, not hangs
        connect(&guard, &QTimer::timeout, [] { requestInterrupt(); });
        guard.start(15000);

        const CliRun run = runCli(QStringList{"watch"} + command + limit);
        QVERIFY2(run.code == 0, qPrintable(run.out + run.err));
        const QMap<QString, QStringList> lines = linesBySerial(run.out);
        QCOMPARE(lines.size(), served.size());
        for (int i = 0; i < served.size(); ++i)
            QCOMPARE(lines.value(serialOf(i)).size(), served.at(i));
    }
};

QTEST_GUILESS_MAIN(TestTesselctlBench)
#include "tst_tesselctlbench.moc"
