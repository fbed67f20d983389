// The Devices page against the emulated device: start-up query, replies,
// silence, absence and the device picture.

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
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

    void startUpReadsEveryItem()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QCOMPARE(labelTexts(&window),
                 QStringList({"VELTRA-MINI", "V1.0.2", "1.69 inch", "5-80 W", "200-600°F/100-316°C",
                              "TSL-VM01-000001"}));
        QVERIFY(logMessages(&window).isEmpty());
        QVERIFY(showsPicture(child<QToolButton>(&window, "toolButton"), "imageformats/USB_ON.jpg"));
        QVERIFY(showsPicture(child<QToolButton>(&window, "device_image"),
                             "imageformats/device_image_VELTRA-MINI.png"));
        QCOMPARE(window.deviceInfo().screen.powerHigh, 80);
        QCOMPARE(window.deviceInfo().supportText, QStringLiteral("Support"));

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

    void startUpWithoutDevice()
    {
        EmulatedDevice::instance().setPresent(false);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QCOMPARE(logMessages(&window), QStringList{"设备离线"});
        QVERIFY(showsPicture(child<QToolButton>(&window, "toolButton"), "imageformats/USB_OFF.jpg"));
        QCOMPARE(labelTexts(&window), repeated(6, "-"));
        QCOMPARE(countOf(EmulatedDevice::Exchange::Write), 0);
        QCOMPARE(child<QWidget>(&window, "stackedWidget")->property("currentIndex").toInt(), 0);
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
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QCOMPARE(labelTexts(&window), labels);
        QCOMPARE(logMessages(&window), repeated(silent.size(), "Read timeout！"));
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
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QCOMPARE(child<QLabel>(&window, "lab_dev_version")->text(), QStringLiteral("-"));
        QCOMPARE(logMessages(&window), QStringList{"Read timeout！"});
    }

    // Each visit reads afresh; what is not answered keeps the previous text.
    void revisitKeepsUnansweredLabels()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        auto &device = EmulatedDevice::instance();
        device.profile().firmwareVersion = "V2.0.0";
        device.profile().powerHigh = 120;
        device.setReplyFault(0x06, EmulatedDevice::ReplyFault::NoReply);
        QTest::mouseClick(child<QPushButton>(&window, "m_btn_Devices"), Qt::LeftButton);
        QVERIFY(waitForDeviceIdle(window.controller()));
        QCOMPARE(child<QLabel>(&window, "lab_dev_version")->text(), QStringLiteral("V2.0.0"));
        QCOMPARE(child<QLabel>(&window, "lab_dev_power")->text(), QStringLiteral("5-80 W"));
        QCOMPARE(window.deviceInfo().screen.powerHigh, 80);
    }

    void unpluggedBetweenVisitsKeepsLabels()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        auto &device = EmulatedDevice::instance();
        device.setPresent(false);
        QTest::mouseClick(child<QPushButton>(&window, "m_btn_Devices"), Qt::LeftButton);
        QVERIFY(waitForDeviceIdle(window.controller()));
        QCOMPARE(child<QLabel>(&window, "lab_dev_name")->text(), QStringLiteral("VELTRA-MINI"));
        QCOMPARE(logMessages(&window), QStringList{"设备离线"});
        QVERIFY(showsPicture(child<QToolButton>(&window, "toolButton"), "imageformats/USB_OFF.jpg"));
    }

    // The slot query leaves the device open for the upload; a DEVICE read in
    // between goes on with that handle and closes it.
    void openHandleIsReusedAndClosed()
    {
        MainWindow window;
        QVERIFY(waitForDeviceIdle(window.controller()));
        auto &device = EmulatedDevice::instance();
        QVERIFY(window.controller().startSlotQuery(4));
        QVERIFY(waitForDeviceIdle(window.controller()));
        QCOMPARE(device.openHandleCount(), 1);
        device.clearRecord();
        QTest::mouseClick(child<QPushButton>(&window, "m_btn_Devices"), Qt::LeftButton);
        QVERIFY(waitForDeviceIdle(window.controller()));
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
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        // The name is shown as received either way.
        QCOMPARE(child<QLabel>(&window, "lab_dev_name")->text(), QString::fromLatin1(name));
        const QIcon icon = child<QToolButton>(&window, "device_image")->icon();
        QCOMPARE(!iconImage(icon).isNull(), picture);
    }

    void devicesButtonClosesTheNewestEditor()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QDialog older, newer;
        older.show();
        newer.show();
        openImageEditor = &newer;
        QTest::mouseClick(child<QPushButton>(&window, "m_btn_Devices"), Qt::LeftButton);
        QVERIFY(older.isVisible());
        QVERIFY(!newer.isVisible());
        openImageEditor = nullptr;
    }
};

QTEST_MAIN(TestDevicePage)
#include "tst_devicepage.moc"
