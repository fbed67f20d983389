// The firmware jobs on the device thread: the write stage's questions put to
// the window's thread and answered there, a controller that goes while one is
// open, closing the window during the erase and the write, and the page's bar
// after a failure and at a new start.

#include "app/mainwindow.h"
#include "control/devicecontroller.h"
#include "emulator/emulateddevice.h"
#include "firmware/firmwarefilechooser.h"
#include "testsupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using emu::EmulatedDevice;
using namespace testsupport;
using Firmware::UpgradeResult;

namespace {

EmulatedDevice &device() { return EmulatedDevice::instance(); }

// Writes before the first chunk of an upgrade from a new window: start-up
// query (4), model query, erase, probe.
constexpr int FirstChunkWrite = 7;

QByteArray firmwareFor(const QByteArray &name, int size)
{
    QByteArray file = name.leftJustified(48, '\0', true);
    for (int i = 48; i < size; ++i)
        file += char((i * 37 + 140) & 0xFF);
    return file.left(size);
}

// Read once the device thread is idle or gone: the record is shared with it.
int chunkCount()
{
    int chunks = 0;
    for (const QByteArray &report : device().bootloaderReports())
        chunks += report[1] == 0x01;
    return chunks;
}

} // namespace

class TestFirmwareThread : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    QString choose(MainWindow &window, int size = 1000)
    {
        const QString path = writeFile(QStringLiteral("fw%1.bin").arg(size), firmwareFor("VELTRA-MINI", size));
        setFirmwareFileChooser([path](QWidget *) { return path; });
        child<QPushButton>(&window, "openFirmwareFilePushButton")->click();
        setFirmwareFileChooser(nullptr);
        return path;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);   // the backups go to a scratch folder
        QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
        QCoreApplication::setApplicationName(QStringLiteral("Tessel Control thread tests"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("settings"));
    }
    void init()
    {
        device().reset();
        QSettings().clear();
    }
    void cleanup()
    {
        setFirmwareCloseQuestion(nullptr);
        QCOMPARE(device().openHandleCount(), 0);
        QCOMPARE(device().misuseCount(), 0);
    }

    // A receiver that turns the event loop (the log pane does, every few
    // lines) still gets the job's lines in the order they were logged.
    void linesKeepTheirOrder()
    {
        DeviceController controller;
        QStringList lines;
        connect(&controller, &DeviceController::logLine, this, [&](const QString &text) {
            lines << text;
            QThread::usleep(300);   // drawing it
            QCoreApplication::processEvents();
        });
        QStringList logged;
        for (int i = 0; i < 100; ++i)
            logged << QString::number(i);
        QVERIFY(controller.start(DeviceJob::Refresh, [logged](JobContext &job) {
            for (const QString &line : logged) {
                job.sink.log(line);
                QThread::usleep(100);
            }
            return JobResult{true, QVariant()};
        }, false));
        QVERIFY(waitForDeviceIdle(controller));
        QCOMPARE(lines, logged);
    }

    // The write stage alone asks on the controller's thread while the device
    // thread waits; only a yes writes, and no answerer at all is a no.
    void writeStageQuestions_data()
    {
        QTest::addColumn<QString>("state");    // application, bootloader, never read
        QTest::addColumn<QString>("answer");   // yes, no, unset
        QTest::addColumn<QString>("asked");    // which question came
        QTest::addColumn<int>("result");
        const int written = int(UpgradeResult::Written);
        const int declined = int(UpgradeResult::Declined);
        QTest::newRow("bootloader, yes") << "bootloader" << "yes" << "bootloader" << written;
        QTest::newRow("bootloader, no") << "bootloader" << "no" << "bootloader" << declined;
        QTest::newRow("bootloader, nobody asks") << "bootloader" << "unset" << "" << declined;
        QTest::newRow("never read, yes") << "never read" << "yes" << "bootloader" << written;
        QTest::newRow("never read, no") << "never read" << "no" << "bootloader" << declined;
        QTest::newRow("application, no") << "application" << "no" << "application" << declined;
        QTest::newRow("application, nobody asks") << "application" << "unset" << "" << declined;
    }
    void writeStageQuestions()
    {
        QFETCH(QString, state);
        QFETCH(QString, answer);
        QFETCH(QString, asked);
        QFETCH(int, result);
        const QString path = writeFile("alone.bin", firmwareFor("VELTRA-MINI", 1000));
        DeviceController controller;
        // A name query remembers the device, as the window's start-up query does.
        if (state != "never read") {
            QVERIFY(controller.startDeviceQuery());
            QVERIFY(waitForDeviceIdle(controller));
        }
        if (state != "application")
            device().enterBootloader();
        device().clearRecord();

        QStringList questions;
        bool onControllerThread = true;
        if (answer != "unset") {
            const bool yes = answer == "yes";
            FirmwareQuestions answerer;
            answerer.writeToApplication = [&, yes](const QString &model) {
                onControllerThread = onControllerThread && QThread::currentThread() == qApp->thread();
                questions << "application" + model;
                return yes;
            };
            answerer.writeToBootloader = [&, yes](const BootloaderTarget &target) {
                onControllerThread = onControllerThread && QThread::currentThread() == qApp->thread();
                questions << "bootloader" + target.fileModel;
                return yes;
            };
            controller.setFirmwareQuestions(answerer);
        }
        QVariant outcome;
        connect(&controller, &DeviceController::finished, this,
                [&](DeviceJob, bool, const QVariant &value) { outcome = value; });
        QVERIFY(controller.startFirmwareWriteAlone(path));
        QVERIFY(waitForDeviceIdle(controller));

        QCOMPARE(questions, asked.isEmpty() ? QStringList() : QStringList{asked + "VELTRA-MINI"});
        QVERIFY(onControllerThread);
        QCOMPARE(int(outcome.value<UpgradeResult>()), result);
        QCOMPARE(chunkCount(), result == int(UpgradeResult::Written) ? 20 : 0);
    }

    // The controller goes while its question is open (the window closed under
    // the dialog): the job hears No, writes nothing, and the thread ends at
    // once rather than after the shutdown's wait.
    void controllerGoesDuringQuestion()
    {
        const QString path = writeFile("alone.bin", firmwareFor("VELTRA-MINI", 1000));
        auto *controller = new DeviceController;
        device().enterBootloader();
        device().clearRecord();
        QPointer<QThread> thread = controller->deviceThread();
        int asked = 0;
        FirmwareQuestions answerer;
        answerer.writeToBootloader = [&](const BootloaderTarget &) {
            ++asked;
            QElapsedTimer clock;
            clock.start();
            delete controller;
            controller = nullptr;
            return clock.elapsed() < DeviceController::ShutdownWaitMs;   // yes, if it did not hang
        };
        controller->setFirmwareQuestions(answerer);
        QVERIFY(controller->startFirmwareWriteAlone(path));
        QTRY_VERIFY(!controller);
        QCOMPARE(asked, 1);
        QTRY_VERIFY(!thread);
        QVERIFY(device().bootloaderReports().isEmpty());
    }

    // Closing the window while the firmware is erased or written asks first:
    // No keeps it open until the upgrade's end, Yes closes it now and the job
    // stops between two chunks when the window goes. Other stages just wait.
    void closeDuringFirmware_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<bool>("yes");
        for (UpgradeStage stage : {UpgradeStage::Erasing, UpgradeStage::Writing, UpgradeStage::Watching}) {
            const char *name = stage == UpgradeStage::Erasing ? "erasing" : stage == UpgradeStage::Writing ? "writing" : "watching";
            QTest::newRow(qPrintable(QStringLiteral("%1, no").arg(name))) << int(stage) << false;
            QTest::newRow(qPrintable(QStringLiteral("%1, yes").arg(name))) << int(stage) << true;
        }
    }
    void closeDuringFirmware()
    {
        QFETCH(int, stage);
        QFETCH(bool, yes);
        auto *window = new MainWindow;
        QVERIFY(testsupport::waitForDeviceIdle(window->controller()));
        window->show();
        choose(*window);
        // Chunks slow enough to be closed on.
        device().setLatencyMicros(40000);
        int asked = 0;
        setFirmwareCloseQuestion([&](QWidget *) { return ++asked, yes; });
        int current = -1;
        qint64 written = 0;
        connect(&window->controller(), &DeviceController::jobNote, this,
                [&](DeviceJob, const QString &what, const QVariant &value) {
                    if (what == "stageStarted")
                        current = value.toInt();
                });
        connect(&window->controller(), &DeviceController::progress, this, [&](qint64 value) { written = value; });
        child<QPushButton>(window, "pushButton")->click();
        QTRY_COMPARE_WITH_TIMEOUT(current, stage, 5000);
        if (stage == int(UpgradeStage::Writing))
            QTRY_VERIFY(written > 96);
        window->close();

        const bool asks = stage != int(UpgradeStage::Watching);
        QCOMPARE(asked, asks ? 1 : 0);
        QVERIFY(window->controller().isBusy());
        if (asks && yes) {
            QVERIFY(!window->isVisible());
            delete window;
            // Stopped between chunks: the device waits in its bootloader, half
            // written (or, stopped before the erase went out, untouched).
            QVERIFY(chunkCount() < 20);
            if (stage == int(UpgradeStage::Writing)) {
                QVERIFY(chunkCount() > 2);
                QCOMPARE(device().mode(), EmulatedDevice::Mode::Bootloader);
            }
        } else {
            QVERIFY(window->isVisible());
            QVERIFY(waitForDeviceIdle(window->controller()));
            QTRY_VERIFY(!window->isVisible());
            QCOMPARE(chunkCount(), 20);
            QCOMPARE(asked, asks ? 1 : 0);
            delete window;
        }
        device().setLatencyMicros(0);
    }

    // In service mode the upgrade saves a backup and offers it back at the
    // end, but not to a window the user closed meanwhile.
    void noBackupOfferAfterTheWindowClosed()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        window.setServiceMode(true);
        choose(window);
        device().setLatencyMicros(40000);
        setFirmwareCloseQuestion([](QWidget *) { return false; });
        QStringList questions;
        QTimer answerer;
        connect(&answerer, &QTimer::timeout, this, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                questions << box->windowTitle();
                box->button(QMessageBox::Yes)->click();
            }
        });
        answerer.start(10);
        qint64 written = 0;
        connect(&window.controller(), &DeviceController::progress, this, [&](qint64 value) { written = value; });
        child<QPushButton>(&window, "pushButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(written > 96, 5000);
        window.close();
        QVERIFY(waitForDeviceIdle(window.controller()));
        QTRY_VERIFY(!window.isVisible());
        QTest::qWait(100);
        device().setLatencyMicros(0);
        QCOMPARE(questions, QStringList{"开始升级"});
        QCOMPARE(chunkCount(), 20);
        QVERIFY(!logMessages(&window).filter("已备份功率曲线和设置：").isEmpty());
    }

    // The bar never looks finished after an upgrade that was not, and starts
    // from 0 when the next upgrade erases.
    void barAfterEachEnd_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("bar");
        QTest::newRow("written") << "none" << 912;
        QTest::newRow("writes fail") << "writes" << 0;
        QTest::newRow("not back") << "away" << 0;
    }
    void barAfterEachEnd()
    {
        QFETCH(QString, fault);
        QFETCH(int, bar);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        choose(window);
        auto *progress = child<QProgressBar>(&window, "progressBar_updata");
        auto *start = child<QPushButton>(&window, "pushButton");
        if (fault == "writes")
            device().failWritesAt({FirstChunkWrite + 5, FirstChunkWrite + 6, FirstChunkWrite + 7});
        if (fault == "away") {
            Firmware::setReturnWatchMs(1000);
            device().setWriteHook([](int, const QByteArray &report) {
                if (report[1] == 0x02)
                    device().setPresent(false);   // gone with the jump
            });
        }
        start->click();
        QVERIFY(waitForDeviceIdle(window.controller()));
        Firmware::setReturnWatchMs(0);
        device().setWriteHook(nullptr);
        QCOMPARE(progress->value(), bar);

        // A device left in its bootloader takes no new upgrade; the others do.
        if (fault == "writes")
            return;
        device().setPresent(true);
        int atErase = -1;
        connect(&window.controller(), &DeviceController::jobNote, this,
                [&](DeviceJob, const QString &what) {
                    if (what == "upgradeStarted")
                        atErase = progress->value();
                });
        start->click();
        QVERIFY(waitForDeviceIdle(window.controller()));
        QCOMPARE(atErase, 0);
        QCOMPARE(progress->value(), 912);
    }
};

QTEST_MAIN(TestFirmwareThread)
#include "tst_firmwarethread.moc"
