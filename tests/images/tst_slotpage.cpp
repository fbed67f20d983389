// The image slots: the slot query behind every "选择文件(S)" button and the
// UPLOAD side button, editor placement, thumbnails, and which editor the
// navigation closes.

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "images/editdlg.h"
#include "imagetests.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using emu::EmulatedDevice;
using namespace imagetest;
using namespace testsupport;

namespace {

editDlg *newestEditor()
{
    return qobject_cast<editDlg *>(openImageEditor.data());
}

QVector<QByteArray> writes()
{
    return EmulatedDevice::instance().writtenReports();
}

} // namespace

class TestSlotPage : public QObject
{
    Q_OBJECT

    ScratchDirectory scratch;

private slots:
    void init()
    {
        EmulatedDevice::instance().reset();
        scratch.enter({"USB_ON.jpg", "USB_OFF.jpg"});
    }
    void cleanup()
    {
        scratch.leave();
        QCOMPARE(EmulatedDevice::instance().misuseCount(), 0);
    }

    void slotButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("lineEdit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("slot");
        QTest::addColumn<QString>("size");
        QTest::newRow("boot screen") << "toolButton_4" << "" << "" << 1 << "240x40";
        QTest::newRow("advert") << "toolButton_12" << "" << "" << 4 << "240x280";
        QTest::newRow("shutdown") << "toolButton_13" << "" << "" << 5 << "240x280";
        QTest::newRow("empty line edit") << "toolButton_14" << "lineEdit_1" << "" << 0 << "240x280";
        QTest::newRow("typed 7") << "toolButton_14" << "lineEdit_1" << "7" << 7 << "240x280";
        QTest::newRow("not a number") << "toolButton_18" << "lineEdit_5" << "ab" << 0 << "240x280";
    }
    void slotButtons()
    {
        QFETCH(QString, button);
        QFETCH(QString, lineEdit);
        QFETCH(QString, typed);
        QFETCH(int, slot);
        QFETCH(QString, size);
        MainWindow window;
        window.show();
        if (!lineEdit.isEmpty())
            window.findChild<QLineEdit *>(lineEdit)->setText(typed);
        auto &device = EmulatedDevice::instance();
        device.clearRecord();
        window.findChild<QToolButton *>(button)->click();

        QByteArray query = QByteArray::fromHex("00553f720b") + char(slot);
        query += QByteArray(58, '\0');
        QCOMPARE(writes(), QVector<QByteArray>{query});
        QCOMPARE(device.record().last().kind, EmulatedDevice::Exchange::Read);
        QCOMPARE(device.record().last().timeoutMs, 3000);
        // The device stays open for the upload.
        QCOMPARE(device.openHandleCount(), 1);

        editDlg *editor = newestEditor();
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(child<QLabel>(editor, "label_4")->text(), "IMAGE SIZE：" + size);
        QCOMPARE(child<QLabel>(editor, "label")->text(), QString());
        QWidget *anchor = child<QWidget>(&window, "widget_8");
        QCOMPARE(editor->pos(), window.mapToGlobal(anchor->pos() + QPoint(175, 35)));
        QVERIFY(logMessages(&window).isEmpty());
    }

    void replies_data()
    {
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QString>("size");
        QTest::addColumn<QStringList>("log");
        QTest::newRow("no reply") << true << QByteArray() << "128x128" << QStringList{"读取超时！"};
        QTest::newRow("raw 240x280") << false << QByteArray::fromHex("550000000400f0011854") << "240x280"
                                     << QStringList();
    }
    void replies()
    {
        QFETCH(bool, silent);
        QFETCH(QByteArray, raw);
        QFETCH(QString, size);
        QFETCH(QStringList, log);
        MainWindow window;
        auto &device = EmulatedDevice::instance();
        if (silent)
            device.setReplyFault(0x0B, EmulatedDevice::ReplyFault::NoReply);
        else
            device.profile().rawReplies.insert(0x0B, raw);
        window.openSlotEditor(4, QString());
        QVERIFY(newestEditor());
        QCOMPARE(child<QLabel>(newestEditor(), "label_4")->text(), "IMAGE SIZE：" + size);
        QCOMPARE(logMessages(&window), log);
    }

    void noDevice()
    {
        MainWindow window;
        EmulatedDevice::instance().setPresent(false);
        window.openSlotEditor(4, QString());
        QVERIFY(!openImageEditor);
        QCOMPARE(logMessages(&window), QStringList{"设备离线"});
        QVERIFY(showsPicture(child<QToolButton>(&window, "toolButton"), "imageformats/USB_OFF.jpg"));
    }

    void deviceAlreadyOpen()
    {
        MainWindow window;
        auto &device = EmulatedDevice::instance();
        window.deviceHandle() = hid_open(0x0483, 0x5750, nullptr);
        window.showDeviceStatus(false);
        device.clearRecord();
        window.openSlotEditor(2, QString());
        QCOMPARE(device.count(EmulatedDevice::Exchange::Open), 0);
        QVERIFY(showsPicture(child<QToolButton>(&window, "toolButton"), "imageformats/USB_ON.jpg"));
        QVERIFY(newestEditor());
    }

    // Only the newest of two editors is closed, and being closed it goes away.
    void navigationClosesTheNewestEditor_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("DEVICE") << "m_btn_Devices";
        QTest::newRow("HELP") << "m_btn_Settings";
        QTest::newRow("UPLOAD") << "m_btn_Upgtade";
    }
    void navigationClosesTheNewestEditor()
    {
        QFETCH(QString, button);
        MainWindow window;
        window.show();
        window.openSlotEditor(2, QString());
        QPointer<editDlg> older = newestEditor();
        window.openSlotEditor(3, QString());
        QPointer<editDlg> newer = newestEditor();
        QVERIFY(older && newer && older != newer);

        QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);
        QVERIFY(newer && !newer->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!newer);
        QVERIFY(older && older->isVisible());
        if (button == "m_btn_Upgtade") {
            // UPLOAD opens slot 4 straight away.
            QVERIFY(newestEditor() && newestEditor() != older);
            QVERIFY(newestEditor()->isVisible());
            const QByteArray query = EmulatedDevice::instance().writtenReports().last();
            QCOMPARE(query.left(6), QByteArray::fromHex("00553f720b04"));
        }
    }

    void thumbnailsShowSlotsOneToTen()
    {
        const char *const buttons[] = {"pushButton_8",  "pushButton_9",  "pushButton_10", "pushButton_11",
                                       "pushButton_12", "pushButton_14", "pushButton_17", "pushButton_16",
                                       "pushButton_15", "pushButton_13"};
        for (int slot = 1; slot <= 10; ++slot) {
            QImage picture(8, 8, QImage::Format_RGB32);
            picture.fill(qRgb(20 * slot, 255 - 20 * slot, 7 * slot));
            QVERIFY(picture.save(QString("imageformats/page%1.bmp").arg(slot), "bmp"));
        }
        MainWindow window;
        window.findChild<QLineEdit *>("lineEdit_1")->setText("7");
        window.refreshSlotIcons();
        for (int slot = 1; slot <= 10; ++slot)
            QVERIFY2(showsPicture(window.findChild<QPushButton *>(buttons[slot - 1]),
                                  QString("imageformats/page%1.bmp").arg(slot)),
                     buttons[slot - 1]);
    }
};

QTEST_MAIN(TestSlotPage)
#include "tst_slotpage.moc"
