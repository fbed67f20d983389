// UPLOAD against the emulated device: the colour, boot-animation and one-bit
// transfers as the device receives them, the missing acknowledgement, and
// the failures the upload has to survive.

#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "imagetests.h"
#include "images/editdlg.h"
#include "images/imagestream.h"
#include "testsupport.h"

#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using emu::EmulatedDevice;
using namespace imagetest;
using namespace testsupport;

namespace {

const QString Busy = QStringLiteral("设备忙，请等待当前操作完成");
const QString Failed = QStringLiteral("发送图片失败，传输已中止");
const QString NotSaved = QStringLiteral("图片文件无法保存，发送当前显示的图片");

// Opens the slot as the program does (slot query, device left open) and
// gives the editor a known picture.
editDlg *openEditor(MainWindow &window, int slot, const QImage &picture)
{
    window.openSlotEditor(slot, QString());
    auto *editor = qobject_cast<editDlg *>(openImageEditor.data());
    if (editor && !picture.isNull())
        editor->setPicture(QPixmap::fromImage(picture));
    return editor;
}

void upload(editDlg *editor)
{
    QTest::mouseClick(editor->findChild<QToolButton *>("toolButton_9"), Qt::LeftButton);
}

// White where red, green or blue is above 128.
QImage monoOf(const QImage &picture)
{
    QImage mono(picture.size(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            mono.setPixel(x, y, qMax(qMax(qRed(p), qGreen(p)), qBlue(p)) > 128 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    return mono;
}

int progress(MainWindow &window)
{
    return child<QProgressBar>(&window, "progressBar_img4")->value();
}

QStringList counterLines(int n)
{
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines << QString::number(i);
    return lines;
}

} // namespace

class TestImageUpload : public QObject
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

    // What the device receives for each kind of screen and slot, and what the window shows after.
    void transfers_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("screenType");
        QTest::addColumn<int>("reports");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<int>("dataLines");
        QTest::addColumn<int>("finalProgress");
        QTest::addColumn<QString>("thumbnail");
        QTest::newRow("colour, slot 4") << 4 << QSize(240, 280) << 0x54 << 3736
                                        << QByteArray::fromHex("00553f770c360104000001 08") << 3734 << 100
                                        << "pushButton_11";
        QTest::newRow("boot animation") << 1 << QSize(240, 40) << 0x54 << 13336
                                        << QByteArray::fromHex("00553f770d360101000000 08") << 13334 << 100
                                        << "pushButton_8";
        // 128 = 0x0080 and 64 = 0x0040: of their low bytes only bits 0-3 travel, all zero.
        QTest::newRow("one-bit 128x64") << 2 << QSize(128, 64) << 0x00 << 20
                                        << QByteArray::fromHex("00553f770d360102000000 00") << 18 << 2
                                        << "pushButton_9";
    }
    void transfers()
    {
        QFETCH(int, slot);
        QFETCH(QSize, size);
        QFETCH(int, screenType);
        QFETCH(int, reports);
        QFETCH(QByteArray, start);
        QFETCH(int, dataLines);
        QFETCH(int, finalProgress);
        QFETCH(QString, thumbnail);
        auto &device = EmulatedDevice::instance();
        device.profile().imageSlots.insert(slot, {quint16(size.width()), quint16(size.height()), quint8(screenType)});
        MainWindow window;
        const QImage picture = pattern(size.width(), size.height());
        editDlg *editor = openEditor(window, slot, picture);
        device.clearRecord();
        const int logStart = logMessages(&window).size();
        upload(editor);

        const QVector<QByteArray> received = device.imageReports();
        QCOMPARE(received.size(), reports);
        QCOMPARE(received.first(), start + QByteArray(52, '\0'));
        QCOMPARE(received.last()[6], char(0x03));
        const QByteArray stream = dataStream(received);
        if (screenType != 0x54)
            QCOMPARE(decodeMono(stream, size.width(), size.height()), monoOf(picture));
        else if (slot == 1)
            QCOMPARE(decodeColour(stream.mid(24 * 9600 * 3), 240, 40),
                     bootAnimationFrame(picture, 24).convertToFormat(QImage::Format_RGB32));
        else
            QCOMPARE(decodeColour(stream, size.width(), size.height()), picture);

        QCOMPARE(logMessages(&window).mid(logStart), QStringList({"发送图片--开始", "已收到回复"}) + counterLines(dataLines)
                                                  + QStringList{"发送图片--结束"});
        QCOMPARE(progress(window), finalProgress);
        // The handle the slot query left open carries the upload and is closed after it.
        QCOMPARE(device.count(EmulatedDevice::Exchange::Open), 0);
        QCOMPARE(device.openHandleCount(), 0);
        QCOMPARE(QImage(QString("imageformats/page%1.bmp").arg(slot)).convertToFormat(QImage::Format_RGB32), picture);
        QVERIFY(showsPicture(child<QPushButton>(&window, qPrintable(thumbnail)),
                             QString("imageformats/page%1.bmp").arg(slot)));
    }

    // Colour transfers stop and leave the device open; a one-bit screen gets the picture anyway.
    void noAcknowledgement_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("screenType");
        QTest::addColumn<int>("reports");
        QTest::addColumn<int>("openHandles");
        QTest::newRow("colour") << 4 << 0x54 << 1 << 1;
        QTest::newRow("boot animation") << 1 << 0x54 << 1 << 1;
        QTest::newRow("one-bit") << 3 << 0x00 << 1 + 155 + 1 << 0;   // 240 x 280: 35 bands of 240 columns
    }
    void noAcknowledgement()
    {
        QFETCH(int, slot);
        QFETCH(int, screenType);
        QFETCH(int, reports);
        QFETCH(int, openHandles);
        auto &device = EmulatedDevice::instance();
        const auto geometry = device.profile().imageSlots.value(slot);
        device.profile().imageSlots.insert(slot, {geometry.width, geometry.height, quint8(screenType)});
        device.setReplyFault(0x0C, EmulatedDevice::ReplyFault::NoReply);
        device.setReplyFault(0x0D, EmulatedDevice::ReplyFault::NoReply);
        MainWindow window;
        editDlg *editor = openEditor(window, slot, pattern(geometry.width, geometry.height));
        upload(editor);
        QCOMPARE(device.imageReports().size(), reports);
        QCOMPARE(device.openHandleCount(), openHandles);
        QVERIFY(logMessages(&window).contains("读取超时！"));
        QCOMPARE(progress(window), 2);
    }

