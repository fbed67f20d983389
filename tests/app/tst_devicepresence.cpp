// The device coming and going while the window is open, and what the window
// says when it cannot open the device: the query on arrival, the offline state
// on removal, a watch that never opens the device nor looks during an action,
// and the two reasons for a failed open on the Devices page.

#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "testsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

#include <optional>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;
using namespace testsupport;

namespace {

EmulatedDevice &device() { return EmulatedDevice::instance(); }

void putDevice(const QString &state)
{
    device().setPresent(state != "absent");
    device().setAccessDenied(state == "denied");
}

QLabel *hint(QWidget *window) { return child<QLabel>(window, "deviceHintLabel"); }

QString fullStatus(QWidget *window)
{
    return child<QLabel>(window, "serviceStatusLabel")->toolTip();
}

} // namespace

class TestDevicePresence : public QObject
{
    Q_OBJECT

private slots:
    void init() { device().reset(); }
    void cleanup() { QCOMPARE(device().misuseCount(), 0); }

    // One look of the watch after the device changed. An arrival is read as
    // DEVICE reads it; a removal is logged and shown, and closes a handle that
    // was left open for the next action; nothing but an arrival opens the device.
    void changeSeenByTheWatch_data()
    {
        QTest::addColumn<QString>("atStart");
        QTest::addColumn<QString>("now");
        QTest::addColumn<bool>("handleLeftOpen");
        QTest::addColumn<QStringList>("newLines");
        QTest::addColumn<int>("opens");
        QTest::addColumn<int>("writes");
        QTest::addColumn<bool>("online");
        QTest::addColumn<QString>("hintText");   // empty: no hint shown
        const QString absent = "No device detected";
        QTest::newRow("present, unchanged") << "present" << "present" << false << QStringList() << 0 << 0 << true << "";
        QTest::newRow("plugged in") << "absent" << "present" << false << QStringList() << 1 << 4 << true << "";
        QTest::newRow("unplugged") << "present" << "absent" << false << QStringList{"设备已断开"} << 0 << 0 << false
                                   << absent;
        QTest::newRow("unplugged with a handle left open")
            << "present" << "absent" << true << QStringList{"设备已断开"} << 0 << 0 << false << absent;
        QTest::newRow("plugged in without access")
            << "absent" << "denied" << false << QStringList{"设备离线"} << 1 << 0 << false << "no permission";
        QTest::newRow("no access, unchanged") << "denied" << "denied" << false << QStringList() << 0 << 0 << false
                                              << "no permission";
    }
    void changeSeenByTheWatch()
    {
        QFETCH(QString, atStart);
        QFETCH(QString, now);
        QFETCH(bool, handleLeftOpen);
        QFETCH(QStringList, newLines);
        QFETCH(int, opens);
        QFETCH(int, writes);
        QFETCH(bool, online);
        QFETCH(QString, hintText);
        putDevice(atStart);
        MainWindow window;
        QVERIFY(window.presenceWatch().isRunning());
        if (handleLeftOpen)
            QVERIFY(window.session().open());
        const QStringList before = logMessages(&window);
        device().clearRecord();
        putDevice(now);

        window.presenceWatch().check();
        if (opens > 0)
            QTRY_COMPARE(device().count(Exchange::Open), opens);
        QTest::qWait(2 * DeviceWatch::ArrivalSettleMs);   // nothing more follows

        QCOMPARE(logMessages(&window).mid(before.size()), newLines);
        QCOMPARE(device().count(Exchange::Open), opens);
        QCOMPARE(device().count(Exchange::Write), writes);
        QCOMPARE(device().openHandleCount(), 0);
        QVERIFY(!window.session().handle());
        QVERIFY(showsPicture(child<QToolButton>(&window, "toolButton"),
                             online ? "imageformats/USB_ON.jpg" : "imageformats/USB_OFF.jpg"));
        QCOMPARE(hint(&window)->isVisibleTo(&window), !hintText.isEmpty());
        QVERIFY2(hint(&window)->text().contains(hintText), qPrintable(hint(&window)->text()));
        if (writes > 0)
            QCOMPARE(child<QLabel>(&window, "lab_dev_name")->text(), QStringLiteral("VELTRA-MINI"));
    }

