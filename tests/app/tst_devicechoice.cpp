// A bench of several devices in one window: the service row's box picks the
// device served, and a unit that leaves is reported gone, not replaced.

#include "app/mainwindow.h"
#include "device/deviceactivity.h"
#include "device/openfailure.h"
#include "emulator/emulateddevice.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QtTest>

#include <atomic>

using emu::EmulatedDevice;
using namespace testsupport;

namespace {

EmulatedDevice &bus(int index) { return EmulatedDevice::onBus(index); }

void lookForDevices(MainWindow &window)
{
    window.controller().checkPresence();
    QTRY_VERIFY(!window.controller().isListing());
}

} // namespace

class TestDeviceChoice : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(bus(i).misuseCount(), 0);
            bus(i).reset();
        }
    }

    // plugged devices; steps after the first listing; then a settings write.
    // served: the bus index held (-1: none); written: the one device the
    // write reached (-1: none).
    void benchInTheWindow_data()
    {
        QTest::addColumn<int>("plugged");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("entries");   // 0: no box shown
        QTest::addColumn<bool>("marked");   // an entry says its device has gone
        QTest::addColumn<int>("served");
        QTest::addColumn<int>("written");
        QTest::newRow("one device: no box") << 1 << "" << 0 << false << -1 << 0;
        QTest::newRow("three: the first is held") << 3 << "" << 3 << false << 0 << 0;
        QTest::newRow("the second chosen") << 3 << "choose" << 3 << false << 1 << 1;
        QTest::newRow("the chosen one leaves") << 3 << "choose leave" << 3 << true << 1 << -1;
        QTest::newRow("and comes back") << 3 << "choose leave back" << 3 << false << 1 << 1;
        QTest::newRow("the first leaves, none chosen") << 3 << "leave" << 3 << true << 0 << -1;
        QTest::newRow("chosen during a job") << 3 << "job" << 3 << false << 0 << 0;
    }
    void benchInTheWindow()
    {
        QFETCH(int, plugged);
        QFETCH(QString, steps);
        QFETCH(int, entries);
        QFETCH(bool, marked);
        QFETCH(int, served);
        QFETCH(int, written);
        for (int i = 0; i < 3; ++i)
            bus(i).setPresent(i < plugged);
        MainWindow window;
        QVERIFY(waitForDeviceIdle(window.controller()));
        window.setServiceMode(true);
        window.show();
        child<QAbstractButton>(&window, "toolButton_7")->click();   // in range: the write asks nothing
        lookForDevices(window);
        auto *box = child<QComboBox>(&window, "deviceChoiceBox");
        std::atomic<bool> release{false};
        if (steps == "job") {
            QVERIFY(window.controller().start(DeviceJob::CurveRead, [&release](JobContext &) {
                while (!release.load())
                    QThread::msleep(5);
                return JobResult{};
            }, false));
        }
        if (steps.contains("choose") || steps == "job") {
            QCOMPARE(box->itemText(1), bus(1).profile().serialNumber + " — emulated:1");
            emit box->activated(1);
            release = true;
            QVERIFY(waitForDeviceIdle(window.controller()));
            const int shown = steps == "job" ? 0 : 1;   // read as DEVICE does, or refused
            QCOMPARE(box->currentIndex(), shown);
            QCOMPARE(child<QLabel>(&window, "lab_dev_support")->text(), bus(shown).profile().identification);
            QCOMPARE(logMessages(&window).contains(deviceBusyText()), steps == "job");
        }
        const int leaving = steps.contains("choose") ? 1 : 0;
        if (steps.contains("leave")) {
            bus(leaving).setPresent(false);
            lookForDevices(window);
            QCOMPARE(child<QLabel>(&window, "serviceStatusLabel")->toolTip(), deviceLeftText());
        }
        if (steps.contains("back")) {
            bus(leaving).clearRecord();
            bus(leaving).setPresent(true);
            lookForDevices(window);
            QTRY_COMPARE(bus(leaving).count(EmulatedDevice::Exchange::Open), 1);   // read again
            QVERIFY(waitForDeviceIdle(window.controller()));
        }
        QCOMPARE(box->isVisibleTo(&window) ? box->count() : 0, entries);
        QCOMPARE(box->itemText(box->count() - 1).contains("已断开"), marked);
        QCOMPARE(window.controller().devicePath(), served < 0 ? QByteArray() : bus(served).path());

        for (int i = 0; i < 3; ++i)
            bus(i).clearRecord();
        child<QPushButton>(&window, "serviceSettingsButton")->click();
        child<QAbstractButton>(&window, "toolButton_2")->click();
        QVERIFY(waitForDeviceIdle(window.controller()));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(bus(i).count(EmulatedDevice::Exchange::Write) > 0, i == written);
    }
};

QTEST_MAIN(TestDeviceChoice)
#include "tst_devicechoice.moc"
