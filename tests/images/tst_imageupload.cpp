// UPLOAD against the emulated device: the reports of the colour, boot-animation
// and one-bit transfers, the pictures the device rebuilds from them (and the
// editor's device view of them), and the failures the upload has to survive.

#include "app/mainwindow.h"
#include "device/devicelink.h"
#include "emulator/emulateddevice.h"
#include "imagetests.h"
#include "images/devicepreview.h"
#include "editors/editdlg.h"
#include "images/picturefilechooser.h"
#include "testsupport.h"

#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using emu::EmulatedDevice;
using namespace imagetest;
using namespace testsupport;

namespace {

// Opens the slot as the program does (slot query, device left open) and
// gives the editor a known picture.
editDlg *openEditor(MainWindow &window, int slot, const QImage &picture)
{
    window.openSlotEditor(slot, QString());
    waitForDeviceIdle(window.controller());
    auto *editor = qobject_cast<editDlg *>(openImageEditor.data());
    if (editor && !picture.isNull())
        editor->setPicture(QPixmap::fromImage(picture));
    return editor;
}

void clickUpload(editDlg *editor)
{
    QTest::mouseClick(editor->findChild<QToolButton *>("toolButton_9"), Qt::LeftButton);
}

// UPLOAD, and the transfer's end on the device thread.
void upload(MainWindow &window, editDlg *editor)
{
    clickUpload(editor);
    QVERIFY(waitForDeviceIdle(window.controller()));
}

QList<int> span(int from, int to, int step = 1)
{
    QList<int> values;
    for (int v = from; v <= to; v += step)
        values << v;
    return values;
}

// Boot animation frame k: the picture scaled to (130 + 5k) x (15 + k), centred
// on the 240 x 40 strip at its top and dimmed by k * 0.03 + 0.28.
QImage bootFrame(const QImage &picture, int k)
{
    const int width = 130 + 5 * k;
    const int left = (240 - width) / 2;
    const double brightness = k * 0.03 + 0.28;
    const QImage scaled = picture.scaled(width, 15 + k, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QImage frame(240, 40, QImage::Format_RGB32);
    frame.fill(Qt::black);
    for (int r = 0; r < scaled.height(); ++r)
        for (int i = qMax(0, left); i < qMin(240, left + width); ++i) {
            const QRgb p = scaled.pixel(i - left, r);
            frame.setPixel(i, r, qRgb(int(qRed(p) * brightness), int(qGreen(p) * brightness),
                                      int(qBlue(p) * brightness)));
        }
    return frame;
}

// Shades from black to white across, and a little down: dithering shows on it.
QImage gradient(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int v = qMin(255, x * 255 / qMax(1, width - 1) + y);
            picture.setPixel(x, y, qRgb(v, v / 2 + 60, 255 - v));
        }
    return picture;
}

} // namespace

class TestImageUpload : public QObject
{
    Q_OBJECT

    ScratchDirectory scratch;

private slots:
    void init()
    {
        scratchSettings();
        EmulatedDevice::instance().reset();
        scratch.enter();
    }
    void cleanup()
    {
        scratch.leave();
        QCOMPARE(EmulatedDevice::instance().misuseCount(), 0);
    }