    void noDevice()
    {
        MainWindow window;
        editDlg *editor = openEditor(window, 4, pattern(240, 280));
        auto &device = EmulatedDevice::instance();
        hid_close(window.deviceHandle());
        window.deviceHandle() = nullptr;
        device.setPresent(false);
        upload(editor);
        QVERIFY(device.imageReports().isEmpty());
        QCOMPARE(logMessages(&window).last(), QString("设备离线"));
        QCOMPARE(progress(window), 2);
        QVERIFY(QFile::exists("imageformats/page4.bmp"));
    }

    // The slot file cannot always be kept; the device still gets the picture shown.
    void slotFileTrouble_data()
    {
        QTest::addColumn<bool>("folderMissing");
        QTest::addColumn<bool>("fileBlocked");
        QTest::addColumn<int>("notSavedLines");
        QTest::newRow("folder missing") << true << false << 0;
        QTest::newRow("file cannot be written") << false << true << 1;
    }
    void slotFileTrouble()
    {
        QFETCH(bool, folderMissing);
        QFETCH(bool, fileBlocked);
        QFETCH(int, notSavedLines);
        MainWindow window;
        const QImage picture = pattern(240, 280);
        editDlg *editor = openEditor(window, 4, picture);
        if (folderMissing)
            QVERIFY(QDir("imageformats").removeRecursively());
        if (fileBlocked)
            QVERIFY(QDir().mkpath("imageformats/page4.bmp"));   // a folder where the file should go
        upload(editor);
        QCOMPARE(logMessages(&window).count(NotSaved), notSavedLines);
        QCOMPARE(decodeColour(dataStream(EmulatedDevice::instance().imageReports()), 240, 280), picture);
        QCOMPARE(progress(window), 100);
        QVERIFY(QFileInfo::exists("imageformats/page4.bmp"));
    }

