// The device controller against the emulated device: each job sends what it
// sends when run directly, one job at a time, Cancel after the report in
// flight, an unplug, a stalled endpoint, and the controller going away mid-job.

#include "control/devicecontroller.h"
#include "device/deviceactivity.h"
#include "device/devicesession.h"
#include "emulator/emulateddevice.h"
#include "images/slotquery.h"
#include "jobs/recordingsink.h"
#include "settings/curveexchange.h"
#include "settings/settingswrite.h"

#include <QtTest>

#include <functional>
#include <future>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;

namespace {

EmulatedDevice &device()
{
    return EmulatedDevice::instance();
}

QImage pattern(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x * 4, y * 5, (x ^ y) & 0xFF));
    return picture;
}

// The exchanges as the device meets them: the slices of one read on the
// device thread are one wait of their summed time-out, and a read that found
// a report shows no time-out (the device cannot tell how long the host would
// have waited). Listings are left out: the controller asks the system why an
// open failed, a direct job does not.
QStringList deviceView(const QVector<Exchange> &record)
{
    QVector<Exchange> merged;
    for (const Exchange &e : record) {
        if (e.kind == Exchange::Enumerate)
            continue;
        if (e.kind == Exchange::Read && !merged.isEmpty() && merged.last().kind == Exchange::Read
            && merged.last().result == 0 && merged.last().handleId == e.handleId) {
            merged.last().timeoutMs += e.timeoutMs;
            merged.last().result = e.result;
            merged.last().bytes = e.bytes;
            continue;
        }
        merged << e;
    }
    QStringList view;
    for (const Exchange &e : merged) {
        const int waited = e.kind == Exchange::Read && e.result != 0 ? -1 : e.timeoutMs;
        view << QString("%1 h%2 %3 t%4 r%5").arg(e.kind).arg(e.handleId).arg(QString(e.bytes.toHex())).arg(waited).arg(e.result);
    }
    return view;
}

struct Job
{
    std::function<bool(DeviceSession &, RecordingSink &, Waiter &)> direct;
    std::function<bool(DeviceController &)> start;
};

// What a controller said during one job.
struct Heard
{
    QStringList lines;
    QVector<qint64> progress;
    bool finished = false;
    bool success = false;
    bool cancelled = false;
    QVariant result;
};

void listen(DeviceController &controller, Heard &heard)
{
    QObject::connect(&controller, &DeviceController::logLine, [&heard](const QString &text, bool) { heard.lines << text; });
    QObject::connect(&controller, &DeviceController::progress, [&heard](qint64 value, qint64) { heard.progress << value; });
    QObject::connect(&controller, &DeviceController::cancelled, [&heard](DeviceJob) { heard.cancelled = true; });
    QObject::connect(&controller, &DeviceController::finished,
                     [&heard](DeviceJob, bool success, const QVariant &result) {
                         heard.finished = true;
                         heard.success = success;
                         heard.result = result;
                     });
}

// The device thread waits in a hook until the test's thread has asked for the
// Cancel: it then takes effect exactly after that call.
void cancelFromHook(DeviceController &controller)
{
    std::promise<void> asked;
    QMetaObject::invokeMethod(&controller, [&] {
        controller.cancel();
        asked.set_value();
    }, Qt::QueuedConnection);
    asked.get_future().wait();
}

} // namespace

class TestDeviceController : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString firmwarePath;
    QMap<QString, Job> jobs;

