// tesselctl against the emulated device: exit codes and the one line of every
// failure class, refusals before any traffic, the JSON documents, the choice
// between two devices, the upgrade's question and its Ctrl+C, and the output
// on terminals and pipes. The programs themselves are run too.

#include "cli/interrupt.h"
#include "cli/upgradecommand.h"
#include "clirun.h"
#include "emulator/emulateddevice.h"
#include "firmware/firmwareupgrade.h"
#include "images/picturecorpus.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QStandardPaths>
#include <QtTest>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;
using namespace clitest;

namespace {

EmulatedDevice &device() { return EmulatedDevice::instance(); }

QByteArray firmwareFor(const QByteArray &name, int size)
{
    QByteArray file = name.leftJustified(48, '\0', true);
    for (int i = 48; i < size; ++i)
        file += char((i * 37 + 140) & 0xFF);
    return file.left(size);
}

// The flash after the whole file went out: image data, chunks 1 and 2 one lower.
QByteArray flashOf(const QByteArray &file, int chunks)
{
    QByteArray flash = file.mid(48, chunks < 0 ? -1 : chunks * 48);
    for (int i = 0; i < qMin(96, flash.size()); ++i)
        flash[i] = char(quint8(flash[i]) - 1);
    return flash;
}

const char *const GoodProfile = R"({"format": "tessel-profile", "version": 1,
  "settings": {"PWR": {"watts": 30},
    "NI200": {"watts": 40, "celsius": 230, "tcr": 0.0039}, "TI": {"watts": 35, "celsius": 220, "tcr": 0.0035},
    "SS": {"watts": 45, "celsius": 240, "tcr": 0.00105}, "TCR1": {"watts": 40, "celsius": 230, "tcr": 0.004},
    "TCR2": {"watts": 40, "celsius": 230, "tcr": 0.0025}},
  "curves": {"M2": [35, 35, 32, 30, 30, 28, 28, 28, 28, 28]}})";

QImage stripes(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            picture.setPixel(x, y, colours[x * 3 / width]);
    return picture;
}

// Standard output and standard error in the order they were written.
class InterleavingConsole : public RecordingConsole
{
public:
    void out(const QString &text) override { both += text; }
    void err(const QString &text) override { both += text; }
    QString both;
};

} // namespace

class TestTesselctl : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString file(const QString &name) const { return dir.filePath(name); }
    void write(const QString &name, const QByteArray &bytes)
    {
        QFile out(file(name));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }

