// The device coming and going while the window is open, and what the window
// says when it cannot open the device: the query on arrival, the offline state
// on removal, and the two reasons for a failed open on the Devices page. (That
// the watch neither opens the device nor looks during an action: tst_devicewatch.)

#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "device/deviceactivity.h"
#include "device/openfailure.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>
#include <optional>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;
using namespace testsupport;

namespace {

EmulatedDevice &device() { return EmulatedDevice::instance(); }
EmulatedDevice &bus(int index) { return EmulatedDevice::onBus(index); }

void putDevice(const QString &state)
{
    device().setPresent(state != "absent");
    device().setAccessDenied(state == "denied");
}

QLabel *hint(QWidget *window) { return child<QLabel>(window, "deviceHintLabel"); }

// One look at the system's device list, as the window's watch takes every second.
// A listing asked for after the bus changed: one the window's own timer
// started earlier may have looked before the change, and none starts while
// a job runs.
void lookForDevice(MainWindow &window)
{
    DeviceController &controller = window.controller();
    QTRY_VERIFY(!controller.isListing() && !controller.isBusy());
    controller.checkPresence();
    QVERIFY(controller.isListing());
    QTRY_VERIFY(!controller.isListing());
}

} // namespace

class TestDevicePresence : public QObject
{
    Q_OBJECT

private slots:
    // A bench of three; after a reset only the first is plugged in.
    void init()
    {
        for (int i = 0; i < 3; ++i)
            bus(i).reset();
    }
    void cleanup() { QCOMPARE(device().misuseCount(), 0); }

    // One look of the watch after the device changed. An arrival is read as
    // DEVICE reads it (after an action that runs meanwhile, never refused); a
    // removal is logged and shown, and closes a handle left open for the next
    // action. Nothing but an arrival opens the device.
    void changeSeenByTheWatch_data()
    {
        QTest::addColumn<QString>("atStart");
        QTest::addColumn<QString>("now");
        QTest::addColumn<QString>("meanwhile");   // handle left open, action running
        QTest::addColumn<QStringList>("newLines");
        QTest::addColumn<int>("writes");   // -1: no open
        QTest::addColumn<QString>("hintText");   // empty: no hint shown
        QTest::addColumn<QString>("heldFor");    // the device buttons' tool tip; empty: usable
        const QString absent = "未检测到设备";
        const QString notAttached = openFailureSummary(OpenFailure::NotAttached);
        const QString denied = openFailureSummary(OpenFailure::NotAccessible);
        QTest::newRow("present, unchanged") << "present" << "present" << "" << QStringList() << -1 << "" << "";
        QTest::newRow("absent, unchanged") << "absent" << "absent" << "" << QStringList() << -1 << absent << notAttached;
        QTest::newRow("plugged in") << "absent" << "present" << "" << QStringList() << 4 << "" << "";
        QTest::newRow("plugged in during an action") << "absent" << "present" << "action" << QStringList() << 4 << ""
                                                     << "";
        QTest::newRow("unplugged") << "present" << "absent" << "" << QStringList{"设备已断开"} << -1 << absent
                                   << notAttached;
        QTest::newRow("unplugged, a handle left open") << "present" << "absent" << "handle"
                                                       << QStringList{"设备已断开"} << -1 << absent << notAttached;
        QTest::newRow("plugged in without access") << "absent" << "denied" << "" << QStringList{"设备离线"} << 0
                                                   << "无权限打开" << denied;
    }
    void changeSeenByTheWatch()
    {
        QFETCH(QString, atStart);
        QFETCH(QString, now);
        QFETCH(QString, meanwhile);
        QFETCH(QStringList, newLines);
        QFETCH(int, writes);
        QFETCH(QString, hintText);
        QFETCH(QString, heldFor);
        putDevice(atStart);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        if (meanwhile == "handle") {
            // The slot query leaves its handle open for the upload.
            QVERIFY(window.controller().startSlotQuery(1));
            QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
            QCOMPARE(device().openHandleCount(), 1);
        }
        const int before = logMessages(&window).size();
        device().clearRecord();
        putDevice(now);

        lookForDevice(window);
        if (meanwhile == "action") {
            // A job of the controller's that touches no device, held until released.
            // The job keeps its own share of the flag: it may look once more
            // after this block has ended.
            auto release = std::make_shared<std::atomic<bool>>(false);
            QVERIFY(window.controller().start(DeviceJob::CurveRead, [release](JobContext &) {
                while (!release->load())
                    QThread::msleep(5);
                return JobResult{};
            }, false));
            QTest::qWait(2 * DeviceWatch::ArrivalSettleMs);
            QCOMPARE(device().count(Exchange::Open), 0);
            *release = true;
        }
        if (writes >= 0)
            QTRY_COMPARE(device().count(Exchange::Open), 1);
        QTest::qWait(2 * DeviceWatch::ArrivalSettleMs);   // nothing more follows

        QCOMPARE(logMessages(&window).mid(before), newLines);
        QCOMPARE(device().count(Exchange::Open), writes >= 0 ? 1 : 0);
        QCOMPARE(device().count(Exchange::Write), qMax(writes, 0));
        QCOMPARE(device().openHandleCount(), 0);
        QVERIFY(!window.controller().isBusy());
        QVERIFY(showsPicture(child<QToolButton>(&window, "toolButton"),
                             writes > 0 || now == "present" ? "imageformats/USB_ON.jpg" : "imageformats/USB_OFF.jpg"));
        QCOMPARE(hint(&window)->isVisibleTo(&window), !hintText.isEmpty());
        QVERIFY2(hint(&window)->text().contains(hintText), qPrintable(hint(&window)->text()));
        // A button that could not act says why instead.
        for (const char *name : {"m_btn_Upgtade", "toolButton_8", "pushButton_2"}) {
            auto *button = child<QAbstractButton>(&window, name);
            QCOMPARE(button->isEnabled(), heldFor.isEmpty());
            if (!heldFor.isEmpty())
                QCOMPARE(button->toolTip(), heldFor);
        }
    }