    void emptyPictureIsNotSent()
    {
        MainWindow window;
        editDlg *editor = openEditor(window, 4, QImage());
        QVERIFY(editor->picture().isNull());
        window.setImageProgress(37);
        auto &device = EmulatedDevice::instance();
        device.clearRecord();
        const int logStart = logMessages(&window).size();
        upload(editor);
        QCOMPARE(logMessages(&window).mid(logStart).size(), 1);
        QCOMPARE(device.count(EmulatedDevice::Exchange::Write), 0);
        QCOMPARE(progress(window), 37);
        QVERIFY(!QFileInfo::exists("imageformats/page4.bmp"));
    }

    // A report that cannot be written ends the transfer there, and it is not called a success.
    void writeFailure_data()
    {
        QTest::addColumn<int>("failingReport");   // 0 start, 1.. data, 3735 end
        QTest::addColumn<bool>("unplug");
        QTest::newRow("start report") << 0 << false;
        QTest::newRow("data report") << 101 << false;
        QTest::newRow("end report") << 3735 << false;
        QTest::newRow("unplugged mid-transfer") << 50 << true;
    }
    void writeFailure()
    {
        QFETCH(int, failingReport);
        QFETCH(bool, unplug);
        MainWindow window;
        editDlg *editor = openEditor(window, 4, pattern(240, 280));
        auto &device = EmulatedDevice::instance();
        const int writesBefore = device.count(EmulatedDevice::Exchange::Write);
        if (unplug)
            device.unplugAfterWrites(writesBefore + failingReport);
        else
            device.failWritesAt({writesBefore + failingReport});
        const int logStart = logMessages(&window).size();
        upload(editor);

        QCOMPARE(device.writtenReports().size(), writesBefore + failingReport + 1);
        const QStringList log = logMessages(&window).mid(logStart);
        QCOMPARE(log.count(Failed), 1);
        QCOMPARE(log.last(), Failed);
        QVERIFY(!log.contains("发送图片--结束"));
        QVERIFY(progress(window) < 100);
        QCOMPARE(device.openHandleCount(), 0);
        QVERIFY(!window.deviceHandle());
    }

    void secondUploadIsRefused()
    {
        MainWindow window;
        editDlg *other = openEditor(window, 2, pattern(240, 280));
        editDlg *editor = openEditor(window, 4, pattern(240, 280));
        QTimer::singleShot(0, other, [other] { upload(other); });
        upload(editor);
        QCOMPARE(logMessages(&window).count(Busy), 1);
        const QVector<QByteArray> reports = EmulatedDevice::instance().imageReports();
        QCOMPARE(reports.size(), 3736);
        QCOMPARE(quint8(reports.first()[7]), quint8(4));
    }

    // An editor closed during its own upload lets the upload finish and goes afterwards.
    void closedDuringItsUpload_data()
    {
        QTest::addColumn<bool>("byNavigation");
        QTest::newRow("DEVICE button") << true;
        QTest::newRow("own close button") << false;
    }
    void closedDuringItsUpload()
    {
        QFETCH(bool, byNavigation);
        MainWindow window;
        QPointer<editDlg> editor = openEditor(window, 4, pattern(240, 280));
        QTimer::singleShot(0, &window, [&] {
            if (byNavigation)
                QTest::mouseClick(window.findChild<QPushButton *>("m_btn_Devices"), Qt::LeftButton);
            else
                QTest::mouseClick(editor->findChild<QToolButton *>("toolButton"), Qt::LeftButton);
            // Deletion requests are carried out here if they are going to be.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
        upload(editor);
        QVERIFY(editor && !editor->isVisible());
        QCOMPARE(EmulatedDevice::instance().imageReports().size(), 3736);
        QCOMPARE(logMessages(&window).last(), QString("发送图片--结束"));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!editor);
    }
};

QTEST_MAIN(TestImageUpload)
#include "tst_imageupload.moc"
