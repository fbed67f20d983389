// The device jobs run without a window: the session's open and close, and what
// each job sends and logs against the emulated device.

#include "device/deviceinfoquery.h"
#include "device/devicesession.h"
#include "emulator/emulateddevice.h"
#include "images/slotquery.h"
#include "recordingsink.h"
#include "settings/curveexchange.h"
#include "settings/settingswrite.h"

#include <QtTest>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;

class TestDeviceJobs : public QObject
{
    Q_OBJECT

    EmulatedDevice &device() { return EmulatedDevice::instance(); }

private slots:
    void init() { device().reset(); }

    // One handle per session however often it is opened, closed exactly once.
    void sessionOpensOnceAndClosesOnce_data()
    {
        QTest::addColumn<int>("failingOpens");
        QTest::addColumn<bool>("retries");
        QTest::addColumn<int>("opens");   // hid_open calls
        QTest::addColumn<bool>("online");
        QTest::newRow("present") << 0 << false << 1 << true;
        QTest::newRow("one failed open") << 1 << false << 1 << false;
        QTest::newRow("19 failures, retried") << 19 << true << 20 << true;
        QTest::newRow("20 failures, retried") << 20 << true << 20 << false;
    }
    void sessionOpensOnceAndClosesOnce()
    {
        QFETCH(int, failingOpens);
        QFETCH(bool, retries);
        QFETCH(int, opens);
        QFETCH(bool, online);
        device().failNextOpens(failingOpens);
        {
            DeviceSession session;
            QuickWaiter waiter;
            QCOMPARE(retries ? session.openWithRetries(waiter) : session.open(), online);
            QCOMPARE(device().count(Exchange::Open), opens);
            if (online) {
                QVERIFY(session.open());   // the open handle is reused
                QCOMPARE(device().count(Exchange::Open), opens);
            }
            session.close();
            session.close();
            QCOMPARE(device().count(Exchange::Close), online ? 1 : 0);
            if (online)
                QVERIFY(session.open());   // the destructor closes this one
        }
        QCOMPARE(device().count(Exchange::Close), online ? 2 : 0);
        QCOMPARE(device().openHandleCount(), 0);
        QCOMPARE(device().misuseCount(), 0);
    }

