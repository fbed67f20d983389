// A bench of several devices in one window: the box in the service row that
// picks the device served, and that a unit leaving is reported gone rather
// than replaced by its neighbour.

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
using Exchange = EmulatedDevice::Exchange;
using namespace testsupport;

namespace {

constexpr int Bench = 3;

EmulatedDevice &bus(int index) { return EmulatedDevice::onBus(index); }

void lookForDevices(MainWindow &window)
{
    window.controller().checkPresence();
    QTRY_VERIFY(!window.controller().isListing());
}

void chooseEntry(QComboBox *box, int index)
{
    box->setCurrentIndex(index);
    emit box->activated(index);
}

} // namespace

class TestDeviceChoice : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        for (int i = 0; i < Bench; ++i)
            bus(i).reset();
    }
    void cleanup()
    {
        for (int i = 0; i < Bench; ++i) {
            QCOMPARE(bus(i).misuseCount(), 0);
            bus(i).reset();
        }
    }

    // Each row: how many devices are attached, what happens after the window
    // has listed them, then a settings write from its page. served: the bus
    // index the window holds (-1: none, the first attached as always);
    // written: the one device the write reached (-1: none).
    void benchInTheWindow_data()
    {
        QTest::addColumn<int>("plugged");
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("entries");   // 0: no box shown
        QTest::addColumn<bool>("marked");   // an entry says the device has gone
        QTest::addColumn<int>("served");
        QTest::addColumn<int>("written");
        QTest::addColumn<QString>("status");
        QTest::newRow("one device: no box") << 1 << "" << 0 << false << -1 << 0 << "设置已写入设备";
        QTest::newRow("three: the first is held") << 3 << "" << 3 << false << 0 << 0 << "设置已写入设备";
        QTest::newRow("the second chosen") << 3 << "choose" << 3 << false << 1 << 1 << "设置已写入设备";
        QTest::newRow("the chosen one leaves") << 3 << "choose, leave" << 3 << true << 1 << -1 << "设备已断开";
        QTest::newRow("and comes back") << 3 << "choose, leave, back" << 3 << false << 1 << 1 << "设置已写入设备";
        QTest::newRow("the first leaves, none chosen") << 3 << "leave" << 3 << true << 0 << -1 << "设备已断开";
        QTest::newRow("chosen during a job") << 3 << "choose during job" << 3 << false << 0 << 0 << "设置已写入设备";
    }
    void benchInTheWindow()
    {
        QFETCH(int, plugged);
        QFETCH(QString, step);
        QFETCH(int, entries);
        QFETCH(bool, marked);
        QFETCH(int, served);
        QFETCH(int, written);
        QFETCH(QString, status);
        for (int i = 0; i < Bench; ++i)
            bus(i).setPresent(i < plugged);
        MainWindow window;
        QVERIFY(waitForDeviceIdle(window.controller()));
        window.setServiceMode(true);
        window.show();
        // Values within the device's ranges: the write asks nothing.
        child<QAbstractButton>(&window, "toolButton_7")->click();
        lookForDevices(window);
        auto *box = child<QComboBox>(&window, "deviceChoiceBox");

        const int leaving = step.contains("choose") ? 1 : 0;
        if (step.startsWith("choose") && !step.contains("job")) {
            QCOMPARE(box->itemText(1), bus(1).profile().serialNumber + " — emulated:1");
            chooseEntry(box, 1);
            QVERIFY(waitForDeviceIdle(window.controller()));
            QCOMPARE(child<QLabel>(&window, "lab_dev_support")->text(), QString::fromLatin1(bus(1).profile().identification));
        }
        if (step.contains("job")) {
            std::atomic<bool> release{false};
            QVERIFY(window.controller().start(DeviceJob::CurveRead, [&release](JobContext &) {
                while (!release.load())
                    QThread::msleep(5);
                return JobResult{};
            }, false));
            chooseEntry(box, 1);
            release = true;
            QVERIFY(waitForDeviceIdle(window.controller()));
            QCOMPARE(logMessages(&window).last(), deviceBusyText());
            QCOMPARE(box->currentIndex(), 0);
        }
        if (step.contains("leave")) {
            bus(leaving).setPresent(false);
            lookForDevices(window);
            QCOMPARE(child<QLabel>(&window, "serviceStatusLabel")->toolTip(), deviceLeftText());
        }
        if (step.contains("back")) {
            bus(leaving).clearRecord();
            bus(leaving).setPresent(true);
            lookForDevices(window);
            QTRY_COMPARE(bus(leaving).count(Exchange::Open), 1);   // read again on its return
            QVERIFY(waitForDeviceIdle(window.controller()));
        }
        QCOMPARE(box->isVisibleTo(&window), entries > 0);
        if (entries > 0)
            QCOMPARE(box->count(), entries);
        bool anyMarked = false;
        for (int i = 0; i < box->count(); ++i)
            anyMarked = anyMarked || box->itemText(i).contains("已断开");
        QCOMPARE(anyMarked, marked);
        QCOMPARE(window.controller().devicePath(), served < 0 ? QByteArray() : bus(served).path());

        for (int i = 0; i < Bench; ++i)
            bus(i).clearRecord();
        child<QPushButton>(&window, "serviceSettingsButton")->click();
        child<QAbstractButton>(&window, "toolButton_2")->click();
        QVERIFY(waitForDeviceIdle(window.controller()));
        for (int i = 0; i < Bench; ++i)
            QCOMPARE(bus(i).count(Exchange::Write) > 0, i == written);
        if (written >= 0)
            QCOMPARE(child<QLabel>(&window, "serviceStatusLabel")->toolTip(), status);
    }
};

QTEST_MAIN(TestDeviceChoice)
#include "tst_devicechoice.moc"
