// The Devices page against the emulated device: its query, replies,
// silence, absence and the device picture.

#include "app/pagebench.h"
#include "app/pages/devicepage.h"
#include "emulator/emulateddevice.h"
#include "devicerecord.h"
#include "testsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using emu::EmulatedDevice;
using namespace testsupport;

namespace {

const char *const ValueLabels[] = {"lab_dev_name", "lab_dev_version", "lab_dev_size",
                                   "lab_dev_power", "lab_dev_wendu", "lab_dev_support"};

QStringList labelTexts(QWidget *w)
{
    QStringList texts;
    for (const char *name : ValueLabels)
        texts << child<QLabel>(w, name)->text();
    return texts;
}

QStringList repeated(int n, const QString &text)
{
    QStringList list;
    for (int i = 0; i < n; ++i)
        list << text;
    return list;
}

int countOf(EmulatedDevice::Exchange::Kind kind)
{
    return EmulatedDevice::instance().count(kind);
}

// The Devices page alone; read() is DEVICE: one query, waited for.
struct DeviceBench : PageBench
{
    DevicePage page{form, controller, output, info};

    bool read()
    {
        page.readDevice();
        return waitForDeviceIdle(controller);
    }
};

// The status icon as the page left it.
bool showsOnline(const DeviceBench &bench)
{
    return !bench.output.statuses.isEmpty() && bench.output.statuses.last();
}

} // namespace

class TestDevicePage : public QObject
{
    Q_OBJECT

private slots:
    void init() { EmulatedDevice::instance().reset(); }
    void cleanup()
    {
        auto &device = EmulatedDevice::instance();
        QCOMPARE(device.openHandleCount(), 0);
        QCOMPARE(device.misuseCount(), 0);
    }

    void queryReadsEveryItem()
    {
        DeviceBench bench;
        QVERIFY(bench.read());
        QCOMPARE(labelTexts(&bench.window),
                 QStringList({"VELTRA-MINI", "V1.0.2", "1.69 inch", "5-80 W", "200-600°F/100-316°C",
                              "TSL-VM01-000001"}));
        QVERIFY(bench.output.log.isEmpty());
        QVERIFY(showsOnline(bench));
        QVERIFY(showsPicture(child<QToolButton>(&bench.window, "device_image"),
                             "imageformats/device_image_VELTRA-MINI.png"));
        QCOMPARE(bench.info.screen.powerHigh, 80);
        QCOMPARE(bench.info.supportText, QStringLiteral("Support"));

        // One open, four requests each followed by a read, one close; each
        // read answered within its first slice.
        const auto record = EmulatedDevice::instance().record();
        QStringList shape;
        for (const auto &e : record) {
            switch (e.kind) {
            case EmulatedDevice::Exchange::Open: shape << "open"; break;
            case EmulatedDevice::Exchange::Close: shape << "close"; break;
            case EmulatedDevice::Exchange::SetNonblocking: shape << QString("blocking=%1").arg(e.length == 0 ? 1 : 0); break;
            case EmulatedDevice::Exchange::Write:
                shape << QString("w%1").arg(quint8(e.bytes[4]), 2, 16, QLatin1Char('0'));
                QCOMPARE(e.bytes.left(4), QByteArray("\x00\x55\x3F\x72", 4));
                QCOMPARE(e.bytes.mid(5), QByteArray(59, '\0'));
                break;
            case EmulatedDevice::Exchange::Read:
                shape << "r";
                QCOMPARE(e.length, 63);
                QCOMPARE(e.timeoutMs, 100);
                break;
            default: break;
            }
        }
        QCOMPARE(shape, QStringList({"open", "blocking=1", "w04", "r", "w05", "r", "w06", "r", "w07", "r", "close"}));
    }


