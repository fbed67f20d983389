// The virtual device window shows what the emulated screen received.

#include "emulator/emulateddevice.h"
#include "emulator/window/virtualscreen.h"
#include "emulator/window/windowplacement.h"
#include "imagetransfer.h"

#include <QLabel>
#include <QPushButton>
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

    // The cable: unplugging drops the program's handle, plugging back lets it open again.
    void plugToggle()
    {
        emu::VirtualScreen screen;
        auto *plug = screen.findChild<QPushButton *>(QStringLiteral("plugButton"));
        QCOMPARE(plug->text(), QStringLiteral("Unplug"));
        plug->click();
        QVERIFY(!EmulatedDevice::instance().isPresent());
        QCOMPARE(plug->text(), QStringLiteral("Plug in"));
        QVERIFY(!hid_open(0x0483, 0x5750, nullptr));
        plug->click();
        QVERIFY(EmulatedDevice::instance().isPresent());
        QCOMPARE(plug->text(), QStringLiteral("Unplug"));
    }

    // A 1000 x 605 main window and a 310 x 420 virtual device window on a few
    // screens. Where the screen has room the two never overlap; where it has
    // none, the main window's title strip (40 pixels) still shows.
    void placement_data()
    {
        QTest::addColumn<QRect>("room");
        QTest::addColumn<QPoint>("mainAt");
        QTest::addColumn<QPoint>("expected");
        QTest::addColumn<bool>("apart");
        const QRect fullHd(0, 0, 1920, 1080);
        QTest::newRow("room on the right") << fullHd << QPoint(100, 100) << QPoint(1116, 100) << true;
        QTest::newRow("room only on the left") << fullHd << QPoint(800, 100) << QPoint(474, 100) << true;
        QTest::newRow("beside, kept on the screen") << fullHd << QPoint(100, 700) << QPoint(1116, 660) << true;
        QTest::newRow("no side, room below") << QRect(0, 0, 1280, 1100) << QPoint(140, 0) << QPoint(140, 621) << true;
        QTest::newRow("no side, room above") << QRect(0, 0, 1280, 1100) << QPoint(140, 480) << QPoint(140, 44) << true;
        QTest::newRow("1280 x 800, main at the corner") << QRect(0, 0, 1280, 800) << QPoint(0, 0) << QPoint(970, 380)
                                                        << false;
        QTest::newRow("1280 x 800, main at the right") << QRect(0, 0, 1280, 800) << QPoint(280, 100)
                                                       << QPoint(0, 380) << false;
        QTest::newRow("screen lower than the window") << QRect(0, 0, 1024, 400) << QPoint(0, 0) << QPoint(714, 40)
                                                      << false;
    }
    void placement()
    {
        QFETCH(QRect, room);
        QFETCH(QPoint, mainAt);
        QFETCH(QPoint, expected);
        QFETCH(bool, apart);
        const QRect mainWindow(mainAt, QSize(1000, 605));
        const QSize size(310, 420);
        const QPoint at = emu::placeBeside(mainWindow, size, room, 40);
        QCOMPARE(at, expected);
        const QRect placed(at, size);
        QCOMPARE(!placed.intersects(mainWindow), apart);
        QVERIFY(!placed.intersects(QRect(mainWindow.topLeft(), QSize(mainWindow.width(), 40))));
    }
};

QTEST_MAIN(TestVirtualScreen)
#include "tst_virtualscreen.moc"