    // Each job with the device answering, silent, or gone.
    void jobs_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<QString>("fault");   // "", "silent", "absent"
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("writes");
        QTest::addColumn<bool>("leftOpen");
        const QStringList offline{"设备离线"};
        QTest::newRow("info") << "info" << "" << QStringList() << 4 << false;
        QTest::newRow("info, silent name") << "info" << "silent" << QStringList{"Read timeout！"} << 4 << false;
        QTest::newRow("info, no device") << "info" << "absent" << offline << 0 << false;
        QTest::newRow("slot") << "slot" << "" << QStringList() << 1 << true;
        QTest::newRow("slot, silent") << "slot" << "silent" << QStringList{"读取超时！"} << 1 << true;
        QTest::newRow("settings") << "settings" << "" << QStringList() << 2 << false;
        QTest::newRow("settings, no device") << "settings" << "absent" << offline << 0 << false;
        QTest::newRow("curve read") << "curve read" << "" << QStringList() << 1 << false;
        QTest::newRow("curve read, silent") << "curve read" << "silent" << QStringList{"读取超时！"} << 1 << false;
        QTest::newRow("curve write") << "curve write" << "" << QStringList() << 1 << false;
        // A report that did not go out whole is never reported as written.
        QTest::newRow("settings, block 1 lost") << "settings" << "lost" << QStringList{"发送设置失败：设备未收到全部数据"}
                                                << 2 << false;
        QTest::newRow("curve write lost") << "curve write" << "lost" << QStringList{"发送曲线失败：设备未收到数据"} << 1
                                          << false;
    }
    void jobs()
    {
        QFETCH(QString, job);
        QFETCH(QString, fault);
        QFETCH(QStringList, lines);
        QFETCH(int, writes);
        QFETCH(bool, leftOpen);
        if (fault == "absent")
            device().setPresent(false);
        if (fault == "lost")
            device().failWritesAt({0});
        for (quint8 item : {0x04, 0x0A, 0x0B})
            if (fault == "silent")
                device().setReplyFault(item, EmulatedDevice::ReplyFault::NoReply);
        DeviceSession session;
        RecordingSink sink;
        if (job == "info") {
            DeviceInfo info;
            const DeviceQuery query = queryDeviceInformation(session, sink, info);
            QCOMPARE(query.online, fault != "absent");
            if (query.online) {
                QCOMPARE(info.name, fault == "silent" ? QString() : QStringLiteral("VELTRA-MINI"));
                QCOMPARE(info.screen.powerHigh, 80);
            }
            QCOMPARE(sink.reachability, QVector<bool>{query.online});
        } else if (job == "slot") {
            const auto geometry = querySlot(session, sink, 4);
            QVERIFY(geometry);
            QCOMPARE(geometry->imageWidth, fault == "silent" ? 128 : 240);
        } else if (job == "settings") {
            SettingsValues values{};
            values[0][WattageColumn] = 40;
            QCOMPARE(writeSettings(session, sink, values), fault.isEmpty());
            if (fault.isEmpty())
                QCOMPARE(device().settingsBlocks(0x08).size(), 1);
        } else if (job == "curve read") {
            const auto points = readCurve(session, sink, 2);
            QCOMPARE(bool(points), fault.isEmpty());
            if (points)
                QCOMPARE(quint16((*points)[0]), device().profile().curves[2][0]);
        } else {
            CurvePointsRow points{};
            points.fill(33);
            QCOMPARE(writeCurve(session, sink, 1, points), fault.isEmpty());
            QCOMPARE(device().profile().curves[1][9] == 33, fault.isEmpty());
        }
        QCOMPARE(sink.lines, lines);
        QCOMPARE(device().count(Exchange::Write), writes);
        QCOMPARE(session.isOpen(), leftOpen);
        QCOMPARE(device().misuseCount(), 0);
    }

    // A slot size no screen can have never sizes a picture: it is named in the
    // log, the device is closed and nothing follows the query.
    void slotSizes_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("usable");
        QTest::newRow("1 x 1") << 1 << 1 << true;
        QTest::newRow("1024 x 1024") << 1024 << 1024 << true;
        QTest::newRow("no width") << 0 << 280 << false;
        QTest::newRow("no height") << 240 << 0 << false;
        QTest::newRow("width 1025") << 1025 << 280 << false;
        QTest::newRow("height 1025") << 240 << 1025 << false;
        QTest::newRow("garbled") << 62523 << 36940 << false;
    }
    void slotSizes()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, usable);
        device().profile().imageSlots.insert(4, {quint16(width), quint16(height), 0x54});
        DeviceSession session;
        RecordingSink sink;
        const auto geometry = querySlot(session, sink, 4);
        QCOMPARE(bool(geometry), usable);
        QCOMPARE(session.isOpen(), usable);
        QCOMPARE(sink.lines, usable ? QStringList() : QStringList{QStringLiteral("槽位尺寸无效：%1×%2").arg(width).arg(height)});
        QCOMPARE(device().count(Exchange::Write), 1);
    }

    // The window's wait lasts at least the time the device needs (the settle
    // after an erase, the pauses between opens), and the window's events are
    // handled meanwhile.
    void eventLoopWaiterWaitsItsTime_data()
    {
        QTest::addColumn<int>("ms");
        for (int ms : {0, 1, 7, 30})
            QTest::newRow(qPrintable(QString::number(ms) + " ms")) << ms;
    }
    void eventLoopWaiterWaitsItsTime()
    {
        QFETCH(int, ms);
        bool handled = false;
        QTimer::singleShot(0, [&handled] { handled = true; });
        QElapsedTimer timer;
        timer.start();
        eventLoopWaiter().waitMs(unsigned(ms));
        QVERIFY(timer.nsecsElapsed() >= qint64(ms) * 1000000);
        QVERIFY(handled);
    }
};

QTEST_MAIN(TestDeviceJobs)
#include "tst_devicejobs.moc"