    // The log keeps its one line; the page and the service status say why,
    // until the device opens.
    void failedOpenIsExplained_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QStringList>("hintParts");
        QTest::addColumn<QString>("status");
        QTest::newRow("not attached") << "absent" << QStringList{"未检测到设备"} << "未检测到设备：请连接设备";
        QTest::newRow("attached, no permission")
            << "denied"
            << QStringList{"无权限打开", "70-tessel-control.rules /etc/udev/rules.d/",
                           "sudo udevadm control --reload-rules && sudo udevadm trigger"}
            << "设备已连接，但无权限打开";
    }
    void failedOpenIsExplained()
    {
        QFETCH(QString, state);
        QFETCH(QStringList, hintParts);
        QFETCH(QString, status);
        putDevice(state);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        QCOMPARE(logMessages(&window), QStringList{"设备离线"});
        QVERIFY(hint(&window)->isVisible());
        for (const QString &part : hintParts)
            QVERIFY2(hint(&window)->text().contains(part), qPrintable(hint(&window)->text()));
        QVERIFY(iconImage(child<QToolButton>(&window, "device_image")->icon()).isNull());

        window.setServiceMode(true);
        child<QPushButton>(&window, "serviceDevicesButton")->click();
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        const QString shown = child<QLabel>(&window, "serviceStatusLabel")->toolTip();
        QVERIFY2(shown.startsWith(status), qPrintable(shown));

        putDevice("present");
        QTest::mouseClick(child<QPushButton>(&window, "m_btn_Devices"), Qt::LeftButton);
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QVERIFY(!hint(&window)->isVisible());
        QVERIFY(showsPicture(child<QToolButton>(&window, "device_image"), "imageformats/device_image_VELTRA-MINI.png"));
    }

    // The table belongs to the device that answered: "-" once it has gone, and
    // filled again, with a line saying so, when it is back.
    void tableFollowsTheDevice()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        auto *name = child<QLabel>(&window, "lab_dev_name");
        QCOMPARE(name->text(), QStringLiteral("VELTRA-MINI"));
        putDevice("absent");
        lookForDevice(window);
        for (const char *label : {"lab_dev_name", "lab_dev_version", "lab_dev_size", "lab_dev_power",
                                  "lab_dev_wendu", "lab_dev_support"})
            QCOMPARE(child<QLabel>(&window, label)->text(), QStringLiteral("-"));
        QVERIFY(window.deviceInfo().name.isEmpty());
        putDevice("present");
        lookForDevice(window);
        QTRY_COMPARE(name->text(), QStringLiteral("VELTRA-MINI"));
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QCOMPARE(logMessages(&window), QStringList({"设备已断开", "设备已重新连接"}));
    }

    // A bench of several devices: the service row's box picks the one served,
    // and a unit that leaves is reported gone, not replaced by its neighbour.
    // Each row: the steps after the first listing, then a settings write.
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
        QTest::newRow("back to the chosen one alone: let go") << 3 << "choose drop" << 0 << false << -1 << 1;
        QTest::newRow("a newcomer listed first: the served one held") << 1 << "arrive" << 2 << false << 1 << 1;
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
            bus(i).setPresent(steps == "arrive" ? i == 1 : i < plugged);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.setServiceMode(true);
        window.show();
        child<QAbstractButton>(&window, "toolButton_7")->click();   // in range: the write asks nothing
        lookForDevice(window);
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
            QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
            const int shown = steps == "job" ? 0 : 1;   // read as DEVICE does, or refused
            QCOMPARE(box->currentIndex(), shown);
            QCOMPARE(child<QLabel>(&window, "lab_dev_support")->text(), bus(shown).profile().identification);
            QCOMPARE(logMessages(&window).contains(deviceBusyText()), steps == "job");
        }
        const int leaving = steps.contains("choose") ? 1 : 0;
        if (steps.contains("leave")) {
            bus(leaving).setPresent(false);
            lookForDevice(window);
            QCOMPARE(child<QLabel>(&window, "serviceStatusLabel")->toolTip(), deviceLeftText());
        }
        if (steps.contains("drop") || steps == "arrive") {
            bus(0).setPresent(steps == "arrive");
            bus(2).setPresent(false);
            lookForDevice(window);
        }
        if (steps.contains("back")) {
            bus(leaving).clearRecord();
            bus(leaving).setPresent(true);
            lookForDevice(window);
            QTRY_COMPARE(bus(leaving).count(Exchange::Open), 1);   // read again
            QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        }
        QCOMPARE(box->isVisibleTo(&window) ? box->count() : 0, entries);
        QCOMPARE(box->itemText(box->count() - 1).contains("已断开"), marked);
        QCOMPARE(window.controller().devicePath(), served < 0 ? QByteArray() : bus(served).path());

        for (int i = 0; i < 3; ++i)
            bus(i).clearRecord();
        child<QPushButton>(&window, "serviceSettingsButton")->click();
        child<QAbstractButton>(&window, "toolButton_2")->click();
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(bus(i).count(Exchange::Write) > 0, i == written);
            QCOMPARE(bus(i).misuseCount(), 0);
        }
    }
};

QTEST_MAIN(TestDevicePresence)
#include "tst_devicepresence.moc"
