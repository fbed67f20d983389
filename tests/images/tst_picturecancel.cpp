// Cancel of the slot query and of the three picture transfers, from the
// window and from the editor (its CANCEL button and Esc): the device is held
// in a stalled write at a chosen report, the user cancels, and the record
// shows what went out. A stopped transfer sends no end report, leaves the bar
// at 0 and counts as nothing done: no slot file, no thumbnail, the picture
// still unsaved; the device is closed and the next upload goes through.

#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "imagetests.h"
#include "editors/editdlg.h"
#include "testsupport.h"

#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;
using namespace imagetest;
using namespace testsupport;

namespace {

EmulatedDevice &device() { return EmulatedDevice::instance(); }

// Image reports that are end reports (phase byte 0x03 after the item's header).
int endReports()
{
    int ends = 0;
    for (const QByteArray &report : device().imageReports())
        ends += report.size() > 6 && report[6] == char(0x03);
    return ends;
}

} // namespace

class TestPictureCancel : public QObject
{
    Q_OBJECT

    ScratchDirectory scratch;

private slots:
    void init()
    {
        scratchSettings();
        device().reset();
        device().profile().imageSlots.insert(7, {128, 64, 0x00});
        scratch.enter();
    }
    void cleanup()
    {
        device().releaseStall();
        scratch.leave();
        QCOMPARE(device().misuseCount(), 0);
    }

    // Cancelled while the slot query's request is stuck: no editor opens, and
    // the handle the query would have left open is closed.
    void slotQuery_data()
    {
        QTest::addColumn<int>("slot");
        QTest::newRow("colour slot") << 4;
        QTest::newRow("one-bit slot") << 7;
    }
    void slotQuery()
    {
        QFETCH(int, slot);
        MainWindow window;
        QVERIFY(waitForDeviceIdle(window.controller()));
        QVERIFY(waitForDeviceIdle(window.controller()));
        device().stallCallAt(Exchange::Write, device().count(Exchange::Write));
        window.openSlotEditor(slot, QString());
        QTRY_COMPARE(device().stalledCalls(), 1);
        QVERIFY(window.controller().cancel());
        device().releaseStall();
        QVERIFY(waitForDeviceIdle(window.controller()));

        QVERIFY(!openImageEditor);
        QCOMPARE(logMessages(&window).last(), QStringLiteral("已取消"));
        QCOMPARE(device().openHandleCount(), 0);
        // The next click opens the editor as ever.
        window.openSlotEditor(slot, QString());
        QVERIFY(waitForDeviceIdle(window.controller()));
        QVERIFY(openImageEditor);
    }

    // Each transfer stopped at its start report ("at once") or after some data
    // reports, by the CANCEL button or by Esc.
    void transfer_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("stalledReport");   // 0: the start report; n: data report n
        QTest::addColumn<QString>("how");         // "button" or "Esc"
        QTest::newRow("colour, at once") << 4 << 0 << "button";
        QTest::newRow("colour, after 40 data reports") << 4 << 41 << "button";
        QTest::newRow("colour, Esc after 3 data reports") << 4 << 4 << "Esc";
        QTest::newRow("boot animation, at once") << 1 << 0 << "button";
        QTest::newRow("boot animation, after 500 data reports") << 1 << 501 << "button";
        QTest::newRow("one-bit, at once") << 7 << 0 << "Esc";
        QTest::newRow("one-bit, after 10 data reports") << 7 << 11 << "button";
    }
    void transfer()
    {
        QFETCH(int, slot);
        QFETCH(int, stalledReport);
        QFETCH(QString, how);
        MainWindow window;
        QVERIFY(waitForDeviceIdle(window.controller()));
        window.openSlotEditor(slot, QString());
        QVERIFY(waitForDeviceIdle(window.controller()));
        QPointer<editDlg> editor = qobject_cast<editDlg *>(openImageEditor.data());
        QVERIFY(editor);
        const auto geometry = device().profile().imageSlots.value(slot);
        editor->setPicture(QPixmap::fromImage(pattern(geometry.width, geometry.height)));
        QTest::mouseClick(child<QToolButton>(editor, "toolButton_7"), Qt::LeftButton);   // an unsaved step
        auto *cancel = child<QToolButton>(editor, "cancelToolButton");
        QVERIFY(cancel->isHidden());
        QSignalSpy ended(editor.data(), &editDlg::uploadFinished);
        QSignalSpy saved(editor.data(), &editDlg::slotPictureSaved);

        device().stallCallAt(Exchange::Write, device().count(Exchange::Write) + stalledReport);
        QTest::mouseClick(child<QToolButton>(editor, "toolButton_9"), Qt::LeftButton);
        QTRY_COMPARE(device().stalledCalls(), 1);
        QVERIFY(editor->isUploading());
        QVERIFY(cancel->isVisible());
        if (how == "Esc")
            QTest::keyClick(editor, Qt::Key_Escape);
        else
            QTest::mouseClick(cancel, Qt::LeftButton);
        device().releaseStall();
        QVERIFY(waitForDeviceIdle(window.controller()));

        // The stalled report went through once released; nothing after it.
        QCOMPARE(device().imageReports().size(), stalledReport + 1);
        QCOMPARE(endReports(), 0);
        QCOMPARE(device().completedImageTransfers(), 0);
        QCOMPARE(device().openHandleCount(), 0);
        const QStringList log = logMessages(&window);
        QCOMPARE(log.last(), QStringLiteral("已取消"));
        QVERIFY(!log.contains(QStringLiteral("发送图片--结束")));
        QCOMPARE(child<QProgressBar>(&window, "progressBar_img4")->value(), 0);
        // Nothing counts as done; Esc stopped the transfer, not the editor.
        QCOMPARE(ended.size(), 1);
        QCOMPARE(ended.first(), (QVariantList{false, true}));
        QCOMPARE(saved.size(), 0);
        QVERIFY(!QFile::exists(QString("imageformats/page%1.bmp").arg(slot)));
        QVERIFY(editor && editor->isVisible());
        QVERIFY(editor->hasUnsavedChanges());
        QVERIFY(!editor->isUploading());
        QVERIFY(cancel->isHidden());

        // The next upload opens the device afresh and goes through.
        QTest::mouseClick(child<QToolButton>(editor, "toolButton_9"), Qt::LeftButton);
        QVERIFY(waitForDeviceIdle(window.controller()));
        QCOMPARE(device().completedImageTransfers(), 1);
        QCOMPARE(saved.size(), 1);
        QVERIFY(!editor->hasUnsavedChanges());
        QVERIFY(QFile::exists(QString("imageformats/page%1.bmp").arg(slot)));
    }

    // Esc with no transfer running closes the editor as its close button does.
    void escapeWithoutTransferCloses()
    {
        MainWindow window;
        QVERIFY(waitForDeviceIdle(window.controller()));
        window.openSlotEditor(4, QString());
        QVERIFY(waitForDeviceIdle(window.controller()));
        QPointer<editDlg> editor = qobject_cast<editDlg *>(openImageEditor.data());
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_Escape);
        QVERIFY(!editor || !editor->isVisible());
    }
};

QTEST_MAIN(TestPictureCancel)
#include "tst_picturecancel.moc"
