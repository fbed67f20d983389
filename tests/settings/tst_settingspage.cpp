// The working-mode table of the Settings page and its write to the emulated
// device: layout, bytes and decoded values, absence, and cells the wire
// cannot carry.

#include "app/pagebench.h"
#include "app/pages/devicepage.h"
#include "app/pages/settingspage.h"
#include "device/deviceactivity.h"
#include "emulator/emulateddevice.h"
#include "emulator/settingsdecoder.h"
#include "settings/my_spinbox.h"
#include "testsupport.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidget>
#include <QToolButton>
#include <QtTest>

#include <optional>

using emu::EmulatedDevice;
using namespace testsupport;

namespace {

EmulatedDevice &device() { return EmulatedDevice::instance(); }
QTableWidget *table(QWidget *w) { return child<QTableWidget>(w, "tableWidget"); }

// Types into a spin box, or over an item where the cell has none.
void setCell(QWidget *w, int row, int column, const QString &text)
{
    if (QWidget *box = table(w)->cellWidget(row, column))
        child<QLineEdit>(box, "lineEdit")->setText(text);
    else
        table(w)->item(row, column)->setText(text);
}

QStringList cellTexts(QWidget *w)
{
    QStringList texts;
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 4; ++c) {
            QWidget *box = table(w)->cellWidget(r, c);
            texts << (box ? child<QLineEdit>(box, "lineEdit")->text() : table(w)->item(r, c)->text());
        }
    return texts;
}

// "写入设备（2）". The write runs on the device thread: this returns once it ended.
void clickWrite(PageBench &bench, SettingsPage &page)
{
    page.writeTable();
    QVERIFY(waitForDeviceIdle(bench.controller));
}

// What the device now holds: "mode wattage temperature tcr" per mode.
QStringList keptModes()
{
    QStringList modes;
    for (const auto &m : emu::keptModeSettings(device()))
        modes << QString("%1 %2 %3 %4").arg(m.mode).arg(m.wattage).arg(m.temperature).arg(m.tcr);
    return modes;
}

using Edits = QList<QStringList>;   // row, column, text

} // namespace

class TestSettingsPage : public QObject
{
    Q_OBJECT

private slots:
    void init() { device().reset(); }
    void cleanup() { QCOMPARE(device().openHandleCount(), 0); }

    void tableLayout()
    {
        PageBench bench;
        SettingsPage page(bench.form, bench.controller, bench.output, bench.info);
        QTableWidget *t = table(&bench.window);
        QVERIFY(t->horizontalHeader()->isHidden() && t->verticalHeader()->isHidden());
        QCOMPARE(t->selectionMode(), QAbstractItemView::NoSelection);
        const QString x = QStringLiteral("暂不支持");
        QCOMPARE(cellTexts(&bench.window), QStringList({"PWR", "0", x, x, "NI200", "0", "0", "0", "TI", "0", "0", "0",
                                                  "SS", "0", "0", "0", "BY PASS", x, x, x, "TCR1", "0", "0", "0",
                                                  "TCR2", "0", "0", "0"}));
        QCOMPARE(t->item(4, 2)->data(Qt::TextAlignmentRole).toInt(), 132);
        QCOMPARE(QList<int>({t->columnWidth(0), t->columnWidth(3), t->rowHeight(6)}), QList<int>({80, 213, 38}));
    }

    void untouchedTableReports()
    {
        PageBench bench;
        SettingsPage page(bench.form, bench.controller, bench.output, bench.info);
        device().clearRecord();
        clickWrite(bench, page);
        QCOMPARE(device().writtenReports(),
                 QVector<QByteArray>({QByteArray::fromHex("00553F 77081B 01 0000 02 0000 0000 00 0000 03 0000 0000 00 "
                                                          "0000 04") + QByteArray(38, '\0'),
                                      QByteArray::fromHex("00553F 770910 05 0000 0000 00 0000 06")
                                          + QByteArray(49, '\0')}));
        QCOMPARE(device().count(EmulatedDevice::Exchange::Open), 1);
        QVERIFY(bench.output.log.isEmpty());
        QCOMPARE(device().openHandleCount(), 0);
    }