private slots:
    void initTestCase()
    {
        QByteArray file(1024, '\0');
        const QByteArray name = device().profile().name;
        file.replace(0, name.size(), name);
        for (int i = 48; i < file.size(); ++i)
            file[i] = char(i * 7);
        firmwarePath = dir.filePath("fw.bin");
        QFile out(firmwarePath);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
        out.close();

        const QImage picture = pattern(64, 48);
        const PictureTarget colour{2, 64, 48, ColourScreenType};
        const PictureTarget mono{3, 64, 48, 3};
        SettingsValues settings{};
        settings[0][0] = 1234;
        settings[3][2] = 77;
        const CurvePointsRow curve{10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
        Profile profile;
        profile.settings = settings;
        profile.curves[1] = curve;
        const QString fw = firmwarePath;

        jobs["device query"] = {[](DeviceSession &s, RecordingSink &k, Waiter &) {
                                    DeviceInfo info;
                                    return queryDeviceInformation(s, k, info).items == 0xF;
                                },
                                [](DeviceController &c) { return c.startDeviceQuery(); }};
        jobs["slot query"] = {[](DeviceSession &s, RecordingSink &k, Waiter &) {
                                  const bool got = querySlot(s, k, 2).has_value();
                                  s.close();
                                  return got;
                              },
                              [](DeviceController &c) { return c.startSlotQuery(2); }};
        jobs["colour upload"] = {[=](DeviceSession &s, RecordingSink &k, Waiter &) {
                                     return uploadPicture(s, k, colour, picture) == UploadResult::Sent;
                                 },
                                 [=](DeviceController &c) { return c.startPictureUpload(colour, picture); }};
        jobs["one-bit upload"] = {[=](DeviceSession &s, RecordingSink &k, Waiter &) {
                                      return uploadPicture(s, k, mono, picture) == UploadResult::Sent;
                                  },
                                  [=](DeviceController &c) { return c.startPictureUpload(mono, picture); }};
        jobs["settings write"] = {[=](DeviceSession &s, RecordingSink &k, Waiter &) { return writeSettings(s, k, settings); },
                                  [=](DeviceController &c) { return c.startSettingsWrite(settings); }};
        jobs["curve read"] = {[](DeviceSession &s, RecordingSink &k, Waiter &) { return readCurve(s, k, 1).has_value(); },
                              [](DeviceController &c) { return c.startCurveRead(1); }};
        jobs["curve write"] = {[=](DeviceSession &s, RecordingSink &k, Waiter &) { return writeCurve(s, k, 1, curve); },
                               [=](DeviceController &c) { return c.startCurveWrite(1, curve); }};
        jobs["profile apply"] = {[=](DeviceSession &s, RecordingSink &k, Waiter &) {
                                     return writeSettings(s, k, settings) && writeCurve(s, k, 1, curve);
                                 },
                                 [=](DeviceController &c) { return c.startProfileApply(profile); }};
        jobs["refresh"] = {[](DeviceSession &s, RecordingSink &k, Waiter &) {
                               Firmware::refresh(s, k);
                               return true;
                           },
                           [](DeviceController &c) { return c.startRefresh(); }};
        jobs["firmware upgrade"] = {[=](DeviceSession &s, RecordingSink &k, Waiter &w) {
                                        return Firmware::upgrade(s, k, w, fw) == Firmware::UpgradeResult::Written;
                                    },
                                    [=](DeviceController &c) { return c.startFirmwareUpgrade(fw); }};
    }

    void init() { device().reset(); }
    void cleanup()
    {
        device().reset();
        EmulatedDevice::onBus(1).reset();
    }

    // Each job through the controller: the same exchanges, lines and outcome as
    // the job run directly, with the device answering, silent or gone.
    void sameAsDirect_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<QString>("fault");
        for (const QString &job : jobs.keys())
            QTest::newRow(qPrintable(job)) << job << QString();
        for (const char *job : {"device query", "slot query", "colour upload", "curve read"})
            QTest::newRow(qPrintable(QString(job) + ", silent")) << QString(job) << "silent";
        for (const char *job : {"device query", "settings write", "colour upload"})
            QTest::newRow(qPrintable(QString(job) + ", unplugged")) << QString(job) << "unplugged";
    }
    void sameAsDirect()
    {
        QFETCH(QString, job);
        QFETCH(QString, fault);
        const auto arrange = [&] {
            device().reset();
            if (fault == "silent")
                for (quint8 item = Protocol::ItemName; item <= Protocol::ItemMonoImage; ++item)
                    device().setReplyFault(item, EmulatedDevice::ReplyFault::NoReply);
            if (fault == "unplugged")
                device().setPresent(false);
        };

        arrange();
        RecordingSink sink;
        SleepWaiter waiter;
        bool directSuccess;
        {
            DeviceSession session;
            directSuccess = jobs[job].direct(session, sink, waiter);
        }
        const QStringList directView = deviceView(device().record());

        arrange();
        Heard heard;
        {
            DeviceController controller;
            listen(controller, heard);
            QSignalSpy done(&controller, &DeviceController::finished);
            QVERIFY(jobs[job].start(controller));
            QVERIFY(done.wait(20000));
        }
        QCOMPARE(deviceView(device().record()), directView);
        QCOMPARE(heard.lines, sink.lines);
        QCOMPARE(heard.success, directSuccess);
        QCOMPARE(device().openHandleCount(), 0);
        QCOMPARE(device().misuseCount(), 0);
    }

    // A second job while one runs is refused by the controller, with the
    // busy line; so is one while a shared guard is held elsewhere.
    void busyRefusal()
    {
        device().setTimeoutMode(EmulatedDevice::TimeoutMode::RealWait);
        device().setReplyFault(Protocol::ItemSlotQuery, EmulatedDevice::ReplyFault::NoReply);
        DeviceActivity activity;
        DeviceController controller;
        controller.setSharedActivity(&activity);
        Heard heard;
        listen(controller, heard);
        QSignalSpy refused(&controller, &DeviceController::refused);
        QSignalSpy states(&controller, &DeviceController::stateChanged);
        QVERIFY(controller.startSlotQuery(2));
        QVERIFY(activity.isBusy());
        QCOMPARE(controller.state(), DeviceState::Busy);
        QCOMPARE(states.last().at(1).value<DeviceJob>(), DeviceJob::SlotQuery);
        QVERIFY(!controller.startSettingsWrite({}));
        QVERIFY(!controller.startDeviceQuery());
        QCOMPARE(refused.count(), 2);
        QCOMPARE(refused.first().at(0).value<DeviceJob>(), DeviceJob::SettingsWrite);
        QCOMPARE(refused.first().at(1).value<DeviceJob>(), DeviceJob::SlotQuery);
        QCOMPARE(heard.lines.count(deviceBusyText()), 2);
        QTRY_VERIFY(device().count(Exchange::Read) > 0);   // waiting for the reply
        QVERIFY(controller.cancel());
        QTRY_VERIFY(heard.finished);
        QVERIFY(!activity.isBusy());
        QCOMPARE(device().count(Exchange::Write), 1);

        DeviceActionGuard elsewhere(activity);
        QVERIFY(!controller.startDeviceQuery());
        QCOMPARE(refused.count(), 3);
    }

    // Whoever hears a job finish may start the next one at once.
    void nextJobFromFinished()
    {
        DeviceActivity activity;
        DeviceController controller;
        controller.setSharedActivity(&activity);
        QVector<DeviceJob> done;
        connect(&controller, &DeviceController::finished, [&](DeviceJob kind) {
            done << kind;
            if (kind == DeviceJob::SlotQuery)
                QVERIFY(controller.startCurveRead(0));
        });
        QVERIFY(controller.startSlotQuery(2));
        QTRY_COMPARE(done.size(), 2);
        QCOMPARE(done.last(), DeviceJob::CurveRead);
        QVERIFY(!activity.isBusy());
    }

    // Cancel after each report of the cancellable jobs: nothing more goes out
    // (no end report), the job ends cancelled with "已取消", the bar at 0,
    // nothing done on the device and no handle left open.
    void cancelAfterEachReport_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<int>("reports");   // reports the job writes whole; the last is not swept
        QTest::addColumn<int>("stride");
        QTest::newRow("device query") << "device query" << 5 << 1;
        QTest::newRow("slot query") << "slot query" << 2 << 1;
        QTest::newRow("curve read") << "curve read" << 2 << 1;
        QTest::newRow("colour upload") << "colour upload" << 0 << 7;
        QTest::newRow("one-bit upload") << "one-bit upload" << 0 << 3;
    }
    void cancelAfterEachReport()
    {
        QFETCH(QString, job);
        QFETCH(int, reports);
        QFETCH(int, stride);
        if (reports == 0) {
            RecordingSink sink;
            SleepWaiter waiter;
            DeviceSession session;
            QVERIFY(jobs[job].direct(session, sink, waiter));
            reports = device().count(Exchange::Write);
        }
        // The end report of a transfer is its last: a Cancel after it comes too late.
        for (int index = 0; index < reports - 1; index += index + stride < reports - 1 ? stride : 1) {
            device().reset();
            Heard heard;
            {
                DeviceController controller;
                listen(controller, heard);
                device().setWriteHook([&](int writeIndex, const QByteArray &) {
                    if (writeIndex == index)
                        cancelFromHook(controller);
                });
                QVERIFY(jobs[job].start(controller));
                QTRY_VERIFY_WITH_TIMEOUT(heard.finished, 20000);
                QVERIFY(!controller.isBusy());
            }
            const QString where = QString("after report %1: %2").arg(index).arg(heard.lines.join(" | ").left(200));
            QVERIFY2(heard.cancelled && !heard.success, qPrintable(where));
            QCOMPARE(device().count(Exchange::Write), index + 1);
            QCOMPARE(heard.lines.last(), QStringLiteral("已取消"));
            QVERIFY(!heard.lines.contains(QStringLiteral("发送图片--结束")));
            if (!heard.progress.isEmpty())
                QCOMPARE(heard.progress.last(), qint64(0));
            QCOMPARE(device().completedImageTransfers(), 0);
            QCOMPARE(device().openHandleCount(), 0);
            QCOMPARE(device().misuseCount(), 0);
        }
    }

    // Every line of a job reaches the receiver once and in the job's order,
    // detail lines one by one or in runs (as the window takes them), also when
    // the receiver lets events run meanwhile and when the job is cancelled.
    void linesInOrder_data()
    {
        QTest::addColumn<bool>("runs");
        QTest::addColumn<bool>("turnsLoop");
        QTest::addColumn<int>("cancelAfter");   // the write after which Cancel is asked; -1: none
        QTest::newRow("runs") << true << false << -1;
        QTest::newRow("runs, receiver turns the loop") << true << true << -1;
        QTest::newRow("line by line, receiver turns the loop") << false << true << -1;
        QTest::newRow("runs, cancelled") << true << false << 40;
        QTest::newRow("line by line, turns the loop, cancelled") << false << true << 40;
    }
    void linesInOrder()
    {
        QFETCH(bool, runs);
        QFETCH(bool, turnsLoop);
        QFETCH(int, cancelAfter);
        RecordingSink sink;
        SleepWaiter waiter;
        {
            DeviceSession session;
            QVERIFY(jobs["colour upload"].direct(session, sink, waiter));
        }
        device().reset();
        QStringList heard;
        bool finished = false;
        {
            DeviceController controller;
            controller.setDetailBatches(runs);
            const auto take = [&](const QStringList &lines) {
                heard << lines;
                if (turnsLoop)
                    QCoreApplication::processEvents();
            };
            connect(&controller, &DeviceController::logLine, [&](const QString &text, bool detail) {
                QVERIFY(!(runs && detail));
                take({text});
            });
            connect(&controller, &DeviceController::detailLines, [&](const DetailLines &lines) { take(lines.toList()); });
            connect(&controller, &DeviceController::finished, [&] { finished = true; });
            // Slow enough that the controller looks several times during the job.
            device().setWriteHook([&](int writeIndex, const QByteArray &) {
                QThread::usleep(300);
                if (writeIndex == cancelAfter)
                    cancelFromHook(controller);
            });
            QVERIFY(jobs["colour upload"].start(controller));
            QTRY_VERIFY_WITH_TIMEOUT(finished, 20000);
        }
        if (cancelAfter < 0) {
            QCOMPARE(heard, sink.lines);
            return;
        }
        QCOMPARE(heard.last(), QStringLiteral("已取消"));
        // The start line, its acknowledgement and a number for each data report that went out.
        QCOMPARE(heard.size() - 3, device().count(Exchange::Write) - 1);
        QCOMPARE(heard.mid(0, heard.size() - 1), sink.lines.mid(0, heard.size() - 1));
    }

    // A Cancel while the device is silent ends the wait at the next slice:
    // the read was not waited out.
    void cancelDuringRead()
    {
        device().setTimeoutMode(EmulatedDevice::TimeoutMode::RealWait);
        device().setReplyFault(Protocol::ItemSlotQuery, EmulatedDevice::ReplyFault::NoReply);
        DeviceController controller;
        Heard heard;
        listen(controller, heard);
        device().setReadHook([&](int readIndex) {
            if (readIndex == 2)
                cancelFromHook(controller);
        });
        QVERIFY(controller.startSlotQuery(2));
        QTRY_VERIFY_WITH_TIMEOUT(heard.finished, 10000);
        QVERIFY(heard.cancelled);
        int waited = 0;
        for (const Exchange &e : device().record()) {
            if (e.kind == Exchange::Read) {
                QVERIFY(e.timeoutMs <= DeviceSession::ReadSliceMs);
                waited += e.timeoutMs;
            }
        }
        QCOMPARE(device().count(Exchange::Read), 3);
        QVERIFY(waited < Protocol::ReplyTimeoutMs);
    }

    // The device pulled out during a job: the job fails as it does directly,
    // the handle is closed on the device thread, and the next listing says
    // the device left; plugged back in, it arrived.
    // A controller given the second of two devices by its path reports that
    // one leaving, although the first stays, and never turns to the first.
    void unplugDuringJob_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<int>("afterWrites");
        QTest::addColumn<bool>("second");
        QTest::newRow("device query") << "device query" << 2 << false;
        QTest::newRow("colour upload") << "colour upload" << 5 << false;
        QTest::newRow("settings write") << "settings write" << 1 << false;
        QTest::newRow("firmware upgrade, write stage") << "firmware upgrade" << 6 << false;
        QTest::newRow("device query, second of two") << "device query" << 2 << true;
        QTest::newRow("firmware upgrade, second of two") << "firmware upgrade" << 6 << true;
    }
    void unplugDuringJob()
    {
        QFETCH(QString, job);
        QFETCH(int, afterWrites);
        QFETCH(bool, second);
        EmulatedDevice &target = EmulatedDevice::onBus(second ? 1 : 0);
        EmulatedDevice &other = EmulatedDevice::onBus(second ? 0 : 1);
        target.setPresent(true);
        target.unplugAfterWrites(afterWrites);
        DeviceController controller;
        if (second)
            controller.setDevicePath(target.path());
        controller.assumePresent(true);
        Heard heard;
        listen(controller, heard);
        QSignalSpy left(&controller, &DeviceController::left);
        QSignalSpy arrived(&controller, &DeviceController::arrived);
        QVERIFY(jobs[job].start(controller));
        QTRY_VERIFY_WITH_TIMEOUT(heard.finished, 20000);
        QVERIFY(!heard.success);
        QVERIFY(!heard.cancelled);
        controller.checkPresence();
        QTRY_COMPARE(left.count(), 1);
        QCOMPARE(controller.state(), DeviceState::Absent);
        target.plugBackIn();
        controller.checkPresence();
        QTRY_COMPARE(arrived.count(), 1);
        QCOMPARE(controller.state(), DeviceState::Idle);
        QCOMPARE(target.misuseCount(), 0);
        QCOMPARE(other.count(Exchange::Open), 0);
        QCOMPARE(other.count(Exchange::Write), 0);
    }

    // A write or read that does not come back: the controller reports the
    // device unresponsive and stays usable; once the call returns the job
    // ends and the device is idle again.
    void stalledCall_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("job");
        QTest::newRow("write") << int(Exchange::Write) << "settings write";
        QTest::newRow("read") << int(Exchange::Read) << "device query";
        QTest::newRow("write of an upload") << int(Exchange::Write) << "colour upload";
    }
    void stalledCall()
    {
        QFETCH(int, kind);
        QFETCH(QString, job);
        device().stallCallAt(Exchange::Kind(kind), kind == Exchange::Write ? 1 : 0);
        DeviceController controller;
        controller.setStallGraceMs(100);
        Heard heard;
        listen(controller, heard);
        QVERIFY(jobs[job].start(controller));
        QTRY_COMPARE(controller.state(), DeviceState::Unresponsive);
        QVERIFY(!controller.startDeviceQuery());   // still answers, with "busy"
        device().releaseStall();
        QTRY_VERIFY_WITH_TIMEOUT(heard.finished, 20000);
        QVERIFY(heard.success);
        QVERIFY(controller.state() != DeviceState::Unresponsive && !controller.isBusy());
        QCOMPARE(device().openHandleCount(), 0);
    }

    // The controller destroyed during a job: the job stops at its next
    // read slice or line and the handle is closed on the device thread. A
    // thread stuck in a stalled call is not waited for; it ends on its own
    // once the call returns.
    void destroyedDuringJob_data()
    {
        QTest::addColumn<bool>("stalled");
        QTest::newRow("silent device") << false;
        QTest::newRow("stalled write") << true;
    }
    void destroyedDuringJob()
    {
        QFETCH(bool, stalled);
        device().setTimeoutMode(EmulatedDevice::TimeoutMode::RealWait);
        device().setReplyFault(Protocol::ItemName, EmulatedDevice::ReplyFault::NoReply);
        if (stalled)
            device().stallCallAt(Exchange::Write, 0);
        auto *controller = new DeviceController;
        controller->setStallGraceMs(50);
        QSignalSpy started(controller, &DeviceController::jobStarted);
        QVERIFY(controller->startDeviceQuery());
        QVERIFY(started.wait());
        if (stalled)
            QTRY_COMPARE(controller->state(), DeviceState::Unresponsive);
        else
            QTRY_VERIFY(device().count(Exchange::Read) > 0);
        QPointer<QThread> thread = controller->deviceThread();
        delete controller;
        QCOMPARE(thread.isNull(), !stalled);   // left behind only when stuck
        if (stalled) {
            QCOMPARE(device().stalledCalls(), 1);
            device().releaseStall();
            QTRY_VERIFY(thread.isNull());
        }
        QCOMPARE(device().count(Exchange::Write), 1);   // nothing after the report in flight
        QCOMPARE(device().openHandleCount(), 0);
        QCOMPARE(device().misuseCount(), 0);
    }

    // The results of the typed jobs come as values.
    void resultsAsValues()
    {
        DeviceController controller;
        Heard heard;
        listen(controller, heard);
        QVERIFY(controller.startDeviceQuery());
        QTRY_VERIFY(heard.finished);
        const auto query = heard.result.value<DeviceQueryResult>();
        QCOMPARE(query.info.name, QString::fromLatin1(device().profile().name));
        QCOMPARE(query.query.items, InfoName | InfoFirmwareVersion | InfoScreenAndRanges | InfoIdentification);
        QCOMPARE(controller.state(), DeviceState::Idle);

        heard = Heard();
        QVERIFY(controller.startSlotQuery(2));
        QTRY_VERIFY(heard.finished);
        const auto slot = heard.result.value<SlotQueryResult>();
        QVERIFY(slot.answered && slot.geometry);
        QCOMPARE(slot.geometry->imageWidth, int(device().profile().imageSlots.value(2, device().profile().defaultSlot).width));

        heard = Heard();
        QVERIFY(controller.startCurveRead(0));   // on the handle the slot query left open
        QTRY_VERIFY(heard.finished);
        QVERIFY(heard.result.value<CurveReadResult>().has_value());

        device().setAccessDenied(true);
        heard = Heard();
        QVERIFY(controller.startDeviceQuery());
        QTRY_VERIFY(heard.finished);
        QVERIFY(!heard.result.value<DeviceQueryResult>().query.online);
        QCOMPARE(controller.state(), DeviceState::NotAccessible);
    }
};

QTEST_MAIN(TestDeviceController)
#include "tst_devicecontroller.moc"
