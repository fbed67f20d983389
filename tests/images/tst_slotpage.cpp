// The image slots: the slot query behind every "选择文件(S)" button and the UPLOAD
// side button, editor placement, thumbnails, and which editor the navigation closes.

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "editors/editdlg.h"
#include "imagetests.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
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

} // namespace

class TestSlotPage : public QObject
{
    Q_OBJECT

    ScratchDirectory scratch;

private slots:
    void init()
    {
        EmulatedDevice::instance().reset();
        scratch.enter();
    }
    void cleanup()
    {
        scratch.leave();
        QCOMPARE(EmulatedDevice::instance().misuseCount(), 0);
    }

    // Every row's button queries its slot; the device may be missing, silent, already open, or
    // answer with bytes of its own. The editor opens on the slot file, its picture button centred
    // in the picture area and sized to the slot.
    void slotButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("typed");    // into the row's line edit
        QTest::addColumn<QString>("device");   // "present", "absent", "silent", "open", or the reply's hex
        QTest::addColumn<int>("slot");
        QTest::addColumn<QSize>("size");       // empty: no editor
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QStringList>("log");
        const QStringList none;
        const QSize full(240, 280);
        QTest::newRow("boot screen") << "toolButton_4" << "" << "present" << 1 << QSize(240, 40) << QPoint(20, 120)
                                     << none;
        QTest::newRow("advert") << "toolButton_12" << "" << "present" << 4 << full << QPoint(20, 0) << none;
        // The device's own geometry for slot 5 is wider than the picture area.
        QTest::newRow("shutdown") << "toolButton_13" << "" << "present" << 5 << QSize(320, 240) << QPoint(-20, 20)
                                  << none;
        QTest::newRow("typed 7") << "toolButton_14" << "7" << "present" << 7 << full << QPoint(20, 0) << none;
        QTest::newRow("no device") << "toolButton_12" << "" << "absent" << 4 << QSize() << QPoint()
                                   << QStringList{"设备离线"};
        QTest::newRow("no reply") << "toolButton_12" << "" << "silent" << 4 << QSize(128, 128) << QPoint(76, 76)
                                  << QStringList{"读取超时！"};
        QTest::newRow("already open") << "toolButton_12" << "" << "open" << 4 << full << QPoint(20, 0) << none;
        QTest::newRow("reply 00 f0 01 18") << "toolButton_13" << "" << "550000000400f0011854" << 5 << full
                                           << QPoint(20, 0) << none;
    }
    void slotButtons()
    {
        QFETCH(QString, button);
        QFETCH(QString, typed);
        QFETCH(QString, device);
        QFETCH(int, slot);
        QFETCH(QSize, size);
        QFETCH(QPoint, at);
        QFETCH(QStringList, log);
        auto &emulated = EmulatedDevice::instance();
        emulated.profile().imageSlots.insert(5, {320, 240, 0x54});
        QVERIFY(pattern(30, 20).save("imageformats/page4.bmp", "bmp"));
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        const int row = button.mid(11).toInt() - 13;   // toolButton_14 .. _18 take lineEdit_1 .. _5
        if (row >= 1)
            child<QLineEdit>(&window, qPrintable(QString("lineEdit_%1").arg(row)))->setText(typed);
        if (device == "open")
            QVERIFY(onDeviceThread(window.controller(), [](DeviceSession &session) { return session.open(); }));
        else if (device == "silent")
            emulated.setReplyFault(0x0B, EmulatedDevice::ReplyFault::NoReply);
        else if (device != "present")
            emulated.profile().rawReplies.insert(0x0B, QByteArray::fromHex(device.toLatin1()));
        emulated.setPresent(device != "absent");
        window.showDeviceStatus(false);
        emulated.clearRecord();
        child<QToolButton>(&window, qPrintable(button))->click();
        QVERIFY(waitForDeviceIdle(window.controller()));

        QCOMPARE(emulated.count(EmulatedDevice::Exchange::Open), device == "open" ? 0 : 1);
        QVERIFY(showsPicture(child<QToolButton>(&window, "toolButton"),
                             device == "absent" ? "imageformats/USB_OFF.jpg" : "imageformats/USB_ON.jpg"));
        QCOMPARE(logMessages(&window), log);
        editDlg *editor = newestEditor();
        if (size.isEmpty()) {
            QVERIFY(!editor);
            return;
        }
        const QByteArray query = QByteArray::fromHex("00553f720b") + char(slot) + QByteArray(58, '\0');
        QCOMPARE(emulated.writtenReports(), QVector<QByteArray>{query});
        // The reply is waited for up to 3000 ms, in slices that end as soon as it came.
        int waited = 0;
        for (const EmulatedDevice::Exchange &e : emulated.record())
            if (e.kind == EmulatedDevice::Exchange::Read)
                waited += e.timeoutMs;
        if (device == "silent")
            QCOMPARE(waited, 3000);
        else
            QVERIFY(waited > 0 && waited <= 3000);
        // The device stays open for the upload.
        QCOMPARE(emulated.openHandleCount(), 1);
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(editor->pos(), window.mapToGlobal(child<QWidget>(&window, "widget_8")->pos() + QPoint(175, 35)));
        QCOMPARE(child<QLabel>(editor, "label")->text(),
                 QString("槽 %1 — %2×%3").arg(slot).arg(size.width()).arg(size.height()));
        QCOMPARE(child<QLabel>(editor, "label_4")->text(),
                 QString("IMAGE SIZE：%1x%2").arg(size.width()).arg(size.height()));
        auto *picture = child<QPushButton>(editor, "pushButton");
        QCOMPARE(picture->geometry(), QRect(at, size));
        QCOMPARE(picture->iconSize(), size);
        QCOMPARE(editor->picture().toImage().convertToFormat(QImage::Format_RGB32),
                 slot == 4 ? pattern(30, 20) : QImage());
        QVERIFY(!child<QToolButton>(editor, "toolButton_4")->isVisible());
        QVERIFY(!child<QRadioButton>(editor, "radioButton")->isVisible());
    }

    // A number box takes what the slot byte can carry, as it is typed; its
    // button works only while the box names a slot. Text set around the
    // validator opens nothing either.
    void slotNumberBox_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("bypass");   // setText instead of keys
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("slot");      // 0: button off, nothing opens
        QTest::newRow("7") << "7" << false << "7" << 7;
        QTest::newRow("255") << "255" << false << "255" << 255;
        QTest::newRow("256 stops at 25") << "256" << false << "25" << 25;
        QTest::newRow("1000 stops at 100") << "1000" << false << "100" << 100;
        QTest::newRow("letters between digits") << "1a2" << false << "12" << 12;
        QTest::newRow("sign and space") << "-+ 9" << false << "9" << 9;
        QTest::newRow("letters only") << "ab" << false << "" << 0;
        QTest::newRow("zero") << "0" << false << "" << 0;
        QTest::newRow("leading zero") << "07" << false << "7" << 7;
        QTest::newRow("set: letters") << "ab" << true << "ab" << 0;
        QTest::newRow("set: 300") << "300" << true << "300" << 0;
        QTest::newRow("set: 42") << "42" << true << "42" << 42;
    }
    void slotNumberBox()
    {
        QFETCH(QString, typed);
        QFETCH(bool, bypass);
        QFETCH(QString, shown);
        QFETCH(int, slot);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        auto &emulated = EmulatedDevice::instance();
        for (int row = 1; row <= 5; ++row) {
            auto *box = child<QLineEdit>(&window, qPrintable(QString("lineEdit_%1").arg(row)));
            auto *button = child<QToolButton>(&window, qPrintable(QString("toolButton_%1").arg(row + 13)));
            // Each box has its label, and starts empty with its button off.
            const auto labels = window.findChildren<QLabel *>();
            QVERIFY(std::any_of(labels.begin(), labels.end(),
                                [box](QLabel *label) { return label->buddy() == box && !label->text().isEmpty(); }));
            QVERIFY(!button->isEnabled());
            if (bypass)
                box->setText(typed);
            else
                QTest::keyClicks(box, typed);
            QCOMPARE(box->text(), shown);
            QCOMPARE(button->isEnabled(), slot != 0);

            emulated.clearRecord();
            QPointer<editDlg> before = newestEditor();
            // A click on a disabled button reaches nothing; the handler must refuse too.
            QMetaObject::invokeMethod(&window, qPrintable(QString("on_toolButton_%1_clicked").arg(row + 13)));
            QVERIFY(waitForDeviceIdle(window.controller()));
            if (slot == 0) {
                QVERIFY(emulated.writtenReports().isEmpty());
                QCOMPARE(newestEditor(), before.data());
                continue;
            }
            QCOMPARE(emulated.writtenReports().value(0).left(6),
                     QByteArray::fromHex("00553f720b") + char(quint8(slot)));
            QVERIFY(newestEditor() && newestEditor() != before);
            QCOMPARE(child<QLabel>(newestEditor(), "label")->text().section(' ', 1, 1), QString::number(slot));
            newestEditor()->close();
        }
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
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        window.openSlotEditor(2, QString());
        QVERIFY(waitForDeviceIdle(window.controller()));
        QPointer<editDlg> older = newestEditor();
        window.openSlotEditor(3, QString());
        QVERIFY(waitForDeviceIdle(window.controller()));
        QPointer<editDlg> newer = newestEditor();
        QVERIFY(older && newer && older != newer);

        QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);
        QVERIFY(newer && !newer->isVisible());
        QVERIFY(waitForDeviceIdle(window.controller()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!newer);
        QVERIFY(older && older->isVisible());
        if (button == "m_btn_Upgtade") {
            // UPLOAD opens slot 4 straight away.
            QVERIFY(newestEditor() && newestEditor() != older && newestEditor()->isVisible());
            QCOMPARE(EmulatedDevice::instance().writtenReports().last().left(6), QByteArray::fromHex("00553f720b04"));
        }
    }

    void thumbnailsShowSlotsOneToTen()
    {
        for (int slot = 1; slot <= 10; ++slot)
            QVERIFY(pattern(8, 8 * slot).save(QString("imageformats/page%1.bmp").arg(slot), "bmp"));
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.findChild<QLineEdit *>("lineEdit_1")->setText("7");
        window.refreshSlotIcons();
        for (int slot = 1; slot <= 10; ++slot)
            QVERIFY2(showsPicture(child<QPushButton>(&window, ThumbnailButtons[slot - 1]),
                                  QString("imageformats/page%1.bmp").arg(slot)),
                     ThumbnailButtons[slot - 1]);
    }
};

QTEST_MAIN(TestSlotPage)
#include "tst_slotpage.moc"
