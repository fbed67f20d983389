// The main window frame: log lines, dragging, side buttons, title bar,
// product pages, and device actions that must not overlap.

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
#include "app/productlinks.h"
#include "emulator/emulateddevice.h"
#include "testsupport.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTextBlock>
#include <QToolButton>
#include <QtTest>

using emu::EmulatedDevice;
using namespace testsupport;

namespace {

void sendMouse(QWidget *w, QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    const QPointF local = QPointF(global - w->pos());
    QMouseEvent event(type, local, local, QPointF(global), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &event);
}

// The two ways a user closes the window.
void addCloseWays()
{
    QTest::addColumn<bool>("byTitleButton");
    QTest::newRow("title-bar close") << true;
    QTest::newRow("window closed by the system") << false;
}

void silenceEveryItem()
{
    for (quint8 item = 0x04; item <= 0x07; ++item)
        EmulatedDevice::instance().setReplyFault(item, EmulatedDevice::ReplyFault::NoReply);
}

} // namespace

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { EmulatedDevice::instance().reset(); }
    void cleanup()
    {
        openCurveDialog = nullptr;
        openImageEditor = nullptr;
        QCOMPARE(EmulatedDevice::instance().misuseCount(), 0);
    }

    void logLineFormat()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        const QTime before = QTime::currentTime();
        window.appendLog(QStringLiteral("设备离线"));
        window.appendLog(QStringLiteral("second"));
        const QStringList lines = child<QTextBrowser>(&window, "logTextBrowser")->toPlainText().split('\n');
        QCOMPARE(lines.size(), 2);
        const QRegularExpression format(QStringLiteral("^  (\\d\\d):(\\d\\d):(\\d\\d):(\\d\\d\\d)   -->   设备离线$"));
        const auto match = format.match(lines[0]);
        QVERIFY2(match.hasMatch(), qPrintable(lines[0]));
        const QTime stamped(match.captured(1).toInt(), match.captured(2).toInt(), match.captured(3).toInt(),
                            match.captured(4).toInt());
        QVERIFY(qAbs(before.msecsTo(stamped)) < 5000);
        QVERIFY(lines[1].endsWith(QStringLiteral("   -->   second")));

        // Every character of the pane is drawn in the log colour.
        const QTextDocument *doc = child<QTextBrowser>(&window, "logTextBrowser")->document();
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                QCOMPARE(it.fragment().charFormat().foreground().color(), QColor(235, 235, 235, 255));
    }

    void drag_data()
    {
        QTest::addColumn<QPoint>("press");      // global position of the press
        QTest::addColumn<QPoint>("moveTo");     // global position of the move
        QTest::addColumn<bool>("buttonHeld");
        QTest::addColumn<bool>("releasedFirst");
        QTest::addColumn<QPoint>("expected");   // window position afterwards
        const QPoint start(300, 200);
        QTest::newRow("drag by (100, 50)") << QPoint(310, 210) << QPoint(410, 260) << true << false << QPoint(400, 250);
        // The Manhattan length of the target position is measured, not of the move.
        QTest::newRow("target at the distance stays") << QPoint(310, 210) << QPoint(15, 15) << true << false << start;
        QTest::newRow("target just past the distance") << QPoint(310, 210) << QPoint(15, 16) << true << false
                                                      << QPoint(5, 6);
        QTest::newRow("no button held") << QPoint(310, 210) << QPoint(410, 260) << false << false << start;
        QTest::newRow("after release") << QPoint(310, 210) << QPoint(410, 260) << true << true << start;
    }
    void drag()
    {
        QFETCH(QPoint, press);
        QFETCH(QPoint, moveTo);
        QFETCH(bool, buttonHeld);
        QFETCH(bool, releasedFirst);
        QFETCH(QPoint, expected);
        QCOMPARE(QApplication::startDragDistance(), 10);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.move(300, 200);
        sendMouse(&window, QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
        if (releasedFirst)
            sendMouse(&window, QEvent::MouseButtonRelease, press, Qt::LeftButton, Qt::NoButton);
        sendMouse(&window, QEvent::MouseMove, moveTo, Qt::NoButton, buttonHeld ? Qt::LeftButton : Qt::NoButton);
        QCOMPARE(window.pos(), expected);
    }

    void dragFollowsThePointerStepByStep()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.move(300, 200);
        sendMouse(&window, QEvent::MouseButtonPress, QPoint(320, 230), Qt::RightButton, Qt::RightButton);
        for (int step = 1; step <= 5; ++step)
            sendMouse(&window, QEvent::MouseMove, QPoint(320 + 7 * step, 230 - 3 * step), Qt::NoButton, Qt::RightButton);
        QCOMPARE(window.pos(), QPoint(335, 185));
    }

    void sideButtons_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("icons"); // Devices, Upload, Help, User
        QTest::newRow("DEVICE") << "m_btn_Devices" << 0
                                << QStringList{":/image/select_devices_on.jpg", ":/image/select_upgrade.jpg",
                                               ":/image/select_settings.jpg", ":/image/select_user.jpg"};
        QTest::newRow("UPLOAD keeps the page") << "m_btn_Upgtade" << 2
                                << QStringList{":/image/select_devices_off.jpg", ":/image/select_upgrade_on.jpg",
                                               ":/image/select_settings.jpg", ":/image/select_user.jpg"};
        QTest::newRow("HELP") << "m_btn_Settings" << 2
                              << QStringList{":/image/select_devices_off.jpg", ":/image/select_upgrade.jpg",
                                             ":/image/select_settings_on.jpg", ":/image/select_user.jpg"};
    }
    void sideButtons()
    {
        QFETCH(QString, button);
        QFETCH(int, page);
        QFETCH(QStringList, icons);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        auto *stack = child<QStackedWidget>(&window, "stackedWidget");
        stack->setCurrentIndex(2);
        QTest::mouseClick(window.findChild<QPushButton *>(button), Qt::LeftButton);
        QCOMPARE(stack->currentIndex(), page);
        const char *names[] = {"m_btn_Devices", "m_btn_Upgtade", "m_btn_Settings", "m_btn_User"};
        for (int i = 0; i < 4; ++i)
            QVERIFY2(showsPicture(child<QPushButton>(&window, names[i]), icons[i]), names[i]);
    }

    void startStateHidesUserButtonAndLog()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        QVERIFY(!child<QWidget>(&window, "m_btn_User")->isVisible());
        QVERIFY(!child<QWidget>(&window, "logTextBrowser")->isVisible());
        QVERIFY(child<QWidget>(&window, "m_btn_Devices")->isVisible());
        QVERIFY(window.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(child<QWidget>(&window, "widget_2")->autoFillBackground());
        // Upgrade page at rest until a firmware file is chosen.
        QCOMPARE(child<QLabel>(&window, "label_4_updata_sta")->text(), QStringLiteral("请打开固件"));
        QVERIFY(child<QLabel>(&window, "label_3_file_inf")->text().isEmpty());
        QVERIFY(!child<QPushButton>(&window, "pushButton")->isEnabled());
        QVERIFY(child<QWidget>(&window, "progressBar_updata")->isHidden());
        QVERIFY(child<QWidget>(&window, "upgradeFirmwarePushButton")->isHidden());
    }

    // HELP goes elsewhere: the handle the slot query left open for an upload
    // is closed, between jobs.
    void helpClosesAnOpenHandle()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QVERIFY(window.controller().startSlotQuery(4));
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QCOMPARE(EmulatedDevice::instance().openHandleCount(), 1);
        QTest::mouseClick(child<QPushButton>(&window, "m_btn_Settings"), Qt::LeftButton);
        QTRY_COMPARE(EmulatedDevice::instance().openHandleCount(), 0);
    }

    void closingClosesDialogsAndDevice_data()
    {
        addCloseWays();
    }
    void closingClosesDialogsAndDevice()
    {
        QFETCH(bool, byTitleButton);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        QDialog curve, editor;
        curve.show();
        editor.show();
        // A handle left open for an upload, as the slot query leaves it.
        QVERIFY(window.controller().startSlotQuery(4));
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        openCurveDialog = &curve;
        openImageEditor = &editor;
        if (byTitleButton)
            QTest::mouseClick(child<QToolButton>(&window, "toolButton_2_title_close"), Qt::LeftButton);
        else
            window.close();
        QVERIFY(!curve.isVisible());
        QVERIFY(!editor.isVisible());
        QVERIFY(!window.isVisible());
        QTRY_COMPARE(EmulatedDevice::instance().openHandleCount(), 0);
    }

    void productPages_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("address");
        QTest::newRow("device") << "toolButton_9" << QString(ProductLinks::DevicePage);
        QTest::newRow("tank") << "toolButton_20" << QString(ProductLinks::TankPage);
    }
    void productPages()
    {
        QFETCH(QString, button);
        QFETCH(QString, address);
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        auto *link = window.findChild<QToolButton *>(button);
        QVERIFY(link->text().contains(address));
        QTest::mouseClick(link, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QCOMPARE(catcher.urls, QList<QUrl>{QUrl(address)});
    }

    // A click while a device action runs does not start a second one on the
    // device; the first runs to its end.
    void secondActionIsRefusedWhileOneRuns()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        silenceEveryItem();
        auto &device = EmulatedDevice::instance();
        device.clearRecord();
        auto *devices = child<QPushButton>(&window, "m_btn_Devices");
        QTest::mouseClick(devices, Qt::LeftButton);
        QTest::mouseClick(devices, Qt::LeftButton);
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QCOMPARE(logMessages(&window),
                 QStringList({"设备忙，请等待当前操作完成", "Read timeout！", "Read timeout！", "Read timeout！",
                              "Read timeout！"}));
        QCOMPARE(device.count(EmulatedDevice::Exchange::Open), 1);
        QCOMPARE(device.count(EmulatedDevice::Exchange::Close), 1);
        QCOMPARE(device.openHandleCount(), 0);
    }

    // The navigation goes on while the device is read; the read keeps its handle.
    void helpDuringAnActionLeavesItsHandle()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        silenceEveryItem();
        auto &device = EmulatedDevice::instance();
        device.clearRecord();
        QMetaObject::invokeMethod(child<QPushButton>(&window, "m_btn_Settings"), "click", Qt::QueuedConnection);
        QTest::mouseClick(child<QPushButton>(&window, "m_btn_Devices"), Qt::LeftButton);
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        // All four items were asked on the one open handle, closed once.
        QCOMPARE(device.count(EmulatedDevice::Exchange::Write), 4);
        QCOMPARE(device.count(EmulatedDevice::Exchange::Close), 1);
        QCOMPARE(device.openHandleCount(), 0);
        QCOMPARE(child<QStackedWidget>(&window, "stackedWidget")->currentIndex(), 2);
    }

    // Closing while a silent device is read stops the read after the slice in
    // hand and closes the window then, not after the time-outs of every item.
    void closingCancelsTheRunningRead_data()
    {
        addCloseWays();
    }
    void closingCancelsTheRunningRead()
    {
        QFETCH(bool, byTitleButton);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        silenceEveryItem();
        auto &device = EmulatedDevice::instance();
        device.setTimeoutMode(EmulatedDevice::TimeoutMode::RealWait);
        device.clearRecord();
        QTest::mouseClick(child<QPushButton>(&window, "m_btn_Devices"), Qt::LeftButton);
        QTRY_VERIFY(device.count(EmulatedDevice::Exchange::Read) >= 1);
        if (byTitleButton)
            child<QToolButton>(&window, "toolButton_2_title_close")->click();
        else
            window.close();
        QTRY_VERIFY_WITH_TIMEOUT(!window.isVisible(), 1000);
        QVERIFY(!window.controller().isBusy());
        QCOMPARE(device.count(EmulatedDevice::Exchange::Write), 1);
        QCOMPARE(logMessages(&window).last(), QStringLiteral("已取消"));
        QCOMPARE(device.openHandleCount(), 0);
    }

    // While the device is busy the other device actions are held, saying why,
    // and the Cancel button is offered; what a page asked of a button meanwhile
    // holds once the device is free.
    void actionsWaitForTheDevice()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.setServiceMode(true);
        window.show();
        silenceEveryItem();
        EmulatedDevice::instance().setTimeoutMode(EmulatedDevice::TimeoutMode::RealWait);
        auto *refresh = child<QPushButton>(&window, "pushButton_2");
        auto *upgrade = child<QPushButton>(&window, "pushButton");
        auto *cancel = child<QPushButton>(&window, "cancelJobPushButton");
        const QString refreshTip = refresh->toolTip();
        QVERIFY(refresh->isEnabled() && !upgrade->isEnabled() && !cancel->isVisible());

        QTest::mouseClick(child<QPushButton>(&window, "m_btn_Devices"), Qt::LeftButton);
        QVERIFY(!refresh->isEnabled());
        QCOMPARE(refresh->toolTip(), QStringLiteral("设备正忙：读取设备信息"));
        QVERIFY(cancel->isVisible());
        upgrade->setEnabled(true);   // a firmware file chosen meanwhile
        QVERIFY(!upgrade->isEnabled());

        cancel->click();
        QVERIFY(testsupport::waitForDeviceIdle(window.controller(), 1000));
        QVERIFY(refresh->isEnabled() && upgrade->isEnabled() && !cancel->isVisible());
        QCOMPARE(refresh->toolTip(), refreshTip);
        QCOMPARE(logMessages(&window).last(), QStringLiteral("已取消"));
        QCOMPARE(child<QLabel>(&window, "lab_dev_name")->text(), QStringLiteral("VELTRA-MINI"));
    }

    // The side buttons light the page shown, whichever way it was reached.
    void navigationFollowsThePage_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("devicesLit");
        QTest::addColumn<bool>("helpLit");
        QTest::newRow("firmware") << "serviceFirmwareButton" << false << false;
        QTest::newRow("settings") << "serviceSettingsButton" << false << true;
        QTest::newRow("slots") << "serviceSlotsButton" << false << false;
        QTest::newRow("devices") << "serviceDevicesButton" << true << false;
        QTest::newRow("HELP, then service mode off") << "m_btn_Settings" << true << false;
    }
    void navigationFollowsThePage()
    {
        QFETCH(QString, button);
        QFETCH(bool, devicesLit);
        QFETCH(bool, helpLit);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.setServiceMode(true);
        child<QPushButton>(&window, qPrintable(button))->click();
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        if (button == "m_btn_Settings")
            window.setServiceMode(false);
        QCOMPARE(showsPicture(child<QPushButton>(&window, "m_btn_Devices"), ":/image/select_devices_on.jpg"),
                 devicesLit);
        QCOMPARE(showsPicture(child<QPushButton>(&window, "m_btn_Settings"), ":/image/select_settings_on.jpg"),
                 helpLit);
    }

    // The window starts on the Devices page and reads the device at once.
    void startUpWithoutDevice()
    {
        EmulatedDevice::instance().setPresent(false);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QCOMPARE(logMessages(&window), QStringList{"设备离线"});
        QVERIFY(showsPicture(child<QToolButton>(&window, "toolButton"), "imageformats/USB_OFF.jpg"));
        for (const char *name : {"lab_dev_name", "lab_dev_version", "lab_dev_size", "lab_dev_power", "lab_dev_wendu",
                                 "lab_dev_support"})
            QCOMPARE(child<QLabel>(&window, name)->text(), QStringLiteral("-"));
        QCOMPARE(EmulatedDevice::instance().count(EmulatedDevice::Exchange::Write), 0);
        QCOMPARE(child<QWidget>(&window, "stackedWidget")->property("currentIndex").toInt(), 0);
    }

    void devicesButtonClosesTheNewestEditor()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QDialog older, newer;
        older.show();
        newer.show();
        openImageEditor = &newer;
        QTest::mouseClick(child<QPushButton>(&window, "m_btn_Devices"), Qt::LeftButton);
        QVERIFY(older.isVisible());
        QVERIFY(!newer.isVisible());
        openImageEditor = nullptr;
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