    void transfers_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("screenType");
        QTest::addColumn<QSize>("slotSize");     // the device's geometry for the slot
        QTest::addColumn<QImage>("picture");     // what the editor shows
        QTest::addColumn<int>("dataReports");
        QTest::addColumn<int>("carried");        // data bytes the last carrying report sets
        QTest::addColumn<QByteArray>("start");   // of the low size bytes only bits 0-3 travel
        QTest::addColumn<QList<int>>("progress");
        const auto hex = [](const char *text) { return QByteArray::fromHex(text); };
        const QList<int> small{2, 4, 99, 100};
        QTest::newRow("colour 240x280") << 4 << 0x54 << QSize(240, 280) << pattern(240, 280) << 3734 << 18
                                        << hex("00553f770c360104000001 08")
                                        << QList<int>{2} + span(4, 86) + QList<int>{99, 100};
        QTest::newRow("colour, pixels divisible by 18") << 2 << 0x54 << QSize(9, 4) << pattern(9, 4) << 3 << 0
                                                        << hex("00553f770c360102000900 04") << small;
        QTest::newRow("colour, wider and shorter than the slot") << 3 << 0x54 << QSize(10, 5) << pattern(12, 3) << 3
                                                                 << 42 << hex("00553f770c360103000a00 05")
                                                                 << QList<int>{2, 4, 5, 99, 100};
        QTest::newRow("colour, fewer pixels than a report") << 5 << 0x54 << QSize(2, 2) << pattern(2, 2) << 1 << 12
                                                            << hex("00553f770c360105000200 02") << small;
        QTest::newRow("boot animation") << 1 << 0x54 << QSize(240, 40) << pattern(240, 40) << 13334 << 18
                                        << hex("00553f770d360101000000 08") << span(2, 2) + span(4, 100, 4);
        QTest::newRow("one-bit 128x64") << 2 << 0x00 << QSize(128, 64) << thresholdPattern(128, 64) << 18 << 52
                                        << hex("00553f770d360102000000 00") << QList<int>{2};
        // The device shows a whole band: the rows below the picture must arrive dark.
        QTest::newRow("one-bit, height not a multiple of 8") << 3 << 0x01 << QSize(30, 16) << thresholdPattern(30, 11)
                                                             << 1 << 6 << hex("00553f770d360103000e00 00")
                                                             << QList<int>{2};
        QTest::newRow("one-bit, exactly one report") << 2 << 0x00 << QSize(54, 8) << thresholdPattern(54, 8) << 1 << 0
                                                     << hex("00553f770d360102000600 08") << QList<int>{2};
    }
    void transfers()
    {
        QFETCH(int, slot);
        QFETCH(int, screenType);
        QFETCH(QSize, slotSize);
        QFETCH(QImage, picture);
        QFETCH(int, dataReports);
        QFETCH(int, carried);
        QFETCH(QByteArray, start);
        QFETCH(QList<int>, progress);
        auto &device = EmulatedDevice::instance();
        device.profile().imageSlots.insert(
            slot, {quint16(slotSize.width()), quint16(slotSize.height()), quint8(screenType)});
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        editDlg *editor = openEditor(window, slot, picture);
        QSignalSpy bar(child<QProgressBar>(&window, "progressBar_img4"), &QProgressBar::valueChanged);
        device.clearRecord();
        const int logStart = logMessages(&window).size();
        upload(window, editor);

        // One block serves the whole transfer: start, data reports, end.
        const QVector<QByteArray> received = device.imageReports();
        QCOMPARE(received.size(), dataReports + 2);
        QCOMPARE(received.first(), start + QByteArray(52, '\0'));
        for (int i = 1; i < received.size(); ++i) {
            QCOMPARE(received[i].left(7), start.left(6) + char(i <= dataReports ? 0x02 : 0x03));
            QCOMPARE(received[i].mid(61), QByteArray(3, '\0'));
        }
        // The last bytes travel over what the report before left: in one more data
        // report on a colour screen (repeated by the end report), in the end report on a one-bit one.
        const bool colour = screenType == 0x54;
        const int carrier = colour ? dataReports : dataReports + 1;
        QCOMPARE(received[carrier].mid(7 + carried, 54 - carried),
                 received[carrier - 1].mid(7 + carried, 54 - carried));
        if (colour)
            QCOMPARE(received.last().mid(7), received[carrier].mid(7));

        // The device shows what the editor showed: within the slot's geometry, black beyond the picture.
        QCOMPARE(device.completedImageTransfers(), 1);
        const QImage screen = colour ? picture : thresholdPattern(picture.width(), picture.height(), true);
        if (colour && slot == 1) {
            QCOMPARE(device.bootAnimationFrames().size(), 25);
            for (int k = 0; k < 25; ++k)
                QCOMPARE(device.bootAnimationFrames().at(k), bootFrame(picture, k));
        } else {
            QCOMPARE(device.slotPicture(slot), screen.copy(QRect(QPoint(), slotSize)));
        }

        QStringList log{"发送图片--开始", "已收到回复"};
        for (int i = 0; i < dataReports; ++i)
            log << QString::number(i);
        QCOMPARE(logMessages(&window).mid(logStart), log << "发送图片--结束");
        QList<int> shown;
        for (const QList<QVariant> &change : bar)
            shown << change.first().toInt();
        // Steps may be left out; the first and the last are always shown.
        QVERIFY2(isThinnedOut(shown, progress), qPrintable(QString::number(shown.size())));
        QCOMPARE(shown.first(), progress.first());
        QCOMPARE(shown.last(), progress.last());
        // The handle the slot query left open carries the upload and is closed after it.
        QCOMPARE(device.count(EmulatedDevice::Exchange::Open), 0);
        QCOMPARE(device.openHandleCount(), 0);
        const QString file = QString("imageformats/page%1.bmp").arg(slot);
        QCOMPARE(QImage(file).convertToFormat(QImage::Format_RGB32), picture);
        QVERIFY(showsPicture(child<QPushButton>(&window, ThumbnailButtons[slot - 1]), file));
    }

    // The device view shows what the device rebuilds from the reports, for every
    // conversion; the preview window shows it 1:1 and four times with the pixel edges.
    void deviceViewIsWhatArrives_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("screenType");
        QTest::addColumn<QSize>("slotSize");
        QTest::addColumn<QImage>("picture");
        QTest::addColumn<int>("dithering");   // 0 threshold, 1 Floyd-Steinberg
        QTest::addColumn<bool>("invert");
        QTest::newRow("colour") << 4 << 0x54 << QSize(240, 280) << gradient(240, 280) << 0 << false;
        QTest::newRow("colour, smaller than the slot") << 3 << 0x54 << QSize(10, 5) << pattern(12, 3) << 0 << false;
        QTest::newRow("boot animation") << 1 << 0x54 << QSize(240, 40) << gradient(240, 40) << 0 << false;
        QTest::newRow("threshold") << 2 << 0x00 << QSize(128, 64) << gradient(128, 64) << 0 << false;
        QTest::newRow("threshold, inverted") << 2 << 0x00 << QSize(128, 64) << gradient(128, 64) << 0 << true;
        QTest::newRow("floyd-steinberg") << 2 << 0x00 << QSize(128, 64) << gradient(128, 64) << 1 << false;
        QTest::newRow("floyd-steinberg, inverted") << 2 << 0x00 << QSize(128, 64) << gradient(128, 64) << 1 << true;
        QTest::newRow("floyd-steinberg, 11 rows") << 3 << 0x01 << QSize(30, 16) << gradient(30, 11) << 1 << false;
    }
    void deviceViewIsWhatArrives()
    {
        QFETCH(int, slot);
        QFETCH(int, screenType);
        QFETCH(QSize, slotSize);
        QFETCH(QImage, picture);
        QFETCH(int, dithering);
        QFETCH(bool, invert);
        auto &device = EmulatedDevice::instance();
        device.profile().imageSlots.insert(
            slot, {quint16(slotSize.width()), quint16(slotSize.height()), quint8(screenType)});
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        editDlg *editor = openEditor(window, slot, picture);
        if (screenType != 0x54) {
            child<QComboBox>(editor, "ditheringComboBox")->setCurrentIndex(dithering);
            child<QCheckBox>(editor, "invertCheckBox")->setChecked(invert);
        }
        child<QToolButton>(editor, "previewToolButton")->setChecked(true);
        const QImage view = editor->deviceView();
        DevicePreview *preview = editor->devicePreview();
        QVERIFY(preview && preview->isVisible());
        QCOMPARE(preview->shownPicture(), view);
        QCOMPARE(iconImage(child<QPushButton>(editor, "pushButton")->icon(), view.size()),
                 iconImage(QIcon(QPixmap::fromImage(view)), view.size()));
        // Four times the size; a pixel's inside keeps its colour, its right and bottom edges are greyed.
        const QImage large = DevicePreview::magnified(view);
        QCOMPARE(large.size(), view.size() * 4);
        const QRgb p = view.pixel(1, 1);
        QCOMPARE(large.pixel(5, 5), p);
        QCOMPARE(large.pixel(7, 5), qRgb((qRed(p) + 128) / 2, (qGreen(p) + 128) / 2, (qBlue(p) + 128) / 2));
        QCOMPARE(large.pixel(5, 7), large.pixel(7, 5));

        upload(window, editor);
        QCOMPARE(device.completedImageTransfers(), 1);
        if (screenType == 0x54 && slot == 1) {
            QCOMPARE(editor->bootAnimationView(), device.bootAnimationFrames());
            QCOMPARE(view, device.bootAnimationFrames().last());
            // PLAY shows the frames one by one and keeps the last.
            QTest::mouseClick(child<QToolButton>(editor, "playToolButton"), Qt::LeftButton);
            QVERIFY(preview->isPlaying());
            QCOMPARE(preview->shownPicture(), device.bootAnimationFrames().first());
            QTRY_VERIFY_WITH_TIMEOUT(!preview->isPlaying(), 5000);
            QCOMPARE(preview->shownPicture(), view);
            return;
        }
        QCOMPARE(view.size(), screenType == 0x54 ? slotSize : picture.size());
        const QImage arrived = device.slotPicture(slot);
        QCOMPARE(view, arrived.copy(QRect(QPoint(), view.size())));
    }

    // With the first choices (stretch, threshold) ADD sends exactly what ADD always sent.
    void addSendsWhatItAlwaysSent_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("screenType");
        QTest::addColumn<QSize>("slotSize");
        QTest::addColumn<int>("format");
        QTest::newRow("colour, palette bmp") << 4 << 0x54 << QSize(240, 280) << int(QImage::Format_Indexed8);
        QTest::newRow("colour, png") << 4 << 0x54 << QSize(240, 280) << int(QImage::Format_RGB32);
        QTest::newRow("boot strip") << 1 << 0x54 << QSize(240, 40) << int(QImage::Format_RGB32);
        QTest::newRow("one-bit") << 2 << 0x00 << QSize(128, 64) << int(QImage::Format_RGB32);
    }
    void addSendsWhatItAlwaysSent()
    {
        QFETCH(int, slot);
        QFETCH(int, screenType);
        QFETCH(QSize, slotSize);
        QFETCH(int, format);
        auto &device = EmulatedDevice::instance();
        device.profile().imageSlots.insert(
            slot, {quint16(slotSize.width()), quint16(slotSize.height()), quint8(screenType)});
        const QString file = format == QImage::Format_Indexed8 ? "chosen.bmp" : "chosen.png";
        QVERIFY(gradient(173, 91).convertToFormat(QImage::Format(format)).save(file));
        setPictureFileChooser([file](QWidget *) { return file; });
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QVector<QByteArray> sent[2];
        for (int way = 0; way < 2; ++way) {
            editDlg *editor = openEditor(window, slot, QImage());
            if (way == 0) {
                QTest::mouseClick(child<QToolButton>(editor, "toolButton_2"), Qt::LeftButton);
            } else {
                // ADD as it always was: the file as a pixmap, stretched fast to the slot (the boot strip on slot 1).
                const QSize target = slot == 1 ? QSize(240, 40) : slotSize;
                editor->setPicture(QPixmap(file).scaled(target, Qt::IgnoreAspectRatio, Qt::FastTransformation));
            }
            const int before = device.imageReports().size();
            upload(window, editor);
            sent[way] = device.imageReports().mid(before);
        }
        setPictureFileChooser(nullptr);
        QVERIFY(sent[0].size() > 2);
        QCOMPARE(sent[0], sent[1]);
    }

    // What may go wrong around an upload. Without an acknowledgement colour transfers stop and leave
    // the device open, a one-bit screen gets the picture anyway. Without a device or a picture nothing
    // is sent (an empty editor must not wipe the device's slot). A report that cannot be written ends
    // the transfer there, and it is not called a success. A missing or unwritable slot file does not
    // change what the device gets; a second upload meanwhile is refused, and an editor closed
    // meanwhile stops its upload (no end report, nothing kept) and goes only when it has ended.
    // The editor works out the slot file's form of its picture ahead of
    // UPLOAD; what goes is still the picture shown at the click, however
    // little time passed since it changed.
    void sendsThePictureShownAtTheClick_data()
    {
        QTest::addColumn<QString>("steps");   // after the first picture's form was worked out
        QTest::addColumn<QString>("shown");   // at the click: first, flipped or other
        QTest::newRow("unchanged") << "" << "first";
        QTest::newRow("flipped, no event pass before the click") << "flip" << "flipped";
        QTest::newRow("flip undone, no event pass before the click") << "flip wait undo" << "first";
        QTest::newRow("redone after an upload of the first") << "flip undo upload redo" << "flipped";
        QTest::newRow("another picture set") << "set" << "other";
    }
    void sendsThePictureShownAtTheClick()
    {
        QFETCH(QString, steps);
        QFETCH(QString, shown);
        auto &device = EmulatedDevice::instance();
        device.profile().imageSlots.insert(3, {10, 5, 0x54});
        MainWindow window;
        QVERIFY(waitForDeviceIdle(window.controller()));
        const QImage first = pattern(10, 5);
        const QMap<QString, QImage> pictures{
            {"first", first}, {"flipped", first.mirrored(true, false)}, {"other", gradient(10, 5)}};
        editDlg *editor = openEditor(window, 3, first);
        QVERIFY(editor);
        QCoreApplication::processEvents();   // the first picture's form is ready
        for (const QString &step : steps.split(' ', Qt::SkipEmptyParts)) {
            if (step == "flip")
                editor->findChild<QToolButton *>("toolButton_7")->click();
            else if (step == "set")
                editor->setPicture(QPixmap::fromImage(pictures["other"]));
            else if (step == "undo")
                editor->history().undo();
            else if (step == "redo")
                editor->history().redo();
            else if (step == "wait")
                QCoreApplication::processEvents();
            else
                upload(window, editor);
        }
        upload(window, editor);
        QCOMPARE(device.slotPicture(3), pictures[shown]);
        // The slot file holds the bytes a BMP writer gives for the picture, as it always did.
        QByteArray bmp;
        QBuffer buffer(&bmp);
        QVERIFY(buffer.open(QIODevice::WriteOnly) && QPixmap::fromImage(pictures[shown]).save(&buffer, "bmp"));
        QFile file("imageformats/page3.bmp");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bmp);
    }

    void troubles_data()
    {
        QTest::addColumn<QString>("trouble");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("screenType");
        QTest::addColumn<int>("reports");   // that reached the device; a failing one is the next; -1: not all
        QTest::addColumn<int>("openHandles");
        QTest::addColumn<QString>("line");   // logged once
        QTest::addColumn<bool>("completes");
        QTest::addColumn<int>("finalProgress");
        const QString timeout = QStringLiteral("读取超时！");
        const QString failed = QStringLiteral("发送图片失败，传输已中止");
        const QString end = QStringLiteral("发送图片--结束");
        QTest::newRow("colour, no acknowledgement") << "silent" << 4 << 0x54 << 1 << 1 << timeout << false << 0;
        QTest::newRow("boot animation, no acknowledgement") << "silent" << 1 << 0x54 << 1 << 1 << timeout << false << 0;
        // 240 x 280: 35 bands of 240 columns make 155 data reports.
        QTest::newRow("one-bit, no acknowledgement") << "silent" << 3 << 0x00 << 157 << 0 << timeout << true << 2;
        QTest::newRow("no device") << "absent" << 4 << 0x54 << 0 << 0 << "设备离线" << false << 0;
        QTest::newRow("empty picture") << "empty" << 4 << 0x54 << 0 << 1 << "没有图片，未发送" << false << 37;
        QTest::newRow("start report fails") << "fail" << 4 << 0x54 << 0 << 0 << failed << false << 0;
        QTest::newRow("data report 101 fails") << "fail" << 4 << 0x54 << 101 << 0 << failed << false << 0;
        QTest::newRow("end report fails") << "fail" << 4 << 0x54 << 3735 << 0 << failed << false << 0;
        QTest::newRow("unplugged after 50 reports") << "unplug" << 4 << 0x54 << 50 << 0 << failed << false << 0;
        QTest::newRow("imageformats missing") << "no folder" << 4 << 0x54 << 3736 << 0 << end << true << 100;
        QTest::newRow("slot file unwritable") << "blocked" << 4 << 0x54 << 3736 << 0
                                              << "图片文件无法保存，发送当前显示的图片" << true << 100;
        QTest::newRow("second upload meanwhile") << "second" << 4 << 0x54 << 3736 << 0
                                                 << "设备忙，请等待当前操作完成" << true << 100;
        QTest::newRow("editor closed meanwhile") << "closed" << 4 << 0x54 << -1 << 0 << "已取消" << false << 0;
    }
    void troubles()
    {
        QFETCH(QString, trouble);
        QFETCH(int, slot);
        QFETCH(int, screenType);
        QFETCH(int, reports);
        QFETCH(int, openHandles);
        QFETCH(QString, line);
        QFETCH(bool, completes);
        QFETCH(int, finalProgress);
        auto &device = EmulatedDevice::instance();
        const auto geometry = device.profile().imageSlots.value(slot);
        device.profile().imageSlots.insert(slot, {geometry.width, geometry.height, quint8(screenType)});
        if (trouble == "silent") {
            device.setReplyFault(0x0C, EmulatedDevice::ReplyFault::NoReply);
            device.setReplyFault(0x0D, EmulatedDevice::ReplyFault::NoReply);
        }
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        const QImage picture = trouble == "empty" ? QImage() : pattern(geometry.width, geometry.height);
        editDlg *other = trouble == "second" ? openEditor(window, 2, picture) : nullptr;
        QPointer<editDlg> editor = openEditor(window, slot, picture);
        const int writes = device.count(EmulatedDevice::Exchange::Write);
        if (trouble == "absent") {
            QVERIFY(onDeviceThread(window.controller(), [](DeviceSession &session) {
                session.close();
                return true;
            }));
            device.setPresent(false);
            // The window's watch would rightly see it gone; here only the upload is looked at.
            window.controller().stopPresenceWatch();
        } else if (trouble == "fail") {
            device.failWritesAt({writes + reports});
        } else if (trouble == "unplug") {
            device.unplugAfterWrites(writes + reports);
        } else if (trouble == "no folder" || trouble == "blocked") {
            QVERIFY(QDir("imageformats").removeRecursively());
            if (trouble == "blocked")
                QVERIFY(QDir().mkpath("imageformats/page4.bmp"));   // a folder where the file should go
        } else if (other) {
            QTimer::singleShot(0, other, [other] { clickUpload(other); });
        } else if (trouble == "closed") {
            // Slow enough that the close comes while the reports still go out.
            device.setLatencyMicros(200);
        }
        window.setImageProgress(37);
        clickUpload(editor);
        if (trouble == "closed") {
            QTest::mouseClick(child<QPushButton>(&window, "m_btn_Devices"), Qt::LeftButton);
            // Deletion requests are carried out here if they are going to be.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!editor || !editor->isVisible());
        }
        QVERIFY(waitForDeviceIdle(window.controller()));

        if (reports >= 0)
            QCOMPARE(device.imageReports().size(), reports);
        else
            QVERIFY(device.imageReports().size() < 3736);
        QCOMPARE(device.openHandleCount(), openHandles);
        QCOMPARE(holdsHandle(window.controller()), openHandles == 1);
        const QStringList log = logMessages(&window);
        QCOMPARE(log.count(line), 1);
        QCOMPARE(log.contains("发送图片--结束"), completes);
        QCOMPARE(device.completedImageTransfers(), int(completes));
        if (completes && screenType == 0x54)
            QCOMPARE(device.slotPicture(slot), picture);
        QCOMPARE(child<QProgressBar>(&window, "progressBar_img4")->value(), finalProgress);
        // The status icon belongs to the pages that query the device; the slot query set it.
        if (trouble == "absent")
            QVERIFY(showsPicture(child<QToolButton>(&window, "toolButton"), "imageformats/USB_ON.jpg"));
        // A stopped transfer keeps nothing: the slot file is written once a transfer has ended.
        QCOMPARE(QFileInfo::exists(QString("imageformats/page%1.bmp").arg(slot)), trouble != "empty" && trouble != "closed");
        if (trouble == "closed") {
            // Gone once its transfer had ended, which the wait above saw.
            QVERIFY(!editor || !editor->isVisible());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!editor);
        }
    }
};

QTEST_MAIN(TestImageUpload)
#include "tst_imageupload.moc"
