// The device watch against the emulated device: what it reports as the device
// comes and goes, that it never opens the device, and that it does not look at
// all while a device action holds the session.

#include "device/deviceactivity.h"
#include "device/devicewatch.h"
#include "emulator/emulateddevice.h"

#include <QSignalSpy>
#include <QtTest>

#include <optional>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;

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
        QTest::newRow("leaves and comes back") << true << "unplug look look plug look" << "left arrived";
        QTest::newRow("out and in between two looks") << true << "unplug plug look" << "";
        QTest::newRow("leaves during an action, seen after it") << true << "busy unplug look idle look" << "left";
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
        QStringList seen;
        connect(&watch, &DeviceWatch::arrived, this, [&] { seen << "arrived"; });
        connect(&watch, &DeviceWatch::left, this, [&] { seen << "left"; });
        watch.assume(assumed);
        device.clearRecord();
        int idleLooks = 0;
        for (const QString &step : steps.split(' ')) {
            if (step == "plug") device.setPresent(true);
            else if (step == "unplug") device.setPresent(false);
            else if (step == "deny") device.setAccessDenied(true);
            else if (step == "busy") action.emplace(activity);
            else if (step == "idle") action.reset();
            else if (step == "assume") watch.assume(true);
            else if (step == "look") {
                idleLooks += action ? 0 : 1;
                watch.check();
            }
        }
        QCOMPARE(seen.join(' '), reported);
        // Nothing but the listing, and none during the action: no open, no report.
        QCOMPARE(device.count(Exchange::Enumerate), idleLooks);
        QCOMPARE(device.record().size(), idleLooks);
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
    }
};

QTEST_MAIN(TestDeviceWatch)
#include "tst_devicewatch.moc"
