// The emulated device as the program meets it through hidapi: its answers, its fault
// switches, its timing and the record it keeps. Every other suite stands on it.

#include "emulator/emulateddevice.h"

#include <QElapsedTimer>
#include <QtTest>

#include <hidapi.h>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;
using ReplyFault = EmulatedDevice::ReplyFault;
using TimeoutMode = EmulatedDevice::TimeoutMode;

Q_DECLARE_METATYPE(EmulatedDevice::ReplyFault)
Q_DECLARE_METATYPE(EmulatedDevice::TimeoutMode)

namespace {

EmulatedDevice &device() { return EmulatedDevice::instance(); }
QByteArray hex(const char *digits) { return QByteArray::fromHex(digits); }
QByteArray zeros(int n) { return QByteArray(n, '\0'); }
hid_device *openDevice() { return hid_open(0x0483, 0x5750, nullptr); }
const QByteArray bootPattern = QByteArray("1234567890").repeated(6);
const QByteArray eraseReport = QByteArray("\x00\x03\x3C", 3) + bootPattern + zeros(1);

// Output report of the application command: 00 55 3F op item, then the item's arguments.
QByteArray request(char op, quint8 item, const QByteArray &args = {})
{
    return (QByteArray("\x00\x55\x3F", 3) + op + char(item) + args.left(59)).leftJustified(64, '\0');
}
QByteArray curveRequest(int curve) { return request('r', 0x0A, QByteArray(1, '\0') + char(7 + curve)); }

// The 63 bytes a read delivers: 55 op item, then field from offset on, zeros elsewhere.
QByteArray answer(char op, quint8 item, int offset, const QByteArray &field)
{
    return ((QByteArray("\x55") + op + char(item)).leftJustified(offset, '\0') + field).leftJustified(63, '\0');
}

int send(hid_device *handle, const QByteArray &report)
{
    return hid_write(handle, reinterpret_cast<const unsigned char *>(report.constData()), size_t(report.size()));
}

// One read as the program makes it, 63 bytes asked for; *result gets hidapi's return value.
QByteArray readReply(hid_device *handle, int *result = nullptr, int timeoutMs = 3000)
{
    unsigned char buffer[64] = {};
    const int n = hid_read_timeout(handle, buffer, 63, timeoutMs);
    if (result)
        *result = n;
    return n > 0 ? QByteArray(reinterpret_cast<const char *>(buffer), n) : QByteArray();
}

QByteArray ask(hid_device *handle, const QByteArray &report, int *result = nullptr)
{
    send(handle, report);
    return readReply(handle, result);
}

} // namespace

class TestEmulator : public QObject
{
    Q_OBJECT

    hid_device *handle = nullptr;   // opened for every test; null once a test gave it up
    int expectedMisuses = 0;

private slots:
    void init()
    {
        device().reset();
        expectedMisuses = 0;
        handle = openDevice();
        QVERIFY(handle);
    }
    void cleanup()
    {
        if (handle)
            hid_close(handle);
        handle = nullptr;
        QCOMPARE(device().misuseCount(), expectedMisuses);
    }

