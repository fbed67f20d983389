// Each page of the main window built alone on the window's form, with a
// device controller and a recorded output: its main action against the
// emulated device, and what the page and the output show afterwards.

#include "app/dialogpointers.h"
#include "app/pages/devicepage.h"
#include "app/pages/firmwarepage.h"
#include "app/pages/settingspage.h"
#include "app/pages/slotspage.h"
#include "emulator/emulateddevice.h"
#include "firmware/firmwarefilechooser.h"
#include "pagebench.h"
#include "testsupport.h"

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using emu::EmulatedDevice;
using namespace testsupport;

namespace {

EmulatedDevice &device() { return EmulatedDevice::instance(); }

// A label's text; a button's "enabled" or "disabled".
QString shown(QWidget *widget)
{
    if (auto *label = qobject_cast<QLabel *>(widget))
        return label->text();
    return widget->isEnabled() ? QStringLiteral("enabled") : QStringLiteral("disabled");
}

} // namespace

class TestPages : public QObject
{
    Q_OBJECT

private slots:
    void init() { device().reset(); }
    void cleanup()
    {
        setFirmwareFileChooser(nullptr);
        delete openImageEditor.data();
        QCOMPARE(device().misuseCount(), 0);
    }

    void mainActions_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("widget");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QString>("result");
        QTest::newRow("device query fills the table")
            << "device" << true << "lab_dev_power" << "5-80 W" << QStringList() << "设备信息已读取";
        QTest::newRow("device query without a device")
            << "device" << false << "deviceHintLabel" << "" << QStringList{"设备离线"} << "未检测到设备：请连接设备";
        QTest::newRow("settings write reaches the device")
            << "settings" << true << "toolButton_2" << "enabled" << QStringList() << "设置已写入设备";
        QTest::newRow("settings write logs its line")
            << "settings" << false << "toolButton_2" << "enabled" << QStringList{"设备离线"} << "设备离线";
        QTest::newRow("slot query opens the editor")
            << "slot" << true << "progressBar_img4" << "enabled" << QStringList() << "";
        QTest::newRow("slot query without a device")
            << "slot" << false << "progressBar_img4" << "enabled" << QStringList{"设备离线"} << "设备离线";
        QTest::newRow("firmware file chosen enables the button")
            << "firmware" << true << "pushButton" << "enabled" << QStringList{"选择文件：%1"} << "";
        QTest::newRow("firmware file refused keeps it off")
            << "firmware png" << true << "pushButton" << "disabled"
            << QStringList{"选择文件：%1", "不是固件文件：这是 PNG 图片"} << "";
    }
    void mainActions()
    {
        QFETCH(QString, action);
        QFETCH(bool, present);
        QFETCH(QString, widget);
        QFETCH(QString, expected);
        QFETCH(QStringList, log);
        QFETCH(QString, result);
        device().setPresent(present);
        PageBench bench;
        bench.output.serviceMode = true;
        DevicePage devices(bench.form, bench.controller, bench.output, bench.info);
        SettingsPage settings(bench.form, bench.controller, bench.output, bench.info);
        FirmwarePage firmware(bench.form, bench.controller, bench.output, bench.info, settings);
        SlotsPage imageSlots(bench.form, bench.controller, bench.output);
        QTemporaryDir dir;
        const QString path = dir.filePath("fw.bin");

        if (action == "device") {
            devices.readDevice();
        } else if (action == "settings") {
            settings.writeTable();
        } else if (action == "slot") {
            imageSlots.openEditor(3, QString());
        } else {
            QByteArray file = QByteArray("VELTRA-MINI").leftJustified(48, '\0') + QByteArray(952, '\x5A');
            if (action.endsWith("png"))
                file.replace(0, 8, "\x89PNG\r\n\x1a\n");
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
            out.close();
            setFirmwareFileChooser([path](QWidget *) { return path; });
            firmware.chooseFile();
        }
        QVERIFY(waitForDeviceIdle(bench.controller));

        QWidget *target = bench.window.findChild<QWidget *>(widget);
        QVERIFY(target);
        if (widget == "deviceHintLabel")
            QVERIFY(!target->isHidden());
        else
            QCOMPARE(shown(target), expected);
        for (QString &line : log)
            line = line.arg(path);
        QCOMPARE(bench.output.log, log);
        QCOMPARE(bench.output.results.isEmpty() ? QString() : bench.output.results.last(), result);
        QCOMPARE(bench.output.statuses, action.startsWith("firmware") ? QList<bool>() : QList<bool>{present});
        // Only a slot query that was answered opens an editor, for its slot.
        QCOMPARE(!openImageEditor.isNull(), action == "slot" && present);
        if (openImageEditor)
            QVERIFY(openImageEditor->windowTitle().contains(QLatin1String("3")));
        bench.controller.releaseHandle();
        QTRY_COMPARE(device().openHandleCount(), 0);
    }
};

QTEST_MAIN(TestPages)
#include "tst_pages.moc"
