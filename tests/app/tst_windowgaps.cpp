// The window keeps handling events while the device makes it wait: the longest
// time between two turns of its event loop, with the emulated device silent
// (real time-outs) or stuck in a write, in each place a user meets one.

#include "app/mainwindow.h"
#include "app/dialogpointers.h"
#include "app/stucknotice.h"
#include "editors/editdlg.h"
#include "emulator/emulateddevice.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QToolButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;

namespace {

EmulatedDevice &device() { return EmulatedDevice::instance(); }

// The longest gap, in ms, between two turns of the event loop over durationMs.
qint64 longestGap(int durationMs)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    QTimer turn;
    turn.setInterval(0);
    QObject::connect(&turn, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = qMax(longest, now - last);
        last = now;
    });
    QEventLoop loop;
    QTimer::singleShot(durationMs, &loop, &QEventLoop::quit);
    turn.start();
    loop.exec();
    return longest;
}

// Sanitizer builds run everything several times slower.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr qint64 LongestAllowedMs = 250;
#else
constexpr qint64 LongestAllowedMs = 50;
#endif

} // namespace

class TestWindowGaps : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        device().reset();
        device().setTimeoutMode(EmulatedDevice::TimeoutMode::RealWait);
    }
    void cleanup()
    {
        device().releaseStall();
        device().reset();
    }

    void eventLoopKeepsTurning_data()
    {
        QTest::addColumn<QString>("when");
        QTest::newRow("start, the device silent") << "start";
        QTest::newRow("DEVICE, a write stuck") << "stalled write";
        QTest::newRow("slot query, the device silent") << "slot query";
        QTest::newRow("upload, no acknowledgement") << "upload";
    }
    void eventLoopKeepsTurning()
    {
        QFETCH(QString, when);
        std::unique_ptr<MainWindow> window;
        if (when == "start") {
            for (quint8 item = 0x04; item <= 0x07; ++item)
                device().setReplyFault(item, EmulatedDevice::ReplyFault::NoReply);
            window = std::make_unique<MainWindow>();
        } else {
            window = std::make_unique<MainWindow>();
            QVERIFY(testsupport::waitForDeviceIdle(window->controller()));
            if (when == "stalled write") {
                device().stallCallAt(Exchange::Write, device().count(Exchange::Write));
                QTest::mouseClick(testsupport::child<QPushButton>(window.get(), "m_btn_Devices"), Qt::LeftButton);
            } else if (when == "slot query") {
                device().setReplyFault(0x0B, EmulatedDevice::ReplyFault::NoReply);
                window->openSlotEditor(4, QStringLiteral("slot 4"));
            } else {
                window->openSlotEditor(4, QStringLiteral("slot 4"));
                QVERIFY(testsupport::waitForDeviceIdle(window->controller()));
                auto *editor = qobject_cast<editDlg *>(openImageEditor.data());
                QVERIFY(editor);
                QImage picture(240, 280, QImage::Format_RGB32);
                picture.fill(Qt::darkCyan);
                editor->setPicture(QPixmap::fromImage(picture));
                device().setReplyFault(0x0C, EmulatedDevice::ReplyFault::NoReply);
                QTest::mouseClick(editor->findChild<QToolButton *>("toolButton_9"), Qt::LeftButton);
            }
        }
        window->show();
        QVERIFY(window->controller().isBusy());
        const qint64 gap = longestGap(1000);
        qInfo("%s: longest gap between two event-loop turns %lld ms", qPrintable(when), gap);
        QVERIFY2(window->controller().isBusy(), "the device's wait outlasts the measurement");
        QVERIFY2(gap < LongestAllowedMs, qPrintable(QStringLiteral("longest gap %1 ms").arg(gap)));
        // The device stays stuck or silent: the window still closes.
        device().releaseStall();
        window->close();
        QTRY_VERIFY_WITH_TIMEOUT(!window->isVisible(), 2000);
    }

    // A write that never returns: the window names the device unresponsive,
    // stays usable, and closes without waiting for it once the user was told.
    void stuckDeviceIsNamedAndLeftBehind()
    {
        auto window = std::make_unique<MainWindow>();
        QVERIFY(testsupport::waitForDeviceIdle(window->controller()));
        window->controller().setStallGraceMs(200);
        window->show();
        int told = 0;
        setStuckDeviceNotice([&](QWidget *) { ++told; });
        device().stallCallAt(Exchange::Write, device().count(Exchange::Write));
        QTest::mouseClick(testsupport::child<QPushButton>(window.get(), "m_btn_Devices"), Qt::LeftButton);
        QTRY_COMPARE(window->controller().state(), DeviceState::Unresponsive);
        QCOMPARE(testsupport::logMessages(window.get()).last(), QStringLiteral("设备无响应：请拔下设备，再重新连接"));
        QVERIFY(longestGap(200) < LongestAllowedMs);
        QPointer<QThread> leftBehind = window->controller().deviceThread();
        QElapsedTimer closing;
        closing.start();
        window->close();
        QVERIFY(!window->isVisible());
        window.reset();
        QVERIFY2(closing.elapsed() < 1000, "the window waited for the stuck device");
        QCOMPARE(told, 1);
        setStuckDeviceNotice(nullptr);
        // Once the call returns, the thread left behind ends and goes by itself.
        device().releaseStall();
        QTRY_VERIFY(!leftBehind);
    }
};

QTEST_MAIN(TestWindowGaps)
#include "tst_windowgaps.moc"