    void writeReachesDevice_data()
    {
        QTest::addColumn<Edits>("edits");
        QTest::addColumn<QStringList>("modes");
        QTest::newRow("wattage truncated, tcr rounded")
            << Edits{{"0", "1", "200.9"}, {"1", "2", "300"}, {"1", "3", "0.0039"}, {"2", "3", "0.0035"},
                     {"3", "3", "0.0005"}, {"5", "3", "0.008"}, {"6", "1", "5000"}}
            << QStringList({"1 200 0 0", "2 0 300 390", "3 0 0 350", "4 0 0 50", "5 0 0 800", "6 5000 0 0"});
        QTest::newRow("bypass row never sent")
            << Edits{{"4", "1", "123"}, {"4", "2", "x"}, {"3", "1", "42"}}
            << QStringList({"1 0 0 0", "2 0 0 0", "3 0 0 0", "4 42 0 0", "5 0 0 0", "6 0 0 0"});
    }
    void writeReachesDevice()
    {
        QFETCH(Edits, edits);
        QFETCH(QStringList, modes);
        PageBench bench;
        SettingsPage page(bench.form, bench.controller, bench.output, bench.info);
        for (const QStringList &e : edits)
            setCell(&bench.window, e[0].toInt(), e[1].toInt(), e[2]);
        const QStringList before = cellTexts(&bench.window);
        clickWrite(bench, page);
        QCOMPARE(keptModes(), modes);
        QCOMPARE(cellTexts(&bench.window), before);
    }

    // Nothing reaches the device, nothing in the table changes, one log line:
    // no device, a cell the wire cannot carry (the device is not even opened),
    // another action running.
    void writeRefused_data()
    {
        QTest::addColumn<Edits>("edits");
        QTest::addColumn<bool>("present");
        QTest::addColumn<bool>("busy");
        QTest::addColumn<QString>("line");
        QTest::newRow("no device") << Edits{{"1", "1", "55"}} << false << false << "设备离线";
        QTest::newRow("not a number") << Edits{{"1", "1", "abc"}} << true << false
                                      << "NI200 功率设定（W）：数值无效或超出范围，未写入设备";
        QTest::newRow("above 65535, first bad cell named") << Edits{{"2", "2", "70000"}, {"6", "1", "-5"}} << true
                                                           << false << "TI 温度设定（°C）：数值无效或超出范围，未写入设备";
        QTest::newRow("tcr above 65535 after scaling")
            << Edits{{"3", "3", "0.7"}} << true << false << "SS 发热丝系数调节/TCR：数值无效或超出范围，未写入设备";
        QTest::newRow("busy") << Edits{} << true << true << "设备忙，请等待当前操作完成";
    }
    void writeRefused()
    {
        QFETCH(Edits, edits);
        QFETCH(bool, present);
        QFETCH(bool, busy);
        QFETCH(QString, line);
        PageBench bench;
        SettingsPage page(bench.form, bench.controller, bench.output, bench.info);
        DevicePage devices(bench.form, bench.controller, bench.output, bench.info);   // the status icon
        for (const QStringList &e : edits)
            setCell(&bench.window, e[0].toInt(), e[1].toInt(), e[2]);
        const QStringList before = cellTexts(&bench.window);
        device().setPresent(present);
        device().clearRecord();
        {
            // Another device action, as the controller's shared guard sees it.
            DeviceActivity otherAction;
            std::optional<DeviceActionGuard> running;
            if (busy) {
                bench.controller.setSharedActivity(&otherAction);
                running.emplace(otherAction);
            }
            clickWrite(bench, page);
            running.reset();
            bench.controller.setSharedActivity(nullptr);
        }
        QCOMPARE(bench.output.log, QStringList{line});
        QCOMPARE(device().count(EmulatedDevice::Exchange::Write), 0);
        QCOMPARE(device().count(EmulatedDevice::Exchange::Open), present ? 0 : 1);
        QCOMPARE(cellTexts(&bench.window), before);
        if (!present)
            QVERIFY(!bench.output.statuses.isEmpty() && !bench.output.statuses.last());
    }
};

QTEST_MAIN(TestSettingsPage)
#include "tst_settingspage.moc"