private slots:
    void initTestCase()
    {
        // Upgrade backups go to a scratch data folder, what the tool remembers
        // of the device to a scratch settings file.
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
        QCoreApplication::setApplicationName(QStringLiteral("Tessel Control tests"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, file("settings"));
        QByteArray v103 = firmwareFor("VELTRA-MINI", 48 * 21 + 10);
        v103.replace(900, 14, "TSL-VER=V1.0.3");
        write("v103.bin", v103);
        write("other103.bin", QByteArray(v103).replace(0, 11, "OTHER-MODEL"));
        write("picture.bin", QByteArray(v103).replace(0, 8, "\x89PNG\r\n\x1a\n"));
        write("header.bin", v103.left(48));
        write("firmware.bin", firmwareFor("VELTRA-MINI", 48 * 21 + 10));
        write("other.bin", firmwareFor("OTHER-MODEL", 480));
        write("short.bin", QByteArray(47, 'x'));
        write("empty.bin", QByteArray());
        QFile large(file("large.bin"));
        QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(16 * 1024 * 1024 + 1));
        QVERIFY(stripes(480, 100).save(file("stripes.png")));
        QVERIFY(QImage(9000, 1, QImage::Format_Mono).save(file("huge.png")));
        write("text.png", "not a picture");
        write("profile.json", GoodProfile);
        write("hot.json", QByteArray(GoodProfile).replace("\"watts\": 30", "\"watts\": 100"));
        write("partial.json", R"({"format": "tessel-profile", "version": 1, "settings": {"PWR": {"watts": 30}}})");
        write("curves.json", R"({"format": "tessel-profile", "version": 1, "curves": {"M4": [1,2,3,4,5,6,7,8,9,10]}})");
        write("broken.json", "{ not json");
        write("curve.csv", "0,11\n1,12\n2,13\n3,14\n4,15\n5,16\n6,17\n7,18\n8,19\n9,20\n");
        write("nine.csv", "0,11\n1,12\n2,13\n3,14\n4,15\n5,16\n6,17\n7,18\n8,19\n");
        write("empty.csv", QByteArray());
        write("hot.csv", "0,11\n1,120\n2,13\n3,14\n4,15\n5,16\n6,17\n7,18\n8,19\n9,500\n");
        write("hotcurve.json", R"({"format": "tessel-profile", "version": 1, "curves": {"M4": [1,2,3,4,5,6,7,8,9,81]}})");
    }

    void init()
    {
        device().reset();
        EmulatedDevice::onBus(1).reset();
        QSettings().clear();
    }

    // Every failure class: its exit code, one line on standard error naming the
    // problem, nothing on standard output, and no traffic at all for input the
    // tool can judge by itself.
    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("opened");   // the device was opened at all

        const auto row = [](const char *name, const QStringList &arguments, const QString &fault, int code,
                            const QString &message, bool opened) {
            QTest::newRow(name) << arguments << fault << code << message << opened;
        };
        // usage
        row("no command", {}, "", 1, "no command given", false);
        row("unknown command", {"frobnicate"}, "", 1, "unknown command 'frobnicate'", false);
        row("unknown sub-command", {"curve", "erase"}, "", 1, "unknown command 'curve erase'", false);
        row("unknown option", {"info", "--bogus"}, "", 1, "bogus", false);
        row("option of another command", {"info", "--slot", "3"}, "", 1, "slot", false);
        row("too many arguments", {"info", "extra"}, "", 1, "too many arguments", false);
        row("upload without slot", {"upload", "@stripes.png"}, "", 1, "--slot", false);
        row("slot 0", {"upload", "--slot", "0", "@stripes.png"}, "", 1, "bad slot '0'", false);
        row("slot 11", {"upload", "--slot", "11", "@stripes.png"}, "", 1, "bad slot '11'", false);
        row("slot not a number", {"upload", "--slot", "four", "@stripes.png"}, "", 1, "bad slot", false);
        row("bad fit", {"upload", "--slot", "4", "--fit", "zoom", "@stripes.png"}, "", 1, "--fit", false);
        row("bad dither", {"upload", "--slot", "4", "--dither", "atkinson", "@stripes.png"}, "", 1, "--dither", false);
        row("curve M6", {"curve", "write", "M6", "1,2,3,4,5,6,7,8,9,10"}, "", 1, "unknown curve 'M6'", false);
        row("slot -1, a value and no option", {"upload", "--slot", "-1", "@stripes.png"}, "", 1, "bad slot '-1'", false);
        row("verbose and quiet", {"info", "--verbose", "--quiet"}, "", 1, "exclude", false);
        // bad input
        row("picture missing", {"upload", "--slot", "4", "@none.png"}, "", 4, "no such file", false);
        row("not a picture", {"upload", "--slot", "4", "@text.png"}, "", 4, "not a picture", false);
        row("picture over 8192", {"upload", "--slot", "4", "@huge.png"}, "", 4, "8192", false);
        row("picture is a folder", {"upload", "--slot", "4", "@"}, "", 4, "not a regular file", false);
        row("firmware missing", {"upgrade", "--yes", "@none.bin"}, "", 4, "no such file", false);
        row("firmware empty", {"upgrade", "--yes", "@empty.bin"}, "", 4, "empty", false);
        row("firmware 47 bytes", {"upgrade", "--yes", "@short.bin"}, "", 4, "under 48 bytes", false);
        row("firmware over 16 MiB", {"upgrade", "--yes", "@large.bin"}, "", 4, "over 16 MiB", false);
        row("nine points", {"curve", "write", "M1", "1,2,3,4,5,6,7,8,9"}, "", 4, "exactly ten", false);
        row("eleven points", {"curve", "write", "M1", "1,2,3,4,5,6,7,8,9,10,11"}, "", 4, "exactly ten", false);
        row("point 65536", {"curve", "write", "M1", "1,2,3,4,5,6,7,8,9,65536"}, "", 4, "'65536'", false);
        row("point 2.5", {"curve", "write", "M1", "1,2.5,3,4,5,6,7,8,9,10"}, "", 4, "'2.5'", false);
        row("empty point", {"curve", "write", "M1", "1,,3,4,5,6,7,8,9,10"}, "", 4, "second 1", false);
        row("negative point, not an option", {"curve", "write", "M1", "-1,2,3,4,5,6,7,8,9,10"}, "", 4,
            "'-1' (second 0) is outside 0-65535", false);
        row("point past 64 bits", {"curve", "write", "M1", "1,2,3,99999999999999999999,5,6,7,8,9,10"}, "", 4,
            "(second 3) is outside 0-65535", false);
        row("csv of nine lines", {"curve", "write", "M1", "@nine.csv"}, "", 4, "nine.csv", false);
        row("empty csv", {"curve", "write", "M1", "@empty.csv"}, "", 4, "文件是空的", false);
        row("profile missing", {"settings", "write", "@none.json"}, "", 4, "无法读取配置文件", false);
        row("profile not JSON", {"profile", "apply", "@broken.json"}, "", 4, "不是 JSON", false);
        row("settings from a partial table", {"settings", "write", "@partial.json"}, "", 4, "缺少此项", false);
        row("apply a partial table", {"profile", "apply", "@partial.json"}, "", 4, "settings.NI200", false);
        row("settings from curves only", {"settings", "write", "@curves.json"}, "", 4, "配置文件无效", false);
        row("profile out of range", {"settings", "write", "@hot.json"}, "", 4, "PWR 功率设定（W）：100", true);
        row("apply out of range", {"profile", "apply", "@hot.json"}, "", 4, "--force", true);
        row("curve above the top", {"curve", "write", "M1", "1,2,3,4,5,6,7,8,9,81"}, "", 4,
            "curve M1 has 1 point(s) above the device's top of 80 W, first M1 第 9 秒：81 W", true);
        row("curve file above the top", {"curve", "write", "m2", "@hot.csv"}, "", 4, "hot.csv: curve M2 has 2 point(s)", true);
        row("apply a curve above the top", {"profile", "apply", "@hotcurve.json"}, "", 4, "curve M4 has 1 point(s)", true);
        // no device
        row("info, nothing attached", {"info"}, "absent", 2, "no device attached", true);
        row("upload, nothing attached", {"upload", "--slot", "4", "@stripes.png"}, "absent", 2, "no device attached", true);
        row("upgrade, nothing attached", {"upgrade", "--yes", "@firmware.bin"}, "absent", 2, "no device attached", true);
        row("curve, nothing attached", {"curve", "read"}, "absent", 2, "no device attached", true);
        row("attached, no access", {"slots"}, "locked", 2, "print-udev-rule", true);
        row("unknown path", {"--device", "emulated:7", "info"}, "", 2, "no device at emulated:7", false);
        // device errors
        row("info, ranges unanswered", {"info"}, "silent 6", 3, "screen and ranges (0x06)", true);
        row("slots unanswered", {"slots"}, "silent 11", 3, "slot 1", true);
        row("slot of no size", {"slots"}, "zero slot", 3, "unusable size", true);
        row("upload, slot unanswered", {"upload", "--slot", "4", "@stripes.png"}, "silent 11", 3, "slot query", true);
        row("upload, no acknowledgement", {"upload", "--slot", "4", "@stripes.png"}, "silent 12", 3, "acknowledge", true);
        row("upload, report lost", {"upload", "--slot", "4", "@stripes.png"}, "lose write 3", 3, "发送图片失败", true);
        row("upgrade, other model", {"upgrade", "--yes", "@other.bin"}, "", 3, "model mismatch", true);
        row("upgrade, device in its bootloader", {"upgrade", "--yes", "@firmware.bin"}, "bootloader", 3, "--resume", true);
        row("upgrade, bootloader never comes", {"upgrade", "--yes", "@firmware.bin"}, "stays away", 3, "--resume", true);
        row("curve unanswered", {"curve", "read", "M2"}, "silent 10", 3, "curve M2", true);
        row("curve write lost", {"curve", "write", "M2", "1,2,3,4,5,6,7,8,9,10"}, "lose write 4", 3, "curve M2", true);
        row("curve ranges unanswered", {"curve", "write", "M2", "1,2,3,4,5,6,7,8,9,10"}, "silent 6", 3, "ranges", true);
        row("settings block lost", {"settings", "write", "@profile.json"}, "lose write 5", 3, "发送设置失败", true);
        row("ranges unanswered", {"settings", "write", "@profile.json"}, "silent 6", 3, "ranges", true);
    }
    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, fault);
        QFETCH(int, code);
        QFETCH(QString, message);
        QFETCH(bool, opened);
        for (QString &argument : arguments)
            if (argument.startsWith('@'))
                argument = file(argument.mid(1));
        if (fault == "absent")
            device().setPresent(false);
        else if (fault == "locked")
            device().failNextOpens(1);
        else if (fault.startsWith("silent "))
            device().setReplyFault(quint8(fault.mid(7).toInt()), EmulatedDevice::ReplyFault::NoReply);
        else if (fault == "zero slot")
            device().profile().imageSlots.insert(1, {0, 0, 0x54});
        else if (fault.startsWith("lose write "))
            device().failWritesAt({fault.mid(11).toInt()});
        else if (fault == "bootloader")
            device().enterBootloader();
        else if (fault == "stays away")
            device().stayAwayAfterErase(true);

        const CliRun run = runCli(arguments);
        QCOMPARE(run.code, code);
        QCOMPARE(run.errLines().size(), 1);
        QVERIFY2(run.err.startsWith("tesselctl: "), qPrintable(run.err));
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        // Nothing is reported as done; an upgrade says what it was about to do.
        if (!arguments.contains("upgrade"))
            QCOMPARE(run.out, QString());
        QCOMPARE(device().count(Exchange::Open) > 0, opened);
        if (code != 3)
            QVERIFY(device().bootloaderReports().isEmpty());
        QCOMPARE(device().misuseCount(), 0);
        QCOMPARE(device().openHandleCount(), 0);
    }

    // --json: one document with the keys the README documents, holding what
    // the device said.
    void json_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("list") << QStringList{"list", "--json"};
        QTest::newRow("info") << QStringList{"info", "--json"};
        QTest::newRow("slots") << QStringList{"slots", "--json"};
        QTest::newRow("all curves") << QStringList{"curve", "read", "--json"};
        QTest::newRow("one curve") << QStringList{"--json", "curve", "read", "m3"};
    }
    void json()
    {
        QFETCH(QStringList, arguments);
        device().profile().imageSlots.insert(7, {128, 64, 0x00});
        const CliRun run = runCli(arguments);
        QCOMPARE(run.code, 0);
        QCOMPARE(run.err, QString());
        QJsonParseError error;
        const QJsonObject document = QJsonDocument::fromJson(run.out.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        const emu::DeviceProfile &profile = device().profile();
        const QString command = arguments.contains("list") ? "list" : arguments.contains("info") ? "info"
                                : arguments.contains("slots")                                    ? "slots"
                                                                                                 : "curve";
        if (command == "list") {
            const QJsonArray devices = document.value("devices").toArray();
            QCOMPARE(devices.size(), 1);
            QCOMPARE(devices[0].toObject(), (QJsonObject{{"path", "emulated:0"},
                                                         {"serial", "TSL-VM01-000001"},
                                                         {"product", "VELTRA-MINI"}}));
        } else if (command == "info") {
            QCOMPARE(document, (QJsonObject{{"name", "VELTRA-MINI"},
                                            {"firmware", "V1.0.2"},
                                            {"screen", "1.69"},
                                            {"power", QJsonObject{{"low", 5}, {"high", 80}}},
                                            {"celsius", QJsonObject{{"low", 100}, {"high", 316}}},
                                            {"fahrenheit", QJsonObject{{"low", 200}, {"high", 600}}},
                                            {"temperatureControl", true},
                                            {"identification", "TSL-VM01-000001"}}));
        } else if (command == "slots") {
            const QJsonArray entries = document.value("slots").toArray();
            QCOMPARE(entries.size(), 10);
            QCOMPARE(entries[0].toObject(), (QJsonObject{{"slot", 1}, {"width", 240}, {"height", 40},
                                                       {"screen", "colour"}, {"screenType", 0x54}}));
            QCOMPARE(entries[6].toObject(), (QJsonObject{{"slot", 7}, {"width", 128}, {"height", 64},
                                                       {"screen", "one-bit"}, {"screenType", 0}}));
            QCOMPARE(entries[9].toObject().value("height").toInt(), 280);
        } else {
            const QJsonObject curves = document.value("curves").toObject();
            const QStringList names = arguments.contains("m3") ? QStringList{"M3"}
                                                               : QStringList{"M1", "M2", "M3", "M4", "M5"};
            QCOMPARE(curves.keys(), names);
            for (const QString &name : names) {
                const auto &stored = profile.curves[size_t(name.mid(1).toInt() - 1)];
                QJsonArray expected;
                for (quint16 watts : stored)
                    expected.append(int(watts));
                QCOMPARE(curves.value(name).toArray(), expected);
            }
        }
    }

    // Writing commands change what the device keeps, and say so on standard output.
    void writes_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("said");
        QTest::newRow("curve") << QStringList{"curve", "write", "M5", "9,8,7,6,5,4,3,2,1,0"} << "curve M5 written";
        QTest::newRow("curve from csv") << QStringList{"curve", "write", "M5", "@curve.csv"} << "11,12,13";
        QTest::newRow("curve above the top, forced") << QStringList{"curve", "write", "--force", "M5", "9,8,7,6,5,4,3,2,1,500"}
                                                     << "curve M5 written";
        QTest::newRow("curve above the top from csv, forced") << QStringList{"curve", "write", "M2", "@hot.csv", "--force"}
                                                              << "11,120,13";
        QTest::newRow("profile curve above the top, forced") << QStringList{"profile", "apply", "--force", "@hotcurve.json"}
                                                             << "applied curve(s) M4";
        QTest::newRow("settings") << QStringList{"settings", "write", "@profile.json"} << "working-mode table";
        QTest::newRow("settings, forced") << QStringList{"settings", "write", "--force", "@hot.json"} << "hot.json";
        QTest::newRow("profile") << QStringList{"profile", "apply", "@profile.json"} << "curve(s) M2";
        QTest::newRow("profile of curves") << QStringList{"profile", "apply", "@curves.json"} << "applied curve(s) M4";
    }
    void writes()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, said);
        for (QString &argument : arguments)
            if (argument.startsWith('@'))
                argument = file(argument.mid(1));
        const CliRun run = runCli(arguments);
        QCOMPARE(run.code, 0);
        QVERIFY2(run.out.contains(said), qPrintable(run.out));
        const auto &curves = device().profile().curves;
        if (arguments.contains("M5"))
            QCOMPARE(curves[4][0], quint16(arguments.last().endsWith(".csv") ? 11 : 9));
        if (arguments.first() == "settings" || arguments.last().endsWith("profile.json")) {
            QCOMPARE(device().settingsBlocks(0x08).size(), 1);
            QCOMPARE(device().settingsBlocks(0x09).size(), 1);
            // PWR watts, big-endian, right after the block's mode id.
            const QByteArray block = device().settingsBlocks(0x08).first();
            QCOMPARE(quint8(block.at(4)) << 8 | quint8(block.at(5)), arguments.contains("--force") ? 100 : 30);
        }
        if (arguments.first() == "profile" && arguments.last().endsWith("profile.json"))
            QCOMPARE(curves[1][0], quint16(35));
        if (arguments.contains("@hot.csv") || arguments.contains(file("hot.csv")))
            QCOMPARE(curves[1][9], quint16(500));
        if (arguments.last().endsWith("hotcurve.json"))
            QCOMPARE(curves[3][9], quint16(81));
        if (arguments.last().endsWith("curves.json")) {
            QCOMPARE(curves[3][9], quint16(10));
            QVERIFY(device().settingsBlocks(0x08).isEmpty());
        }
    }

    // --device picks one of two devices; without it the first answers.
    void deviceChoice_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("chosen");
        QTest::newRow("first by default") << QString() << 0;
        QTest::newRow("first by path") << "emulated:0" << 0;
        QTest::newRow("second by path") << "emulated:1" << 1;
    }
    void deviceChoice()
    {
        QFETCH(QString, path);
        QFETCH(int, chosen);
        EmulatedDevice::onBus(1).setPresent(true);
        const CliRun list = runCli({"list", "--json"});
        QCOMPARE(QJsonDocument::fromJson(list.out.toUtf8()).object().value("devices").toArray().size(), 2);

        QStringList arguments{"info", "--json"};
        if (!path.isEmpty())
            arguments << "--device" << path;
        const CliRun info = runCli(arguments);
        QCOMPARE(info.code, 0);
        QCOMPARE(QJsonDocument::fromJson(info.out.toUtf8()).object().value("identification").toString(),
                 QString("TSL-VM01-00000%1").arg(chosen + 1));
        QCOMPARE(runCli(arguments.mid(2) + QStringList{"curve", "write", "M1", "5,5,5,5,5,5,5,5,5,5"}).code, 0);
        for (int index = 0; index < 2; ++index) {
            EmulatedDevice &unit = EmulatedDevice::onBus(index);
            QCOMPARE(unit.count(Exchange::Write) > 0, index == chosen);
            QCOMPARE(unit.profile().curves[0][0] == 5, index == chosen);
        }
    }

    // Every way of upgrading against every state of the device and every kind
    // of file: the exit code, what went out, and the line that says why.
    // bootloader: stopped half way, its model read before; never read: the
    // same, but this tool never heard its model; unplugged: pulled out during
    // the chunks; not back: pulled out with the jump.
    void upgradePaths_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("firmware");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("sent");     // nothing, query (no bootloader command), all, part
        QTest::addColumn<QString>("message");
        const QStringList full{"--yes"}, resume{"--resume", "--yes"}, dry{"--dry-run"};
        const auto row = [](const QStringList &options, const char *state, const char *firmware, int code,
                            const char *sent, const char *message) {
            QTest::newRow(qPrintable(QStringLiteral("%1 | %2 | %3").arg(options.join(' '), state, firmware)))
                << options << QString(state) << QString(firmware) << code << QString(sent) << QString(message);
        };
        row(full, "application", "v103", 0, "all", "runs V1.0.3 (before: V1.0.2)");
        row(full, "application", "other103", 3, "query", "model mismatch");
        row(full, "application", "picture", 4, "nothing", "not a firmware file: this is a PNG picture");
        row(full, "application", "empty", 4, "nothing", "empty");
        row(full, "application", "header", 4, "nothing", "no firmware data");
        row(full, "bootloader", "v103", 3, "query", "--resume");
        row(full, "absent", "v103", 2, "nothing", "no device attached");
        row(full, "unplugged", "v103", 3, "part", "could not be written");
        row(full, "not back", "v103", 3, "all", "did not come back");
        row(resume, "application", "v103", 3, "query", "runs its application");
        row(resume + QStringList{"--force"}, "application", "v103", 0, "all", "runs V1.0.3 (before: V1.0.2)");
        row(resume, "application", "other103", 3, "query", "model mismatch");
        row(resume, "application", "picture", 4, "nothing", "PNG picture");
        row(resume, "application", "empty", 4, "nothing", "empty");
        row(resume, "bootloader", "v103", 0, "all", "runs V1.0.3 (before: V1.0.2)");
        row(resume, "bootloader", "other103", 3, "query", "--force");
        row(resume, "never read", "v103", 3, "query", "never read");
        row(resume + QStringList{"--force"}, "never read", "v103", 0, "all", "the device is back and runs V1.0.3");
        row(resume, "absent", "v103", 2, "nothing", "no device attached");
        row(resume, "unplugged", "v103", 3, "part", "could not be written");
        row(dry, "application", "v103", 0, "query", "the model matches");
        row(dry, "application", "other103", 3, "query", "model mismatch");
        row(dry, "application", "picture", 4, "nothing", "PNG picture");
        row(dry, "bootloader", "v103", 3, "query", "--resume");
        row(dry + QStringList{"--resume"}, "bootloader", "v103", 0, "nothing", "nothing was sent");
        row(dry + QStringList{"--resume"}, "application", "header", 4, "nothing", "no firmware data");
    }
    void upgradePaths()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, state);
        QFETCH(QString, firmware);
        QFETCH(int, code);
        QFETCH(QString, sent);
        QFETCH(QString, message);
        const QString path = file(firmware + ".bin");
        if (state != "never read")
            QCOMPARE(runCli({"info"}).code, 0);   // the device's model and version remembered
        device().reset();
        if (state == "bootloader" || state == "never read" || (state == "unplugged" && options.contains("--resume")))
            device().enterBootloader();
        if (state == "absent")
            device().setPresent(false);
        if (state == "unplugged")
            device().unplugAfterWrites(10);   // a few chunks in
        if (state == "not back") {
            Firmware::setReturnWatchMs(1000);
            device().setWriteHook([](int, const QByteArray &report) {
                if (report[1] == 0x02)
                    device().setPresent(false);
            });
        }

        const CliRun run = runCli(QStringList{"upgrade", path} + options);
        Firmware::setReturnWatchMs(0);
        device().setWriteHook(nullptr);
        QCOMPARE(run.code, code);
        QVERIFY2((run.out + run.err).contains(message), qPrintable(run.out + run.err));
        QFile source(path);
        QVERIFY(source.open(QIODevice::ReadOnly));
        const QByteArray flash = flashOf(source.readAll(), -1);
        QCOMPARE(device().count(Exchange::Write) == 0, sent == "nothing");
        QCOMPARE(device().bootloaderReports().isEmpty(), sent == "nothing" || sent == "query");
        if (sent == "all")
            QCOMPARE(device().flashImage(), flash);
        if (sent == "part")
            QVERIFY(!device().flashImage().isEmpty() && flash.startsWith(device().flashImage())
                    && device().flashImage() != flash);
        QCOMPARE(device().misuseCount(), 0);
        QCOMPARE(device().openHandleCount(), 0);
    }

    // On a terminal the backup line stands on its own before the write, and
    // the progress line ends at 100 % with a line break before the result.
    void upgradeTerminalLines()
    {
        InterleavingConsole console;
        console.errTerminal = true;
        QCOMPARE(runTesselctl(QStringLiteral("tesselctl"), {"upgrade", "--yes", file("v103.bin")}, console), 0);
        const QString &text = console.both;
        const int backup = text.indexOf("backup of the power curves: ");
        const int firstDraw = text.indexOf("\r[");
        const int result = text.indexOf("firmware written");
        QVERIFY2(backup >= 0 && firstDraw > backup && result > firstDraw, qPrintable(text));
        QCOMPARE(text.at(backup - 1), QChar('\n'));
        QVERIFY(text.indexOf('\n', backup) < firstDraw);
        const QString lastDraw = text.mid(text.lastIndexOf("\r["), result - text.lastIndexOf("\r["));
        QVERIFY2(lastDraw.contains("] 100%") && lastDraw.endsWith("\x1b[K\n"), qPrintable(lastDraw));
    }

    // The upgrade asks before the erase: only a "y" typed at a terminal, or
    // --yes, lets it go on; --dry-run stops after the model check.
    void upgradeQuestion_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("questions");
        QTest::addColumn<bool>("written");
        QTest::newRow("no terminal") << QStringList() << false << QStringList{"y"} << 1 << 0 << false;
        QTest::newRow("yes typed") << QStringList() << true << QStringList{"y"} << 0 << 1 << true;
        QTest::newRow("YES typed") << QStringList() << true << QStringList{"YES"} << 0 << 1 << true;
        QTest::newRow("no typed") << QStringList() << true << QStringList{"n"} << 1 << 1 << false;
        QTest::newRow("just enter") << QStringList() << true << QStringList{""} << 1 << 1 << false;
        QTest::newRow("input closed") << QStringList() << true << QStringList() << 1 << 1 << false;
        QTest::newRow("--yes, no terminal") << QStringList{"--yes"} << false << QStringList() << 0 << 0 << true;
        QTest::newRow("--dry-run") << QStringList{"--dry-run"} << true << QStringList{"y"} << 0 << 0 << false;
        QTest::newRow("--dry-run --yes") << QStringList{"--dry-run", "-y"} << false << QStringList() << 0 << 0 << false;
    }
    void upgradeQuestion()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, terminal);
        QFETCH(QStringList, answers);
        QFETCH(int, code);
        QFETCH(int, questions);
        QFETCH(bool, written);
        RecordingConsole console;
        console.inTerminal = terminal;
        console.answers = answers;
        const QByteArray firmware = firmwareFor("VELTRA-MINI", 48 * 21 + 10);
        const CliRun run = runCli(QStringList{"upgrade", file("firmware.bin")} + options, console);
        QCOMPARE(run.code, code);
        QCOMPARE(run.questions, questions);
        // What is about to be written, and whether it fits, comes before any question.
        const QString sha = QCryptographicHash::hash(firmware, QCryptographicHash::Sha256).toHex();
        QVERIFY2(run.out.startsWith("file: firmware.bin\nsize: 1018 bytes\nchunks: 21 of 48 bytes\nsha256: " + sha
                                    + "\nmodel header: matches the device ('VELTRA-MINI')\n"),
                 qPrintable(run.out));
        QCOMPARE(device().bootloaderReports().isEmpty(), !written);
        // Whatever the answer, nothing but the model query goes out before it.
        if (!written) {
            const QVector<QByteArray> reports = device().writtenReports();
            QCOMPARE(reports.size(), 1);
            QCOMPARE(reports.first().left(5), QByteArray::fromHex("00553f7204"));
        }
        if (written)
            QCOMPARE(device().flashImage(), flashOf(firmware, -1));
        else
            QVERIFY(run.err.contains("nothing was erased") || code == 0);
        QCOMPARE(device().openHandleCount(), 0);
    }

    // Ctrl+C in the write stage: the chunk in flight goes out whole, the tool
    // stops and says how to go on; going on with --resume completes the flash.
    void upgradeInterrupted_data()
    {
        QTest::addColumn<int>("atChunk");   // Ctrl+C while this chunk (from 1) is written
        QTest::newRow("first chunk") << 1;
        QTest::newRow("fifth chunk") << 5;
        QTest::newRow("last full chunk") << 20;
    }
    void upgradeInterrupted()
    {
        QFETCH(int, atChunk);
        // Writes: model query, the backup's five curve reads, erase, probe, then the chunks.
        device().setWriteHook([atChunk](int index, const QByteArray &) {
            if (index == 7 + atChunk)
                requestInterrupt();
        });
        const QByteArray firmware = firmwareFor("VELTRA-MINI", 48 * 21 + 10);
        const CliRun stopped = runCli({"upgrade", "--yes", file("firmware.bin")});
        device().setWriteHook(nullptr);
        QCOMPARE(stopped.code, 130);
        QVERIFY2(stopped.err.contains(QString("interrupted after %1 of 21 chunks").arg(atChunk)), qPrintable(stopped.err));
        QVERIFY(stopped.err.contains("upgrade " + file("firmware.bin") + " --resume"));
        QCOMPARE(device().mode(), EmulatedDevice::Mode::Bootloader);
        QCOMPARE(device().flashImage(), flashOf(firmware, atChunk));

        const CliRun resumed = runCli({"upgrade", file("firmware.bin"), "--resume", "--yes"});
        QCOMPARE(resumed.code, 0);
        QCOMPARE(device().flashImage(), flashOf(firmware, -1));
        QCOMPARE(device().misuseCount(), 0);
    }

    // Ctrl+C during a job that takes a Cancel: the job stops after the report
    // in flight (no end report, no further slot or curve), the command says
    // so and ends with 130, the handle is closed, and the next run finds the
    // device as usable as ever.
    void interruptedReading_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("latencyUs");   // per report, so that the job is still running
        QTest::addColumn<int>("atWrite");     // Ctrl+C as this write (from 0) goes out
        QTest::addColumn<QString>("line");
        QTest::newRow("info") << QStringList{"info"} << 50000 << 1
                              << "tesselctl: interrupted; the device was not asked for everything";
        QTest::newRow("slots") << QStringList{"slots"} << 30000 << 2 << "tesselctl: interrupted; slots ";
        // The curve in hand, or the next one not begun.
        QTest::newRow("curve read") << QStringList{"curve", "read", "all"} << 30000 << 1
                                    << "tesselctl: interrupted; ";
        QTest::newRow("upload") << QStringList{"upload", "--slot", "4", "@stripes.png"} << 1000 << 40
                                << "tesselctl: interrupted; the picture transfer stopped part way, without its end report";
    }
    void interruptedReading()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, latencyUs);
        QFETCH(int, atWrite);
        QFETCH(QString, line);
        for (QString &argument : arguments)
            if (argument.startsWith('@'))
                argument = file(argument.mid(1));
        device().setLatencyMicros(latencyUs);
        device().setWriteHook([atWrite](int index, const QByteArray &) {
            if (index == atWrite)
                requestInterrupt();
        });
        const CliRun stopped = runCli(arguments);
        device().setWriteHook(nullptr);
        const int stoppedWrites = device().writtenReports().size();
        QCOMPARE(stopped.code, 130);
        QVERIFY2(stopped.err.startsWith(line), qPrintable(stopped.err));
        QCOMPARE(stopped.errLines().size(), 1);
        QVERIFY2(stopped.out.isEmpty(), qPrintable(stopped.out));
        QCOMPARE(device().openHandleCount(), 0);

        device().reset();
        device().setLatencyMicros(0);
        const CliRun whole = runCli(arguments);
        QCOMPARE(whole.code, 0);
        QVERIFY2(stoppedWrites < device().writtenReports().size(),
                 qPrintable(QString("%1 of %2 reports").arg(stoppedWrites).arg(device().writtenReports().size())));
        QCOMPARE(device().misuseCount(), 0);
    }

    // The progress steps count the reports sent so far, as the device thread's
    // session counted them when the job told its progress.
    void progressCountsReports()
    {
        const CliRun run = runCli({"upload", "--slot", "4", file("stripes.png"), "--verbose"});
        QCOMPARE(run.code, 0);
        const QRegularExpression step("progress: +(\\d+)%  (\\d+) reports");
        QVector<int> counts;
        for (auto it = step.globalMatch(run.err); it.hasNext();)
            counts << it.next().captured(2).toInt();
        QVERIFY2(counts.size() >= 10, qPrintable(run.err));
        QVERIFY(std::is_sorted(counts.cbegin(), counts.cend()));
        QVERIFY2(counts.first() > 0 && counts.last() > counts.first(), qPrintable(run.err));
        // The last step comes with the last data report; only the end report follows.
        QVERIFY2(counts.last() <= device().writtenReports().size()
                     && counts.last() >= device().writtenReports().size() - 2,
                 qPrintable(QString("%1 of %2").arg(counts.last()).arg(device().writtenReports().size())));
    }

    // Standard error on a terminal and on a pipe, with and without --verbose
    // and --quiet; the result line on standard output.
    void output_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QStringList>("errParts");   // in this order; none at all when empty
        const QStringList log{"发送图片--开始", "已收到回复", "0\n", "发送图片--结束"};
        QTest::newRow("pipe") << QStringList() << false << true << QStringList();
        QTest::newRow("pipe, verbose") << QStringList{"--verbose"} << false << true
                                       << (log.mid(0, 3) + QStringList{"progress: 100%"});
        QTest::newRow("terminal") << QStringList() << true << true << QStringList{"\r[", "100%", "reports/s"};
        QTest::newRow("terminal, verbose") << QStringList{"--verbose"} << true << true << (log + QStringList{"100%"});
        QTest::newRow("terminal, quiet") << QStringList{"-q"} << true << false << QStringList();
    }
    void output()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, terminal);
        QFETCH(bool, result);
        QFETCH(QStringList, errParts);
        RecordingConsole console;
        console.errTerminal = terminal;
        const CliRun run = runCli(QStringList{"upload", "--slot", "4", file("stripes.png")} + options, console);
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out, result ? QString("slot 4: colour picture sent (240×280)\n") : QString());
        if (errParts.isEmpty())
            QCOMPARE(run.err, QString());
        int from = 0;
        for (const QString &part : errParts) {
            from = run.err.indexOf(part, from);
            QVERIFY2(from >= 0, qPrintable(part + " missing in " + run.err.left(400)));
        }
    }

    // The picture as the slot shows it after each fit, and the one-bit screen
    // with and without dithering.
    void pictureFits_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QColor>("colour");
        // Three stripes of 160 columns in a 480 x 100 picture, onto 240 x 280.
        QTest::newRow("stretch, left") << QStringList() << QPoint(40, 140) << QColor(Qt::red);
        QTest::newRow("stretch, top row") << QStringList{"--fit", "stretch"} << QPoint(200, 0) << QColor(Qt::blue);
        QTest::newRow("contain, bar") << QStringList{"--fit", "contain"} << QPoint(120, 0) << QColor(Qt::white);
        QTest::newRow("contain, picture") << QStringList{"--fit", "contain"} << QPoint(40, 140) << QColor(Qt::red);
        QTest::newRow("cover, left") << QStringList{"--fit", "cover"} << QPoint(5, 5) << QColor(Qt::green);
        QTest::newRow("cover, right") << QStringList{"--fit", "cover"} << QPoint(234, 274) << QColor(Qt::green);
    }
    void pictureFits()
    {
        QFETCH(QStringList, options);
        QFETCH(QPoint, at);
        QFETCH(QColor, colour);
        QCOMPARE(runCli(QStringList{"upload", "--slot", "4", file("stripes.png")} + options).code, 0);
        QCOMPARE(device().slotPicture(4).pixelColor(at), colour);
    }

    // Every file of the picture corpus: sent upright and stretched to the
    // slot (transparency on white), or refused with its reason before the
    // device is opened.
    void uploadCorpus_data()
    {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("reason");
        const auto &entries = picturecorpus::entries();
        for (int i = 0; i < entries.size(); ++i) {
            const picturecorpus::Entry &e = entries[i];
            const QString reason = e.refusal == PictureRefusal::Empty       ? "empty file"
                                   : e.refusal == PictureRefusal::NotAPicture ? "not a picture"
                                   : e.refusal == PictureRefusal::TooLarge
                                       ? QString("picture %1×%2 is larger than 8192×8192").arg(e.size.width()).arg(e.size.height())
                                   : e.refusal == PictureRefusal::Unreadable ? "cut short or damaged"
                                                                             : "";
            QTest::newRow(e.file) << i << reason;
        }
    }
    void uploadCorpus()
    {
        QFETCH(int, entry);
        QFETCH(QString, reason);
        const picturecorpus::Entry &expected = picturecorpus::entries()[entry];
        const QString path = picturecorpus::path(expected.file);
        const CliRun run = runCli({"upload", "--slot", "4", path});
        if (!reason.isEmpty()) {
            QCOMPARE(run.code, 4);
            QCOMPARE(run.errLines().size(), 1);
            QVERIFY2(run.err.startsWith("tesselctl: " + path + ": ") && run.err.contains(reason), qPrintable(run.err));
            QCOMPARE(device().count(Exchange::Open), 0);
            return;
        }
        QCOMPARE(run.code, 0);
        const QImage shown = device().slotPicture(4);
        QCOMPARE(shown.size(), QSize(240, 280));
        QString said;
        QVERIFY2(picturecorpus::showsCorners(shown, expected.corners, true, &said), qPrintable(said));
    }

    void dithering_data()
    {
        QTest::addColumn<QString>("dither");
        QTest::addColumn<double>("least");
        QTest::addColumn<double>("most");
        // Grey 100 lies under the screen's threshold: dark throughout unless dithered,
        // then lit in about 100 of 255 pixels.
        QTest::newRow("none") << "none" << 0.0 << 0.0;
        QTest::newRow("floyd-steinberg") << "floyd-steinberg" << 0.35 << 0.43;
    }
    void dithering()
    {
        QFETCH(QString, dither);
        QFETCH(double, least);
        QFETCH(double, most);
        device().profile().imageSlots.insert(6, {128, 64, 0x00});
        QImage grey(64, 32, QImage::Format_RGB32);
        grey.fill(qRgb(100, 100, 100));
        QVERIFY(grey.save(file("grey.png")));
        QCOMPARE(runCli({"upload", "--slot", "6", "--dither", dither, file("grey.png")}).code, 0);
        const QImage shown = device().slotPicture(6);
        QCOMPARE(shown.size(), QSize(128, 64));
        int lit = 0;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                lit += shown.pixelColor(x, y) == Qt::white;
        const double share = double(lit) / (128 * 64);
        QVERIFY2(share >= least && share <= most, qPrintable(QString::number(share)));
    }

    // The built programs themselves: exit status, standard streams, and the
    // upgrade refused when standard input is no terminal.
    void programs_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "print-udev-rule" << "";
        QTest::newRow("command help") << QStringList{"upload", "--help"} << 0 << "--fit MODE" << "";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "tesselctl-emulated 1.0.2" << "";
        QTest::newRow("info") << QStringList{"info"} << 0 << "VELTRA-MINI" << "";
        QTest::newRow("usage") << QStringList{"slots", "7"} << 1 << "" << "too many arguments";
        QTest::newRow("upgrade, stdin closed") << QStringList{"upgrade", "@firmware.bin"} << 1
                                               << "model header: matches" << "nothing was erased";
    }
    void programs()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        for (QString &argument : arguments)
            if (argument.startsWith('@'))
                argument = file(argument.mid(1));
        QProcess process;
        // The device messages follow the locale: these rows expect the texts as written.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", "C");
        process.setProcessEnvironment(environment);
        process.start(QCoreApplication::applicationDirPath() + "/tesselctl-emulated", arguments);
        QVERIFY(process.waitForStarted());
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), code);
        const QString stdoutText = QString::fromUtf8(process.readAllStandardOutput());
        const QString stderrText = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(stdoutText.contains(out), qPrintable(stdoutText));
        QVERIFY2(err.isEmpty() ? stderrText.isEmpty() : stderrText.contains(err), qPrintable(stderrText));
    }

    // The core's reasons and log lines in the locale's language; the tool's own words stay English.
    // The reason follows the file's name once, not behind a prefix that says it again.
    void speaksTheLocale_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("err");
        QTest::newRow("en_US.UTF-8") << "en_US.UTF-8" << "bad.tessel.json: Invalid profile: not JSON (error at byte 2)";
        QTest::newRow("C") << "C" << "bad.tessel.json: 配置文件无效：不是 JSON（第 2 字节处出错）";
        QTest::newRow("zh_CN.UTF-8") << "zh_CN.UTF-8" << "bad.tessel.json: 配置文件无效：不是 JSON（第 2 字节处出错）";
    }
    void speaksTheLocale()
    {
        QFETCH(QString, locale);
        QFETCH(QString, err);
        QTemporaryDir scratch;
        QFile bad(scratch.filePath("bad.tessel.json"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("?");
        bad.close();
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("LC_MESSAGES");
        environment.remove("LANG");
        environment.insert("LC_ALL", locale);
        process.setProcessEnvironment(environment);
        process.start(QCoreApplication::applicationDirPath() + "/tesselctl-emulated",
                      {"profile", "apply", bad.fileName()});
        QVERIFY(process.waitForFinished(30000));
        const QString stderrText = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(stderrText.contains(err), qPrintable(stderrText));
        QVERIFY2(!stderrText.contains(QStringLiteral("invalid profile"), Qt::CaseSensitive), qPrintable(stderrText));
    }

    void udevRule()
    {
        QFile rule(TESSEL_SOURCE_DIR "/packaging/linux/70-tessel-control.rules");
        QVERIFY(rule.open(QIODevice::ReadOnly));
        const CliRun run = runCli({"print-udev-rule"});
        QCOMPARE(run.code, 0);
        QCOMPARE(run.out.toUtf8(), rule.readAll());
    }

    // The one line that compares the model header with the device's name field.
    void modelComparison_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("device");
        QTest::addColumn<QString>("line");
        const QByteArray name = QByteArray("VELTRA-MINI").leftJustified(48, '\0');
        QTest::newRow("same") << name << name << "model header: matches the device ('VELTRA-MINI')";
        QTest::newRow("first byte") << QByteArray("XELTRA-MINI").leftJustified(48, '\0') << name
                                    << "model header: differs from the device's at offset 0 (file 0x58, device 0x56); "
                                       "file is for 'XELTRA-MINI', the device is 'VELTRA-MINI'";
        QTest::newRow("after the name") << QByteArray("VELTRA-MINI").leftJustified(47, '\0') + '\x01' << name
                                        << "model header: differs from the device's at offset 47 (file 0x01, device 0x00); "
                                           "file is for 'VELTRA-MINI', the device is 'VELTRA-MINI'";
    }
    void modelComparison()
    {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, device);
        QFETCH(QString, line);
        QCOMPARE(modelComparisonLine(file, device), line);
    }
};

QTEST_GUILESS_MAIN(TestTesselctl)
#include "tst_tesselctl.moc"
