// The device watch against the emulated device: what it reports as the device
// comes and goes, that it never opens the device, and that it does not look at
// all while a device action holds the session.

#include "device/deviceactivity.h"
#include "device/devicewatch.h"
#include "device/openfailure.h"
#include "emulator/emulateddevice.h"

#include <QSignalSpy>
#include <QtTest>

#include <optional>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;

Q_DECLARE_METATYPE(OpenFailure)

class TestDeviceWatch : public QObject
{
    Q_OBJECT

private slots:
    void init() { EmulatedDevice::instance().reset(); }

    // Steps: plug, unplug, deny (listed but not openable), look, busy/idle (an
    // action takes and gives back the session), assume (an action opened it).
    void reports_data()
    {
        QTest::addColumn<bool>("assumed");
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("reported");
        QTest::newRow("present, nothing changes") << true << "look look" << "";
        QTest::newRow("leaves") << true << "unplug look look" << "left";
        QTest::newRow("arrives") << false << "look look" << "arrived";
        QTest::newRow("leaves and comes back") << true << "unplug look plug look" << "left arrived";
        QTest::newRow("out and in between two looks") << true << "unplug plug look" << "";
        QTest::newRow("leaves during an action, seen after it") << true << "busy unplug look look idle look" << "left";
        QTest::newRow("comes and goes during an action") << false << "busy look idle unplug look" << "";
        QTest::newRow("listed without access counts as there") << false << "deny look" << "arrived";
        QTest::newRow("an action found it first") << false << "assume look" << "";
    }
    void reports()
    {
        QFETCH(bool, assumed);
        QFETCH(QString, steps);
        QFETCH(QString, reported);
        auto &device = EmulatedDevice::instance();
        DeviceActivity activity;
        std::optional<DeviceActionGuard> action;
        DeviceWatch watch(activity);
        QStringList signalsSeen;
        connect(&watch, &DeviceWatch::arrived, this, [&] { signalsSeen << "arrived"; });
        connect(&watch, &DeviceWatch::left, this, [&] { signalsSeen << "left"; });
        watch.assume(assumed);
        device.clearRecord();
        int looksWhileIdle = 0;
        for (const QString &step : steps.split(' ')) {
            if (step == "plug") device.setPresent(true);
            else if (step == "unplug") device.setPresent(false);
            else if (step == "deny") device.setAccessDenied(true);
            else if (step == "busy") action.emplace(activity);
            else if (step == "idle") action.reset();
            else if (step == "assume") watch.assume(true);
            else if (step == "look") {
                looksWhileIdle += action ? 0 : 1;
                watch.check();
            }
        }
        QCOMPARE(signalsSeen.join(' '), reported);
        QCOMPARE(device.count(Exchange::Enumerate), looksWhileIdle);
        QCOMPARE(device.record().size(), looksWhileIdle);   // nothing but the listing: no open, no report
    }

    void pollsByItself()
    {
        DeviceActivity activity;
        DeviceWatch watch(activity);
        watch.assume(true);
        QSignalSpy left(&watch, &DeviceWatch::left);
        watch.start(10);
        EmulatedDevice::instance().setPresent(false);
        QTRY_COMPARE(left.count(), 1);
        watch.stop();
        QVERIFY(!watch.isRunning());
    }

    // The two reasons an open fails, told apart without opening anything.
    void diagnosis_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<OpenFailure>("failure");
        QTest::addColumn<QString>("summary");
        QTest::newRow("unplugged") << "unplugged" << OpenFailure::NotAttached << "未检测到设备：请连接设备";
        QTest::newRow("no permission") << "denied" << OpenFailure::NotAccessible << "设备已连接，但无权限打开";
    }
    void diagnosis()
    {
        QFETCH(QString, state);
        QFETCH(OpenFailure, failure);
        QFETCH(QString, summary);
        auto &device = EmulatedDevice::instance();
        if (state == "unplugged")
            device.setPresent(false);
        else
            device.setAccessDenied(true);
        device.clearRecord();
        QCOMPARE(diagnoseOpenFailure(), failure);
        QCOMPARE(device.count(Exchange::Open), 0);
        QVERIFY(openFailureSummary(failure).startsWith(summary));
    }

    // The permission help names the rule and both commands that install it.
    void permissionHelpNamesTheFix()
    {
        const QString text = openFailureExplanation(OpenFailure::NotAccessible, "/opt/tc/70-tessel-control.rules");
        QVERIFY(text.contains("permission"));
        QVERIFY(text.contains("sudo install -m 644 /opt/tc/70-tessel-control.rules /etc/udev/rules.d/"));
        QVERIFY(text.contains("sudo udevadm control --reload-rules && sudo udevadm trigger"));
        QVERIFY(openFailureExplanation(OpenFailure::NotAccessible, QString()).contains(" 70-tessel-control.rules "));
        QVERIFY(!openFailureExplanation(OpenFailure::NotAttached, QString()).contains("udev"));
    }
};

QTEST_MAIN(TestDeviceWatch)
#include "tst_devicewatch.moc"