    void replyToRequest_data()
    {
        QTest::addColumn<QByteArray>("name");      // device name to set first, if any
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<QByteArray>("reply");     // empty: the device stays silent
        const QByteArray geometry240x280 = hex("00F0011854");
        QTest::newRow("0x04 name") << QByteArray() << request('r', 0x04) << answer('r', 0x04, 4, "\x0A" "VELTRA-MINI");
        QTest::newRow("0x04 four letters") << QByteArray("ABCD") << request('r', 0x04)
                                            << answer('r', 0x04, 4, "\x03" "ABCD");
        QTest::newRow("0x04 name cut at the end") << QByteArray(70, 'N') << request('r', 0x04)
                                                   << answer('r', 0x04, 4, "\x45" + QByteArray(58, 'N'));
        QTest::newRow("0x05 version") << QByteArray() << request('r', 0x05) << answer('r', 0x05, 4, "V1.0.2");
        QTest::newRow("0x06 screen, ranges, flag") << QByteArray() << request('r', 0x06)
            << answer('r', 0x06, 4, "1.69 " + hex("0005005000C802580064013C") + "S");
        QTest::newRow("0x07 identification") << QByteArray() << request('r', 0x07)
                                              << answer('r', 0x07, 3, "TSL-VM01-000001");
        QTest::newRow("0x0B slot 1") << QByteArray() << request('r', 0x0B, hex("01"))
                                      << answer('r', 0x0B, 4, hex("0100F0002854"));
        for (int slot : {2, 3, 4, 5, 0, 9}) {
            QTest::addRow("0x0B slot %d", slot) << QByteArray() << request('r', 0x0B, QByteArray(1, char(slot)))
                                                << answer('r', 0x0B, 4, char(slot) + geometry240x280);
        }
        QTest::newRow("0x0C image start") << QByteArray() << request('w', 0x0C, hex("3601040000010800"))
                                           << answer('w', 0x0C, 3, hex("0104"));
        QTest::newRow("0x0D image start") << QByteArray() << request('w', 0x0D, hex("3601010000000800"))
                                           << answer('w', 0x0D, 3, hex("0101"));
        QTest::newRow("0x0C image data") << QByteArray() << request('w', 0x0C, hex("3602") + QByteArray(54, 'p'))
                                          << QByteArray();
        QTest::newRow("0x0D image end") << QByteArray() << request('w', 0x0D, hex("3603")) << QByteArray();
        QTest::newRow("0x08 settings") << QByteArray() << request('w', 0x08, hex("0102030405")) << QByteArray();
        QTest::newRow("0x09 settings") << QByteArray() << request('w', 0x09, hex("AA")) << QByteArray();
        QTest::newRow("0x0A curve write") << QByteArray() << request('w', 0x0A, hex("1507") + zeros(20))
                                           << QByteArray();
        QTest::newRow("0x0A curve number 6") << QByteArray() << request('r', 0x0A, hex("0006")) << QByteArray();
        QTest::newRow("0x0A curve number 12") << QByteArray() << request('r', 0x0A, hex("000C")) << QByteArray();
        QTest::newRow("unknown item") << QByteArray() << request('r', 0x20) << QByteArray();
        QTest::newRow("bootloader erase") << QByteArray() << eraseReport << QByteArray();
    }
    void replyToRequest()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, report);
        QFETCH(QByteArray, reply);
        if (!name.isEmpty())
            device().profile().setName(name);
        QCOMPARE(send(handle, report), 64);
        int n = -2;
        QCOMPARE(readReply(handle, &n, 10000), reply);
        QCOMPARE(n, reply.size());
    }

    void curveReadsBackWhatWasWritten_data()
    {
        QTest::addColumn<int>("curve");
        for (int curve = 0; curve < 5; ++curve)
            QTest::addRow("M%d", curve + 1) << curve;
    }
    void curveReadsBackWhatWasWritten()
    {
        QFETCH(int, curve);
        QVector<QByteArray> before;
        for (int other = 0; other < 5; ++other)
            before << ask(handle, curveRequest(other));
        const QByteArray base = hex("012C00010002000300FF010000500000FFFF002A");   // 300 1 2 3 255 256 80 0 65535 42
        const QByteArray points = base.mid(2 * curve) + base.left(2 * curve);
        const QByteArray curveBlock = "\x15" + QByteArray(1, char(7 + curve)) + points;   // count, number, points
        QCOMPARE(send(handle, request('w', 0x0A, curveBlock)), 64);
        QCOMPARE(readReply(handle).size(), 0);
        QCOMPARE(ask(handle, curveRequest(curve)), answer('r', 0x0A, 4, curveBlock));
        for (int other = 0; other < 5; ++other) {
            if (other != curve)
                QCOMPARE(ask(handle, curveRequest(other)), before.at(other));
        }
    }

    void replyFault_data()
    {
        QTest::addColumn<QByteArray>("report");
        QTest::addColumn<ReplyFault>("fault");
        QTest::addColumn<int>("shortLength");   // -1: the switch's default
        QTest::addColumn<int>("delivered");
        QTest::newRow("0x04 none") << request('r', 0x04) << ReplyFault::NoReply << 0 << 0;
        QTest::newRow("0x05 short, default") << request('r', 0x05) << ReplyFault::Short << -1 << 60;
        QTest::newRow("0x06 short 61") << request('r', 0x06) << ReplyFault::Short << 61 << 61;
        QTest::newRow("0x07 none") << request('r', 0x07) << ReplyFault::NoReply << 0 << 0;
        QTest::newRow("0x0A short 20") << curveRequest(0) << ReplyFault::Short << 20 << 20;
        QTest::newRow("0x0B none") << request('r', 0x0B, hex("04")) << ReplyFault::NoReply << 0 << 0;
        QTest::newRow("0x0C start none") << request('w', 0x0C, hex("3601")) << ReplyFault::NoReply << 0 << 0;
        QTest::newRow("0x0D start short 0") << request('w', 0x0D, hex("3601")) << ReplyFault::Short << 0 << 0;
    }
    void replyFault()
    {
        QFETCH(QByteArray, report);
        QFETCH(ReplyFault, fault);
        QFETCH(int, shortLength);
        QFETCH(int, delivered);
        const quint8 item = quint8(report.at(4));
        const QByteArray full = ask(handle, report);
        QCOMPARE(full.size(), 63);
        if (shortLength < 0)
            device().setReplyFault(item, fault);
        else
            device().setReplyFault(item, fault, shortLength);
        int n = -2;
        QCOMPARE(ask(handle, report, &n), full.left(delivered));
        QCOMPARE(n, delivered);
        QCOMPARE(ask(handle, request('r', item == 0x05 ? 0x04 : 0x05)).size(), 63);   // other items still answer
        device().setReplyFault(item, ReplyFault::None);
        QCOMPARE(ask(handle, report), full);
    }

    void answerLastsUntilTheDeviceSeesTheNextReport()
    {
        device().failWritesAt({1});
        const QByteArray settings = request('w', 0x08, hex("01"));
        QCOMPARE(send(handle, request('r', 0x04)), 64);
        QCOMPARE(send(handle, settings), -1);
        QCOMPARE(readReply(handle).size(), 63);   // the lost write never reached the device
        QVERIFY(device().settingsBlocks(0x08).isEmpty());
        QCOMPARE(device().writtenReports().last(), settings);
        QCOMPARE(send(handle, request('r', 0x04)), 64);
        QCOMPARE(send(handle, settings), 64);
        int n = -2;
        readReply(handle, &n);
        QCOMPARE(n, 0);   // an unread answer is gone once the next report arrives
        QCOMPARE(device().settingsBlocks(0x08), QVector<QByteArray>{settings.mid(3)});
    }

    void unplugAfterWrites_data()
    {
        QTest::addColumn<int>("writes");
        QTest::newRow("at once") << 0;
        QTest::newRow("after one") << 1;
        QTest::newRow("after three") << 3;
    }
    void unplugAfterWrites()
    {
        QFETCH(int, writes);
        device().unplugAfterWrites(writes);
        for (int i = 0; i < writes; ++i)
            QCOMPARE(send(handle, request('r', 0x04)), 64);
        QVERIFY(!device().isPresent());
        int n = 0;
        readReply(handle, &n);
        QCOMPARE(n, -1);   // the last answer went with the device
        QCOMPARE(send(handle, request('r', 0x04)), -1);
        QVERIFY(!openDevice());

        device().plugBackIn();
        hid_device *fresh = openDevice();
        QVERIFY(fresh);
        QCOMPARE(send(handle, request('r', 0x04)), -1);   // the old connection stays dead
        QCOMPARE(ask(fresh, request('r', 0x04)).size(), 63);
        hid_close(fresh);
    }

    void timeoutMode_data()
    {
        QTest::addColumn<TimeoutMode>("mode");
        QTest::addColumn<bool>("nonblocking");
        QTest::addColumn<bool>("answerWaiting");
        QTest::addColumn<int>("timeoutMs");
        QTest::newRow("immediate") << TimeoutMode::Immediate << false << false << 5000;
        QTest::newRow("real wait") << TimeoutMode::RealWait << false << false << 50;
        QTest::newRow("real wait, nonblocking") << TimeoutMode::RealWait << true << false << 5000;
        QTest::newRow("real wait, answer waiting") << TimeoutMode::RealWait << false << true << 5000;
    }
    void timeoutMode()
    {
        QFETCH(TimeoutMode, mode);
        QFETCH(bool, nonblocking);
        QFETCH(bool, answerWaiting);
        QFETCH(int, timeoutMs);
        device().setTimeoutMode(mode);
        QCOMPARE(hid_set_nonblocking(handle, nonblocking ? 1 : 0), 0);
        if (answerWaiting)
            send(handle, request('r', 0x07));
        QElapsedTimer timer;
        timer.start();
        int n = -2;
        readReply(handle, &n, timeoutMs);
        const qint64 elapsed = timer.elapsed();
        QCOMPARE(n, answerWaiting ? 63 : 0);
        // Either it sat out its time-out or it came back before it: no tighter bound.
        const bool waits = mode == TimeoutMode::RealWait && !nonblocking && !answerWaiting;
        QVERIFY2(waits ? elapsed >= timeoutMs : elapsed < timeoutMs, qPrintable(QString::number(elapsed)));
    }

    void latencyKeepsToASchedule_data()
    {
        QTest::addColumn<bool>("earlierWrite");
        QTest::newRow("fresh link") << false;
        QTest::newRow("after a write without latency") << true;
    }
    void latencyKeepsToASchedule()
    {
        QFETCH(bool, earlierWrite);
        if (earlierWrite)
            send(handle, request('r', 0x04));
        device().setLatencyMicros(1000);
        const QByteArray report = request('w', 0x0C, hex("3602"));
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 200; ++i)
            QCOMPARE(send(handle, report), 64);
        QVERIFY2(timer.nsecsElapsed() >= 200'000'000, qPrintable(QString::number(timer.nsecsElapsed())));
        const auto &record = device().record();
        QVERIFY(record.last().atMicros - record.at(record.size() - 201).atMicros >= 200'000);
    }

    void misuseIsCountedNotFatal_data()
    {
        QTest::addColumn<int>("call");     // close, write, read, set nonblocking
        QTest::addColumn<int>("target");   // closed handle, null, handle from before a reset
        const char *calls[] = {"close", "write", "read", "nonblocking"};
        const char *targets[] = {"closed", "null", "stale"};
        for (int call = 0; call < 4; ++call) {
            for (int target = 0; target < 3; ++target)
                QTest::addRow("%s on %s", calls[call], targets[target]) << call << target;
        }
    }
    void misuseIsCountedNotFatal()
    {
        QFETCH(int, call);
        QFETCH(int, target);
        hid_device *victim = target == 1 ? nullptr : handle;
        if (target == 0)
            hid_close(handle);
        else if (target == 2)
            device().reset();
        handle = nullptr;
        unsigned char buffer[64] = {};
        switch (call) {
        case 0: hid_close(victim); break;
        case 1: QCOMPARE(hid_write(victim, buffer, 64), -1); break;
        case 2: QCOMPARE(hid_read_timeout(victim, buffer, 63, 3000), -1); break;
        default: QCOMPARE(hid_set_nonblocking(victim, 0), -1); break;
        }
        expectedMisuses = 1;
        QCOMPARE(device().misuseCount(), 1);
        QCOMPARE(device().record().last().result, -1);
        QCOMPARE(device().record().last().handleId, target == 0 ? 1 : -1);
        handle = openDevice();   // the device itself is unharmed
        QVERIFY(handle);
        QCOMPARE(ask(handle, request('r', 0x04)).size(), 63);
    }

    // What hid_enumerate lists: the device while it is on the bus and matches the
    // filter, never opened for it; a user without access still sees it listed.
    void enumerate_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<int>("vendor");
        QTest::addColumn<int>("product");
        QTest::addColumn<bool>("listed");
        QTest::addColumn<bool>("opens");
        QTest::newRow("present, exact ids") << "present" << 0x0483 << 0x5750 << true << true;
        QTest::newRow("present, any id") << "present" << 0 << 0 << true << true;
        QTest::newRow("other vendor") << "present" << 0x046D << 0 << false << true;
        QTest::newRow("unplugged") << "unplugged" << 0x0483 << 0x5750 << false << false;
        QTest::newRow("no access") << "denied" << 0x0483 << 0x5750 << true << false;
        QTest::newRow("off the bus after an erase") << "erased" << 0x0483 << 0x5750 << false << false;
    }
    void enumerate()
    {
        QFETCH(QString, state);
        QFETCH(int, vendor);
        QFETCH(int, product);
        QFETCH(bool, listed);
        QFETCH(bool, opens);
        device().profile().setName("VELTRA-X");
        if (state == "unplugged") {
            device().setPresent(false);
        } else if (state == "denied") {
            device().setAccessDenied(true);
        } else if (state == "erased") {
            device().stayAwayAfterErase(true);   // gone from the bus until plugged back in
            QCOMPARE(send(handle, eraseReport), 64);
            QTest::qWait(40);   // past the restart
        }
        hid_close(handle);
        handle = nullptr;
        device().clearRecord();

        hid_device_info *devices = hid_enumerate(quint16(vendor), quint16(product));
        QCOMPARE(devices != nullptr, listed);
        if (devices) {
            QVERIFY(!devices->next && devices->path && *devices->path);
            QCOMPARE(devices->vendor_id, quint16(0x0483));
            QCOMPARE(devices->product_id, quint16(0x5750));
            QCOMPARE(QString::fromWCharArray(devices->serial_number), QStringLiteral("TSL-VM01-000001"));
            QCOMPARE(QString::fromWCharArray(devices->product_string), QStringLiteral("VELTRA-X"));
        }
        hid_free_enumeration(devices);
        QCOMPARE(device().record().size(), 1);   // listed, never opened
        QCOMPARE(device().record().first().kind, Exchange::Enumerate);
        QCOMPARE(device().record().first().result, int(listed));

        handle = openDevice();
        QCOMPARE(handle != nullptr, opens);
        QCOMPARE(device().count(Exchange::Open), 1);
    }

    // In its bootloader the device answers no query, and it stays there across
    // unplugging until a jump. After the jump it reports the version the image
    // names by the emulator's test convention, or keeps the one it had.
    void bootloaderAndVersion_data()
    {
        QTest::addColumn<QByteArray>("image");   // sent as one chunk of at most 48 bytes
        QTest::addColumn<bool>("jump");
        QTest::addColumn<QByteArray>("version"); // what item 0x05 says afterwards; empty: no answer
        QTest::newRow("interrupted") << QByteArray("TSL-VER=V9.9.9") << false << QByteArray();
        QTest::newRow("image names its version") << QByteArray("abc TSL-VER=V1.0.3\x01zz") << true << QByteArray("V1.0.3");
        QTest::newRow("image names none") << QByteArray("no marker here") << true << QByteArray("V1.0.2");
        QTest::newRow("version cut at 15 bytes") << QByteArray("TSL-VER=V1234567890123456789") << true
                                                 << QByteArray("V12345678901234");
    }
    void bootloaderAndVersion()
    {
        QFETCH(QByteArray, image);
        QFETCH(bool, jump);
        QFETCH(QByteArray, version);
        hid_close(handle);
        device().enterBootloader();
        handle = openDevice();
        QVERIFY(handle);
        const auto command = [](char code, const QByteArray &payload) {
            return (QByteArray(1, '\0') + code + char(payload.size()) + payload).leftJustified(64, '\0');
        };
        send(handle, command(0x00, bootPattern));
        send(handle, command(0x01, image + "90123"));
        QCOMPARE(ask(handle, request('r', 0x05)), QByteArray());
        if (jump) {
            send(handle, command(0x02, bootPattern));
            QTest::qWait(40);   // past the restart it commits to
        }
        hid_close(handle);
        handle = nullptr;
        device().setPresent(false);
        device().setPresent(true);
        QTRY_VERIFY((handle = openDevice()) != nullptr);   // once it has enumerated again
        QCOMPARE(device().mode(), jump ? EmulatedDevice::Mode::Application : EmulatedDevice::Mode::Bootloader);
        QCOMPARE(device().flashImage(), image);
        const QByteArray reply = ask(handle, request('r', 0x05));
        QCOMPARE(reply.isEmpty() ? QByteArray() : reply.mid(4, reply.indexOf('\0', 4) - 4), version);
    }

    void writesAreKeptUntilReset()
    {
        const QByteArray first = request('w', 0x08, hex("0102030405"));
        const QByteArray second = request('w', 0x09, hex("AA"));
        const QByteArray probe = QByteArray("\x00\x00\x3C", 3) + bootPattern + zeros(1);
        const QByteArray start = request('w', 0x0D, hex("3601"));
        const QByteArray end = request('w', 0x0D, hex("3603"));
        for (const QByteArray &report : {first, start, second, probe, first, end, eraseReport})
            QCOMPARE(send(handle, report), 64);
        QCOMPARE(device().settingsBlocks(0x08), (QVector<QByteArray>{first.mid(3), first.mid(3)}));
        QCOMPARE(device().settingsBlocks(0x09), QVector<QByteArray>{second.mid(3)});
        QCOMPARE(device().bootloaderReports(), (QVector<QByteArray>{probe, eraseReport}));
        QCOMPARE(device().imageReports(), (QVector<QByteArray>{start, end}));

        device().reset();
        QVERIFY(device().settingsBlocks(0x08).isEmpty() && device().settingsBlocks(0x09).isEmpty());
        QVERIFY(device().imageReports().isEmpty() && device().bootloaderReports().isEmpty());
        handle = nullptr;
    }

    // The bus as hidapi lists it: the devices plugged in and not re-enumerating,
    // each opened by its path; a handle's calls reach the device it belongs to.
    void busListing_data()
    {
        QTest::addColumn<bool>("second");      // the second device plugged in
        QTest::addColumn<bool>("firstGone");   // the first unplugged
        QTest::addColumn<bool>("restarting");  // the first just took an erase
        QTest::addColumn<QByteArrayList>("listed");
        QTest::newRow("one device") << false << false << false << QByteArrayList{"emulated:0"};
        QTest::newRow("two devices") << true << false << false << QByteArrayList{"emulated:0", "emulated:1"};
        QTest::newRow("second only") << true << true << false << QByteArrayList{"emulated:1"};
        QTest::newRow("first restarting") << true << false << true << QByteArrayList{"emulated:1"};
        QTest::newRow("none") << false << true << false << QByteArrayList();
    }
    void busListing()
    {
        QFETCH(bool, second);
        QFETCH(bool, firstGone);
        QFETCH(bool, restarting);
        QFETCH(QByteArrayList, listed);
        EmulatedDevice &other = EmulatedDevice::onBus(1);
        other.reset();
        other.setPresent(second);
        if (restarting) {
            QCOMPARE(send(handle, eraseReport), 64);
            QTest::qWait(40);   // past the restart, well within the re-enumeration
        }
        if (firstGone)
            device().setPresent(false);

        QByteArrayList paths;
        hid_device_info *list = hid_enumerate(0x0483, 0x5750);
        for (const hid_device_info *entry = list; entry; entry = entry->next) {
            paths << entry->path;
            const int index = paths.last().endsWith('1') ? 1 : 0;
            QCOMPARE(QString::fromWCharArray(entry->serial_number), QString("TSL-VM01-00000%1").arg(index + 1));
            QCOMPARE(QString::fromWCharArray(entry->product_string), QString("VELTRA-MINI"));
        }
        hid_free_enumeration(list);
        QCOMPARE(paths, listed);
        QVERIFY(!hid_enumerate(0x0483, 0x5751));

        // Each listed path opens its own device; a request reaches only that one.
        for (const QByteArray &path : listed) {
            hid_device *opened = hid_open_path(path.constData());
            QVERIFY(opened);
            EmulatedDevice &target = EmulatedDevice::onBus(path.endsWith('1') ? 1 : 0);
            const int before = target.count(Exchange::Write);
            QCOMPARE(ask(opened, request('r', 0x07)).mid(3, 15), QByteArray(target.profile().identification));
            QCOMPARE(target.count(Exchange::Write), before + 1);
            hid_close(opened);
        }
        QVERIFY(!hid_open_path("emulated:9"));
        other.reset();
        if (firstGone || restarting) {
            hid_close(handle);
            handle = nullptr;
        }
    }

    // The bench the emulated programs get from their environment: how many
    // units are plugged in at reset, and the faults single units are given.
    void benchFromEnvironment_data()
    {
        QTest::addColumn<QByteArray>("devices");
        QTest::addColumn<QByteArray>("faults");
        QTest::addColumn<int>("listed");
        QTest::addColumn<QList<bool>>("answering");   // units 0..2: the third request still answered

        QTest::newRow("unset") << QByteArray() << QByteArray() << 1 << QList<bool>{true};
        QTest::newRow("three") << QByteArray("3") << QByteArray() << 3 << QList<bool>{true, true, true};
        QTest::newRow("above the bus") << QByteArray("40") << QByteArray() << 16 << QList<bool>{true, true, true};
        QTest::newRow("not a number") << QByteArray("eight") << QByteArray() << 1 << QList<bool>{true};
        QTest::newRow("one silent") << QByteArray("3") << QByteArray("2:silent") << 3 << QList<bool>{true, true, false};
        QTest::newRow("every link breaks") << QByteArray("2") << QByteArray("*:fail-write=1") << 2 << QList<bool>{false, false};
        QTest::newRow("one pulled out") << QByteArray("2") << QByteArray("1:unplug-after=2") << 2 << QList<bool>{true, false};
        QTest::newRow("nonsense ignored") << QByteArray("2") << QByteArray("0:explode,x:silent,1:unplug-after=z")
                                          << 2 << QList<bool>{true, true};
    }
    void benchFromEnvironment()
    {
        QFETCH(QByteArray, devices);
        QFETCH(QByteArray, faults);
        QFETCH(int, listed);
        QFETCH(QList<bool>, answering);
        hid_close(handle);   // the bench is set up afresh below
        handle = nullptr;
        const auto resetBus = [](const QByteArray &devices, const QByteArray &faults) {
            qputenv("TESSEL_EMULATED_DEVICES", devices);
            qputenv("TESSEL_EMULATED_FAULTS", faults);
            for (int i = 0; i < EmulatedDevice::BusSize; ++i)
                EmulatedDevice::onBus(i).reset();
        };
        resetBus(devices, faults);

        QSet<QString> serials;   // one path and serial number each, in bus order
        hid_device_info *list = hid_enumerate(0x0483, 0x5750);
        for (const hid_device_info *entry = list; entry; entry = entry->next) {
            QCOMPARE(QByteArray(entry->path), "emulated:" + QByteArray::number(serials.size()));
            serials.insert(QString::fromWCharArray(entry->serial_number));
        }
        hid_free_enumeration(list);
        QCOMPARE(serials.size(), listed);
        for (int i = 0; i < answering.size(); ++i) {
            hid_device *unit = hid_open_path(("emulated:" + QByteArray::number(i)).constData());
            QVERIFY(unit);
            QByteArray reply;
            for (int n = 0; n < 3; ++n) {
                send(unit, request('r', 0x07));
                reply = readReply(unit, nullptr, 50);
            }
            QCOMPARE(reply.mid(3, 15) == EmulatedDevice::onBus(i).profile().identification, answering.at(i));
            hid_close(unit);
        }
        resetBus("", "");   // back to one unit, no faults
    }
};

QTEST_MAIN(TestEmulator)
#include "tst_emulator.moc"
