// Service mode: every page within reach, the log pane, a visible result for
// every action, and questions before anything is flashed. Without it the
// window starts exactly as always.

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
#include "device/deviceactivity.h"
#include "emulator/emulateddevice.h"
#include "firmware/firmwarefilechooser.h"
#include "settings/my_spinbox.h"
#include "testsupport.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <optional>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;
using namespace testsupport;

namespace {

EmulatedDevice &device()
{
    return EmulatedDevice::instance();
}

// Answers the next message box with button; a test never waits on one.
void answerNextMessageBox(QMessageBox::StandardButton button, QString *text = nullptr)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, button, text] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            if (text)
                *text = box->text();
            box->button(button)->click();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

QString status(QWidget *window)
{
    return child<QLabel>(window, "serviceStatusLabel")->toolTip();
}

void click(QWidget *window, const char *name)
{
    child<QAbstractButton>(window, name)->click();
}

} // namespace

class TestServiceMode : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString firmwareFile(const QByteArray &model)
    {
        QByteArray file = model.leftJustified(48, '\0', true);
        for (int i = 48; i < 1000; ++i)
            file += char((i * 37 + 140) & 0xFF);
        const QString path = dir.filePath(QString::fromLatin1(model) + ".bin");
        QFile out(path);
        out.open(QIODevice::WriteOnly);
        out.write(file);
        return path;
    }

    void chooseFirmware(MainWindow &window, const QString &path)
    {
        setFirmwareFileChooser([path](QWidget *) { return path; });
        click(&window, "openFirmwareFilePushButton");
        setFirmwareFileChooser({});
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { device().reset(); }

    void defaultStartUnchanged()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QVERIFY(!window.isServiceMode());
        QVERIFY(!window.findChild<QPushButton *>("serviceDevicesButton"));
        QCOMPARE(child<QStackedWidget>(&window, "stackedWidget")->currentIndex(), 0);
        QVERIFY(child<QPushButton>(&window, "upgradeFirmwarePushButton")->isHidden());
        QVERIFY(child<QTextBrowser>(&window, "logTextBrowser")->isHidden());
        QCOMPARE(window.windowTitle(), QString());
    }

    void buttonsReachEveryPage_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("productPanel");
        QTest::newRow("devices") << "serviceDevicesButton" << 0 << true;
        QTest::newRow("firmware") << "serviceFirmwareButton" << 1 << true;
        QTest::newRow("settings") << "serviceSettingsButton" << 2 << false;
        QTest::newRow("slots") << "serviceSlotsButton" << 3 << true;
    }
    void buttonsReachEveryPage()
    {
        QFETCH(QString, button);
        QFETCH(int, page);
        QFETCH(bool, productPanel);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        window.setServiceMode(true);
        QCOMPARE(window.windowTitle(), QStringLiteral("Tessel Control — 服务模式"));
        QVERIFY(child<QTextBrowser>(&window, "logTextBrowser")->isVisible());
        QVERIFY(!child<QPushButton>(&window, "upgradeFirmwarePushButton")->isHidden());
        for (const char *name : {"serviceDevicesButton", "serviceLogButton", "m_btn_Devices", "m_btn_Settings"})
            QVERIFY(child<QWidget>(&window, name)->focusPolicy() & Qt::TabFocus);
        click(&window, qPrintable(button));
        QCOMPARE(child<QStackedWidget>(&window, "stackedWidget")->currentIndex(), page);
        QCOMPARE(child<QWidget>(&window, "widget_13")->isVisible(), productPanel && page == 2);
        QVERIFY(child<QTextBrowser>(&window, "logTextBrowser")->isVisible());
        click(&window, "serviceLogButton");
        QVERIFY(child<QTextBrowser>(&window, "logTextBrowser")->isHidden());

        // Ctrl+Shift+S leaves service mode: back to the default navigation.
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!window.isServiceMode());
        QCOMPARE(child<QStackedWidget>(&window, "stackedWidget")->currentIndex(), 0);
        QVERIFY(!child<QWidget>(&window, "widget_13")->isHidden());
        QVERIFY(child<QTextBrowser>(&window, "logTextBrowser")->isHidden());
        QVERIFY(child<QWidget>(&window, "serviceBar")->isHidden());
        QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(window.isServiceMode());
    }

    // The row of buttons lies on the title strip as it is: between and around
    // the buttons the strip's own picture shows, not a squeezed copy of it.
    void serviceRowShowsTheTitleStripBehindIt()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage plain = window.grab().toImage();
        window.setServiceMode(true);
        QWidget *bar = child<QWidget>(&window, "serviceBar");
        QWidget *first = child<QWidget>(&window, "serviceDevicesButton");
        QWidget *second = child<QWidget>(&window, "serviceFirmwareButton");
        const QImage shown = window.grab().toImage();
        const int gapX = (first->geometry().right() + second->geometry().left()) / 2;
        int differing = 0;
        for (int y = 0; y < bar->height(); ++y) {
            const QPoint at = bar->mapTo(&window, QPoint(gapX, y));
            differing += shown.pixel(at) != plain.pixel(at);
        }
        QCOMPARE(differing, 0);
    }

    void logPaneFollowsNewLines()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        window.setServiceMode(true);
        for (int i = 0; i < 300; ++i)
            window.appendLog(QString::number(i));
        QScrollBar *bar = child<QTextBrowser>(&window, "logTextBrowser")->verticalScrollBar();
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), bar->maximum());
    }

    // Each action leaves a result in the status text until the next one.
    void statusAfterEachAction_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("expected");
        QTest::newRow("settings written") << "settings" << "设置已写入设备";
        QTest::newRow("settings, device offline") << "settings offline" << "设备离线";
        QTest::newRow("settings, refused cell") << "settings refused" << "未写入：";
        QTest::newRow("settings, device busy") << "settings busy" << "设备忙，请等待当前操作完成";
        QTest::newRow("settings out of range, declined") << "settings range no" << "未写入：设置超出设备范围";
        QTest::newRow("settings out of range, accepted") << "settings range yes" << "设置已写入设备";
        QTest::newRow("curve written") << "curve" << "曲线 M1 已写入设备";
        QTest::newRow("device read") << "devices" << "设备信息已读取";
    }
    void statusAfterEachAction()
    {
        QFETCH(QString, action);
        QFETCH(QString, expected);
        // Ranges unknown unless the row is about them: no question then.
        if (!action.startsWith("settings range"))
            device().profile().powerHigh = 0;
        // Another device action, as the controller's shared guard sees it.
        DeviceActivity otherAction;
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        window.setServiceMode(true);
        click(&window, "serviceSettingsButton");
        std::optional<DeviceActionGuard> running;
        const QList<my_spinbox *> boxes = window.findChildren<my_spinbox *>();
        if (action == "settings offline")
            device().setPresent(false);
        if (action == "settings refused")
            child<QLineEdit>(boxes.first(), "lineEdit")->setText("70000");
        if (action == "settings busy")
        {
            window.controller().setSharedActivity(&otherAction);
            running.emplace(otherAction);
        }
        if (action.startsWith("settings range")) {
            // The table's zeros lie below the device's 5 W: marked, and asked about.
            QCOMPARE(boxes.first()->toolTip(), QStringLiteral("PWR 功率设定（W）：0，设备范围 5–80 W"));
            QString question;
            answerNextMessageBox(action.endsWith("yes") ? QMessageBox::Yes : QMessageBox::No, &question);
            const int writes = device().count(Exchange::Write);
            click(&window, "toolButton_2");
            QVERIFY(waitForDeviceIdle(window.controller()));
            QVERIFY(question.contains("NI200 温度设定（°C）：0，设备范围 100–316 °C"));
            QCOMPARE(device().count(Exchange::Write) > writes, action.endsWith("yes"));
        } else if (action.startsWith("settings")) {
            click(&window, "toolButton_2");
            QVERIFY(waitForDeviceIdle(window.controller()));
        } else if (action == "curve") {
            click(&window, "toolButton_8");
            QVERIFY(waitForDeviceIdle(window.controller()));
            QVERIFY(openCurveDialog);
            click(openCurveDialog, "toolButton_2");
            QVERIFY(waitForDeviceIdle(window.controller()));
            openCurveDialog->close();
        } else {
            click(&window, "serviceDevicesButton");
        }
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QVERIFY2(status(&window).startsWith(expected), qPrintable(status(&window)));
        QCOMPARE(boxes.first()->toolTip().startsWith("PWR") && !action.startsWith("settings range"),
                 action == "settings refused");
    }

    // Before the erase the user sees the file and the device, and says yes.
    void upgradeAsksFirst_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("accepted") << true;
        QTest::newRow("declined") << false;
    }
    void upgradeAsksFirst()
    {
        QFETCH(bool, accept);
        const QString path = firmwareFile("VELTRA-MINI");
        // Today's upgrade without service mode: the reports to compare with.
        QVector<QByteArray> expected;
        {
            MainWindow plain;
            QVERIFY(testsupport::waitForDeviceIdle(plain.controller()));
            chooseFirmware(plain, path);
            device().clearRecord();
            click(&plain, "pushButton");
            QVERIFY(waitForDeviceIdle(plain.controller()));
            expected = device().writtenReports();
        }
        device().reset();
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.setServiceMode(true);
        chooseFirmware(window, path);
        QVERIFY2(child<QLabel>(&window, "label_3_file_inf")->text().contains("与设备一致"),
                 qPrintable(child<QLabel>(&window, "label_3_file_inf")->text()));
        device().clearRecord();
        QString question;
        answerNextMessageBox(accept ? QMessageBox::Yes : QMessageBox::No, &question);
        click(&window, "pushButton");
        // The backup is offered back as soon as the upgrade has ended.
        QString offer;
        if (accept)
            answerNextMessageBox(QMessageBox::No, &offer);
        QVERIFY(waitForDeviceIdle(window.controller()));
        QVERIFY(question.contains("VELTRA-MINI.bin") && question.contains("1000 字节") && question.contains("20 个数据块"));
        if (accept) {
            // Besides the backup's five curve reads before the erase, today's reports.
            QVector<QByteArray> sent = device().writtenReports();
            const int curveReads = int(std::count_if(sent.begin(), sent.end(), [](const QByteArray &r) {
                return r.size() > 4 && quint8(r[1]) == 0x55 && r[3] == 'r' && r[4] == 0x0A;
            }));
            QCOMPARE(curveReads, 5);
            sent.erase(std::remove_if(sent.begin(), sent.end(), [](const QByteArray &r) {
                           return r.size() > 4 && quint8(r[1]) == 0x55 && r[3] == 'r' && r[4] == 0x0A;
                       }), sent.end());
            QCOMPARE(sent, expected);
            // Service mode says what the device runs now that it is back.
            QVERIFY2(status(&window).startsWith("升级完成：设备现在运行 V1.0.2"), qPrintable(status(&window)));
            // The backup holds the device's five curves and is offered back.
            const QString line = logMessages(&window).filter("已备份功率曲线和设置：").value(0);
            const QString backup = line.mid(line.indexOf(QStringLiteral("：")) + 1);
            QFile file(backup);
            QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(backup));
            const QByteArray json = file.readAll();
            QVERIFY(json.contains("\"M5\"") && json.contains("\"format\": \"tessel-profile\""));
            QTRY_VERIFY(offer.contains(backup));
        } else {
            QCOMPARE(device().count(Exchange::Write), 0);
            QCOMPARE(device().count(Exchange::Open), 0);
        }
    }

    // Esc closes the curve dialog and the image editor like their close buttons.
    void escapeClosesDialogs()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.setServiceMode(true);
        click(&window, "serviceSettingsButton");
        click(&window, "toolButton_8");
        QVERIFY(waitForDeviceIdle(window.controller()));
        QPointer<QDialog> curves = openCurveDialog;
        window.openSlotEditor(4, QString());
        QVERIFY(waitForDeviceIdle(window.controller()));
        QPointer<QDialog> editor = openImageEditor;
        QVERIFY(curves && editor);
        for (QDialog *dialog : {curves.data(), editor.data()})
            QTest::keyClick(dialog, Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!curves && !editor);
    }

    // The Upgrade page's two buttons say what they do; the write stage alone
    // waits for a file; the file line names the real reason a file is refused
    // (the default start keeps its own text); a new choice clears the last result.
    void upgradePage_data()
    {
        QTest::addColumn<bool>("service");
        QTest::addColumn<QString>("fileKind");   // none, good, empty, folder, png
        QTest::addColumn<bool>("writeEnabled");
        QTest::addColumn<QString>("info");
        QTest::newRow("service, no file") << true << "none" << false << "";
        QTest::newRow("service, good file") << true << "good" << true << "文件大小：0.98 kB，型号 VELTRA-MINI（与设备一致）";
        QTest::newRow("service, empty") << true << "empty" << false << "固件文件为空";
        QTest::newRow("service, folder") << true << "folder" << false << "固件文件不是普通文件";
        QTest::newRow("service, picture") << true << "png" << false << "不是固件文件：这是 PNG 图片";
        QTest::newRow("default, empty") << false << "empty" << true << "不支持中文路径！";
        QTest::newRow("default, picture") << false << "png" << true << "不是固件文件：这是 PNG 图片";
    }
    void upgradePage()
    {
        QFETCH(bool, service);
        QFETCH(QString, fileKind);
        QFETCH(bool, writeEnabled);
        QFETCH(QString, info);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.setServiceMode(service);
        auto *write = child<QPushButton>(&window, "upgradeFirmwarePushButton");
        auto *start = child<QPushButton>(&window, "pushButton");
        QCOMPARE(write->text(), service ? QStringLiteral("升级固件（仅写入）") : QStringLiteral("升级固件"));
        QCOMPARE(write->toolTip().contains("Bootloader"), service);
        QCOMPARE(start->toolTip().contains("擦除"), service);
        click(&window, "pushButton_2");   // refresh: a result in the service row
        QVERIFY(waitForDeviceIdle(window.controller()));
        if (service)
            QCOMPARE(status(&window), QStringLiteral("刷新！"));
        const QString path = dir.filePath("page-" + fileKind);
        if (fileKind == "good")
            QVERIFY(QFile::copy(firmwareFile("VELTRA-MINI"), path));
        if (fileKind == "folder")
            QVERIFY(QDir().mkpath(path));
        if (fileKind == "empty" || fileKind == "png") {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(fileKind == "png" ? QByteArray("\x89PNG\r\n\x1a\n").leftJustified(500, 'x') : QByteArray());
        }
        if (fileKind != "none")
            chooseFirmware(window, path);
        QCOMPARE(write->isEnabled(), writeEnabled);
        QCOMPARE(child<QLabel>(&window, "label_3_file_inf")->text(), info);
        QCOMPARE(start->isEnabled(), fileKind == "good");
        if (service && fileKind != "none")
            QCOMPARE(status(&window), QString());
        window.setServiceMode(false);
        QCOMPARE(write->text(), QStringLiteral("升级固件"));
        QVERIFY(write->toolTip().isEmpty() && start->toolTip().isEmpty());
    }

    // Declining the write stage alone sends the model query and nothing else.
    void writeStageDeclined()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.setServiceMode(true);
        chooseFirmware(window, firmwareFile("VELTRA-MINI"));
        device().enterBootloader();
        device().clearRecord();
        QString question;
        answerNextMessageBox(QMessageBox::No, &question);
        click(&window, "upgradeFirmwarePushButton");
        QVERIFY(waitForDeviceIdle(window.controller()));
        QVERIFY2(question.contains("Bootloader") && question.contains("VELTRA-MINI"), qPrintable(question));
        const QVector<QByteArray> sent = device().writtenReports();
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent.first().left(5), QByteArray::fromHex("00553f7204"));
        QCOMPARE(child<QLabel>(&window, "label_4_updata_sta")->text(), QStringLiteral("固件已打开"));
    }
};

QTEST_MAIN(TestServiceMode)
#include "tst_servicemode.moc"
