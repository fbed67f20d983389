// The virtual device window shows what the emulated screen received.

#include "emulator/emulateddevice.h"
#include "emulator/window/virtualscreen.h"
#include "imagetransfer.h"

#include <QLabel>
#include <QtTest>

#include <hidapi.h>

using emu::EmulatedDevice;
using namespace imagetransfer;

class TestVirtualScreen : public QObject
{
    Q_OBJECT

    hid_device *handle = nullptr;

    static QImage screenPixels(emu::VirtualScreen &screen)
    {
        const auto *label = screen.findChild<QLabel *>(QStringLiteral("screenLabel"));
        return label->pixmap(Qt::ReturnByValue).toImage().convertToFormat(QImage::Format_RGB32);
    }

private slots:
    void init()
    {
        EmulatedDevice::instance().reset();
        handle = hid_open(0x0483, 0x5750, nullptr);
        QVERIFY(handle);
    }
    void cleanup() { hid_close(handle); }

    void showsTheLastSlotPicture()
    {
        const QImage before = pattern(240, 280, 1);
        write(handle, colourReports(0x0C, 4, 240, 280, {before}));   // already there: not news
        emu::VirtualScreen screen;
        QVERIFY(screen.shownImage().isNull());

        const QImage picture = pattern(240, 280, 2);
        write(handle, colourReports(0x0C, 3, 240, 280, {picture}));
        QCOMPARE(screen.shownImage(), picture);
        QCOMPARE(screenPixels(screen), picture);
        QVERIFY(screen.caption().contains(QLatin1String("Slot 3")));

        write(handle, colourReports(0x0C, 4, 240, 280, {before}));   // same picture again
        QCOMPARE(screen.shownImage(), before);
        QVERIFY(screen.caption().contains(QLatin1String("Slot 4")));
    }

    void playsTheBootAnimationAndHoldsTheLastFrame()
    {
        emu::VirtualScreen screen;
        QVector<QImage> frames;
        for (int k = 0; k < 25; ++k)
            frames << pattern(240, 40, k);
        write(handle, colourReports(0x0D, 1, 240, 40, frames));
        QCOMPARE(screen.shownImage(), frames.first());

        QTRY_COMPARE_WITH_TIMEOUT(screen.shownImage(), frames.last(), 25 * 80 * 3);
        QTest::qWait(3 * emu::VirtualScreen::frameIntervalMs);
        QCOMPARE(screen.shownImage(), frames.last());
        QVERIFY(screen.caption().contains(QLatin1String("25 of 25")));
    }
};

QTEST_MAIN(TestVirtualScreen)
#include "tst_virtualscreen.moc"