    // A missing or short reply is logged and the next item is still asked.
    void silentItems_data()
    {
        QTest::addColumn<QList<int>>("silent");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("no item answers")
            << QList<int>{0x04, 0x05, 0x06, 0x07} << repeated(6, "-");
        QTest::newRow("name silent")
            << QList<int>{0x04}
            << QStringList({"-", "V1.0.2", "1.69 inch", "5-80 W", "200-600°F/100-316°C", "TSL-VM01-000001"});
        QTest::newRow("ranges silent")
            << QList<int>{0x06}
            << QStringList({"VELTRA-MINI", "V1.0.2", "-", "-", "-", "TSL-VM01-000001"});
        QTest::newRow("version and identification silent")
            << QList<int>{0x05, 0x07}
            << QStringList({"VELTRA-MINI", "-", "1.69 inch", "5-80 W", "200-600°F/100-316°C", "-"});
    }
    void silentItems()
    {
        QFETCH(QList<int>, silent);
        QFETCH(QStringList, labels);
        auto &device = EmulatedDevice::instance();
        for (int item : silent)
            device.setReplyFault(quint8(item), EmulatedDevice::ReplyFault::NoReply);
        DeviceBench bench;
        QVERIFY(bench.read());
        QCOMPARE(labelTexts(&bench.window), labels);
        QCOMPARE(bench.output.log, repeated(silent.size(), "Read timeout！"));
        // A silent item is waited for 3000 ms in all, in slices of 100 ms.
        for (const auto &e : foldedReads(EmulatedDevice::instance().record()))
            if (e.kind == EmulatedDevice::Exchange::Read)
                QCOMPARE(e.timeoutMs, e.result == 0 ? 3000 : 100);
        QCOMPARE(countOf(EmulatedDevice::Exchange::Write), 4);
        QCOMPARE(countOf(EmulatedDevice::Exchange::Close), 1);
    }

    void shortReplyIsNoReply()
    {
        EmulatedDevice::instance().setReplyFault(0x05, EmulatedDevice::ReplyFault::Short, 60);
        DeviceBench bench;
        QVERIFY(bench.read());
        QCOMPARE(child<QLabel>(&bench.window, "lab_dev_version")->text(), QStringLiteral("-"));
        QCOMPARE(bench.output.log, QStringList{"Read timeout！"});
    }

    // Each visit reads afresh; what is not answered keeps the previous text.
    void revisitKeepsUnansweredLabels()
    {
        DeviceBench bench;
        QVERIFY(bench.read());
        auto &device = EmulatedDevice::instance();
        device.profile().firmwareVersion = "V2.0.0";
        device.profile().powerHigh = 120;
        device.setReplyFault(0x06, EmulatedDevice::ReplyFault::NoReply);
        QVERIFY(bench.read());
        QCOMPARE(child<QLabel>(&bench.window, "lab_dev_version")->text(), QStringLiteral("V2.0.0"));
        QCOMPARE(child<QLabel>(&bench.window, "lab_dev_power")->text(), QStringLiteral("5-80 W"));
        QCOMPARE(bench.info.screen.powerHigh, 80);
    }

    void unpluggedBetweenVisitsKeepsLabels()
    {
        DeviceBench bench;
        QVERIFY(bench.read());
        auto &device = EmulatedDevice::instance();
        device.setPresent(false);
        QVERIFY(bench.read());
        QCOMPARE(child<QLabel>(&bench.window, "lab_dev_name")->text(), QStringLiteral("VELTRA-MINI"));
        QCOMPARE(bench.output.log, QStringList{"设备离线"});
        QVERIFY(!showsOnline(bench));
    }

    // The slot query leaves the device open for the upload; a DEVICE read in
    // between goes on with that handle and closes it.
    void openHandleIsReusedAndClosed()
    {
        DeviceBench bench;
        QVERIFY(bench.read());
        auto &device = EmulatedDevice::instance();
        QVERIFY(bench.controller.startSlotQuery(4));
        QVERIFY(waitForDeviceIdle(bench.controller));
        QCOMPARE(device.openHandleCount(), 1);
        device.clearRecord();
        QVERIFY(bench.read());
        QCOMPARE(countOf(EmulatedDevice::Exchange::Open), 0);
        QCOMPARE(countOf(EmulatedDevice::Exchange::Close), 1);
    }

    void deviceNameChoosesPicture_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("picture");
        QTest::newRow("shipped picture") << QByteArray("VELTRA-MINI") << true;
        QTest::newRow("no picture for this name") << QByteArray("UNKNOWN") << false;
        QTest::newRow("name climbing out of the folder") << QByteArray("../imageformats/USB_ON") << false;
    }
    void deviceNameChoosesPicture()
    {
        QFETCH(QByteArray, name);
        QFETCH(bool, picture);
        auto &profile = EmulatedDevice::instance().profile();
        profile.name = name;
        profile.nameEnd = quint8(name.size() - 1);
        DeviceBench bench;
        QVERIFY(bench.read());
        // The name is shown as received either way.
        QCOMPARE(child<QLabel>(&bench.window, "lab_dev_name")->text(), QString::fromLatin1(name));
        const QIcon icon = child<QToolButton>(&bench.window, "device_image")->icon();
        QCOMPARE(!iconImage(icon).isNull(), picture);
    }

};

QTEST_MAIN(TestDevicePage)
#include "tst_devicepage.moc"