    // The watch runs by itself once the window is up.
    void arrivalIsNoticedWithoutAClick()
    {
        device().setPresent(false);
        MainWindow window;
        device().setPresent(true);
        QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>(&window, "lab_dev_name")->text(), QStringLiteral("VELTRA-MINI"),
                                  DeviceWatch::PollIntervalMs * 4);
        QVERIFY(!hint(&window)->isVisibleTo(&window));
    }

    // While an action holds the session the watch does not even list the
    // devices; a removal meanwhile is reported once the action is over.
    void noLookWhileAnActionRuns()
    {
        MainWindow window;
        for (quint8 item = 0x04; item <= 0x07; ++item)
            device().setReplyFault(item, EmulatedDevice::ReplyFault::NoReply);
        device().clearRecord();
        int listingsDuringAction = -1;
        device().setReadHook([&](int) {
            device().setPresent(false);
            window.presenceWatch().check();
            listingsDuringAction = device().count(Exchange::Enumerate);
        });
        QTest::mouseClick(child<QPushButton>(&window, "m_btn_Devices"), Qt::LeftButton);
        device().setReadHook(nullptr);
        QCOMPARE(listingsDuringAction, 0);
        QVERIFY(!logMessages(&window).contains("设备已断开"));

        window.presenceWatch().check();
        QCOMPARE(logMessages(&window).count("设备已断开"), 1);
        QCOMPARE(device().count(Exchange::Open), 1);
    }

    // A device plugged in while an action runs is read after that action, not refused.
    void arrivalDuringAnActionIsReadAfterIt()
    {
        device().setPresent(false);
        MainWindow window;
        device().setPresent(true);
        device().clearRecord();
        std::optional<DeviceActionGuard> running(window.session().activity());
        window.presenceWatch().check();
        QTest::qWait(2 * DeviceWatch::ArrivalSettleMs);
        QCOMPARE(device().count(Exchange::Open), 0);
        running.reset();
        QTRY_COMPARE(device().count(Exchange::Write), 4);
        QVERIFY(!logMessages(&window).contains(deviceBusyText()));
    }

    // The log keeps its one line; the page and the service status say why.
    void failedOpenIsExplained_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QStringList>("hintParts");
        QTest::addColumn<QString>("status");
        QTest::newRow("not attached") << "absent" << QStringList{"No device detected", "connect the device"}
                                      << "未检测到设备：请连接设备";
        QTest::newRow("attached, no permission")
            << "denied"
            << QStringList{"connected", "no permission", "70-tessel-control.rules /etc/udev/rules.d/",
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
        window.show();
        QCOMPARE(logMessages(&window), QStringList{"设备离线"});
        QVERIFY(hint(&window)->isVisible());
        for (const QString &part : hintParts)
            QVERIFY2(hint(&window)->text().contains(part), qPrintable(hint(&window)->text()));
        QVERIFY(iconImage(child<QToolButton>(&window, "device_image")->icon()).isNull());

        window.setServiceMode(true);
        child<QPushButton>(&window, "serviceDevicesButton")->click();
        QVERIFY2(fullStatus(&window).startsWith(status), qPrintable(fullStatus(&window)));

        // Once the device opens, its picture is back and the hint gone.
        putDevice("present");
        QTest::mouseClick(child<QPushButton>(&window, "m_btn_Devices"), Qt::LeftButton);
        QVERIFY(!hint(&window)->isVisible());
        QVERIFY(showsPicture(child<QToolButton>(&window, "device_image"), "imageformats/device_image_VELTRA-MINI.png"));
    }
};

QTEST_MAIN(TestDevicePresence)
#include "tst_devicepresence.moc"
