// The emulated device rebuilds the pictures it receives: colour, one-bit and the boot
// animation, from the reports as they reach it through hidapi.

#include "emulator/emulateddevice.h"
#include "imagetransfer.h"

#include <QtTest>

#include <hidapi.h>

using emu::EmulatedDevice;
using namespace imagetransfer;

namespace {

EmulatedDevice &device() { return EmulatedDevice::instance(); }
constexpr quint8 colourItem = 0x0C;
constexpr quint8 bootOrMonoItem = 0x0D;
constexpr quint8 oneBitScreen = 0x00;

void setSlot(int slot, int width, int height, quint8 screenType)
{
    device().profile().imageSlots.insert(slot, {quint16(width), quint16(height), screenType});
}

QVector<QImage> bootFrames(int seed)
{
    QVector<QImage> frames;
    for (int k = 0; k < 25; ++k)
        frames << pattern(240, 40, seed + k);
    return frames;
}

} // namespace

class TestImageReceiver : public QObject
{
    Q_OBJECT

    hid_device *handle = nullptr;

private slots:
    void init()
    {
        device().reset();
        setSlot(6, 36, 10, emu::ColourScreenType);   // 360 pixels: exactly 20 data reports
        setSlot(7, 20, 3, emu::ColourScreenType);
        handle = hid_open(0x0483, 0x5750, nullptr);
        QVERIFY(handle);
    }
    void cleanup()
    {
        hid_close(handle);
        QCOMPARE(device().misuseCount(), 0);
    }

    void colourPicture_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("dataReports");
        QTest::newRow("slot 4, 240 x 280, last report partly filled") << 4 << 240 << 280 << 3734;
        QTest::newRow("slot 6, pixel count divisible by 18") << 6 << 36 << 10 << 21;
        QTest::newRow("unlisted slot 9, default geometry") << 9 << 240 << 280 << 3734;
    }
    void colourPicture()
    {
        QFETCH(int, slot);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, dataReports);
        const QImage picture = pattern(width, height, slot);
        const QVector<QByteArray> reports = colourReports(colourItem, slot, width, height, {picture});
        QCOMPARE(reports.size(), dataReports + 2);
        write(handle, reports);

        QCOMPARE(device().slotPicture(slot), picture);
        QCOMPARE(device().completedImageTransfers(), 1);
        QVERIFY(device().bootAnimationFrames().isEmpty());
    }

    void oneBitPicture_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("128 x 64: 52 bytes in the end report") << 2 << 128 << 64;
        QTest::newRow("height not a multiple of 8") << 3 << 128 << 61;
        QTest::newRow("216 x 8: nothing left for the end report") << 5 << 216 << 8;
        QTest::newRow("slot 1 of a one-bit screen is a still picture") << 1 << 96 << 16;
    }
    void oneBitPicture()
    {
        QFETCH(int, slot);
        QFETCH(int, width);
        QFETCH(int, height);
        setSlot(slot, width, height, oneBitScreen);
        const QImage picture = oneBitPattern(width, height);
        write(handle, oneBitReports(slot, picture));

        QCOMPARE(device().slotPicture(slot), picture);
        QCOMPARE(device().completedImageTransfers(), 1);
        QVERIFY(device().bootAnimationFrames().isEmpty());
    }

    void bootAnimation()
    {
        const QVector<QImage> frames = bootFrames(3);
        const QVector<QByteArray> reports = colourReports(bootOrMonoItem, 1, 240, 40, frames);
        QCOMPARE(reports.size(), 13336);
        write(handle, reports);

        QCOMPARE(device().bootAnimationFrames(), frames);
        QVERIFY(device().slotPicture(1).isNull());
        QCOMPARE(device().completedImageTransfers(), 1);
    }

    // Only a transfer that reaches its end report replaces the slot's picture.
    void incompleteTransfers_data()
    {
        QTest::addColumn<QVector<QByteArray>>("reports");
        QTest::addColumn<QImage>("slot6");
        QTest::addColumn<int>("completed");
        const QImage first = pattern(36, 10, 1);
        const QVector<QByteArray> firstUpload = colourReports(colourItem, 6, 36, 10, {first});
        const QVector<QByteArray> secondUpload = colourReports(colourItem, 6, 36, 10, {pattern(36, 10, 2)});
        const QVector<QByteArray> otherSlot = colourReports(colourItem, 7, 20, 3, {pattern(20, 3)});
        QImage firstRowOnly(36, 10, QImage::Format_RGB32);
        firstRowOnly.fill(Qt::black);
        for (int x = 0; x < 36; ++x)
            firstRowOnly.setPixel(x, 0, first.pixel(x, 0));

        QTest::newRow("no end report") << firstUpload.mid(0, 21) << QImage() << 0;
        QTest::newRow("cut short by a new start") << firstUpload + secondUpload.mid(0, 10) + otherSlot
                                                  << first << 2;
        QTest::newRow("data after the end belongs to no transfer")
            << firstUpload + secondUpload.mid(1) << first << 1;
        QTest::newRow("too few data reports leave black")
            << (firstUpload.mid(0, 3) << firstUpload.last()) << firstRowOnly << 1;
    }
    void incompleteTransfers()
    {
        QFETCH(QVector<QByteArray>, reports);
        QFETCH(QImage, slot6);
        QFETCH(int, completed);
        write(handle, reports);
        QCOMPARE(device().slotPicture(6), slot6);
        QCOMPARE(device().completedImageTransfers(), completed);
    }

    // The listener runs once per completed transfer, free to ask the device for the picture.
    void listenerSeesEachCompletedTransfer()
    {
        QVector<QImage> seen;
        device().setScreenListener([&seen] { seen << device().slotPicture(7); });
        const QImage picture = pattern(20, 3, 4);
        const QVector<QByteArray> upload = colourReports(colourItem, 7, 20, 3, {picture});
        write(handle, upload.mid(0, 2));
        write(handle, upload);
        write(handle, upload);
        QCOMPARE(seen, QVector<QImage>({picture, picture}));

        device().reset();   // the old handle is gone with it
        setSlot(7, 20, 3, emu::ColourScreenType);
        handle = hid_open(0x0483, 0x5750, nullptr);
        write(handle, upload);
        QCOMPARE(seen.size(), 2);   // reset turned the listener off
        QCOMPARE(device().completedImageTransfers(), 1);
    }
};

QTEST_GUILESS_MAIN(TestImageReceiver)
#include "tst_imagereceiver.moc"
