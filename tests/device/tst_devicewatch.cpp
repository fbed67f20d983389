// The device watch against the emulated device: what it reports as the device
// comes and goes, that it never opens the device, and that it does not look at
// all while a device action holds the session; and where the system says a
// unit is plugged in, read from a sysfs tree as Linux lays it out.

#include "device/deviceactivity.h"
#include "device/devicewatch.h"
#include "device/usbport.h"
#include "emulator/emulateddevice.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;

class TestDeviceWatch : public QObject
{
    Q_OBJECT

private slots:
    void init() { EmulatedDevice::instance().reset(); }

    // A sysfs tree with hidraw nodes under USB interfaces, a hub, another
    // vendor's device on the same port and a node on no USB bus at all: the
    // port each hidapi path sits in, and the tool's node each port holds.
    void usbPorts_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("port");
        QTest::addColumn<QByteArray>("onPort");   // the tool's node on that port
        QTest::newRow("root port") << QByteArray("/dev/hidraw3") << QByteArray("1-2") << QByteArray("/dev/hidraw3");
        QTest::newRow("behind a hub, next to a keyboard")
            << QByteArray("/dev/hidraw12") << QByteArray("3-1.4.2") << QByteArray("/dev/hidraw12");
        QTest::newRow("another vendor's device") << QByteArray("/dev/hidraw0") << QByteArray("1-1") << QByteArray();
        QTest::newRow("not on USB") << QByteArray("/dev/hidraw5") << QByteArray() << QByteArray();
        QTest::newRow("no such node") << QByteArray("/dev/hidraw9") << QByteArray() << QByteArray();
        QTest::newRow("not a hidraw path") << QByteArray("1-2:1.0") << QByteArray() << QByteArray();
        QTest::newRow("a path that climbs out") << QByteArray("/dev/hidraw3/../hidraw3") << QByteArray() << QByteArray();
    }
    void usbPorts()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, port);
        QFETCH(QByteArray, onPort);
        QTemporaryDir sys;
        const auto node = [&sys](const QString &name, const QString &place) {
            const QString folder = sys.filePath("devices/" + place + "/hidraw/" + name);
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(QDir().mkpath(sys.filePath("class/hidraw")));
            QVERIFY(QFile::link(folder, sys.filePath("class/hidraw/" + name)));
        };
        node("hidraw3", "pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/0003:0483:5750.0005");
        node("hidraw12", "pci0000:00/0000:00:14.0/usb3/3-1/3-1.4/3-1.4.2/3-1.4.2:1.0/0003:0483:5750.000C");
        node("hidraw11", "pci0000:00/0000:00:14.0/usb3/3-1/3-1.4/3-1.4.1/3-1.4.1:1.0/0003:046D:C31C.000B");
        node("hidraw0", "pci0000:00/0000:00:14.0/usb1/1-1/1-1:1.0/0003:046D:C52B.0001");
        node("hidraw5", "platform/i2c-0/0018:0483:5750.0006");
        QCOMPARE(usbPortInSysfs(sys.path(), path), port);
        QCOMPARE(hidPathOnPortInSysfs(sys.path(), port), onPort);
    }

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
