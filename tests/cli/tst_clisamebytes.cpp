// The window and tesselctl run the same jobs, so the emulated device sees the
// same exchanges from both: every open, close, report written and read asked
// for, byte for byte and in the same order.

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
#include "clirun.h"
#include "emulator/emulateddevice.h"
#include "firmware/firmwarefilechooser.h"
#include "editors/editdlg.h"
#include "images/imagetests.h"
#include "images/picturefilechooser.h"
#include "settings/my_spinbox.h"
#include "settings/powercurves.h"
#include "testsupport.h"

#include <QDialog>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QMessageBox>
#include <QTimer>
#include <QStandardPaths>
#include <QtTest>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;
using namespace clitest;
using namespace imagetest;
using namespace testsupport;

namespace {

EmulatedDevice &device() { return EmulatedDevice::instance(); }

// The exchanges as the device saw them, without times and handle numbers. A
// read made on a device thread comes in slices: the slices of one read are one
// wait of their summed time-out, and a read that found a report shows no
// time-out (the device cannot tell how long the host would have waited).
// tesselctl lists the system's devices once before its first job, to know
// whose device it serves; that listing reaches no device and is left out.
QStringList exchanges()
{
    QVector<Exchange> merged;
    bool opened = false;
    for (const Exchange &e : device().record()) {
        if (e.kind == Exchange::Init || e.kind == Exchange::Exit || (e.kind == Exchange::Enumerate && !opened))
            continue;
        opened = opened || e.kind == Exchange::Open;
        if (e.kind == Exchange::Read && !merged.isEmpty() && merged.last().kind == Exchange::Read
            && merged.last().result == 0 && merged.last().handleId == e.handleId) {
            merged.last().timeoutMs += e.timeoutMs;
            merged.last().result = e.result;
            merged.last().bytes = e.bytes;
            merged.last().length = e.length;
            continue;
        }
        merged << e;
    }
    QStringList seen;
    for (const Exchange &e : merged) {
        seen << QString("%1 %2 len=%3 timeout=%4 result=%5")
                    .arg(e.kind)
                    .arg(QString::fromLatin1(e.bytes.toHex()))
                    .arg(e.length)
                    .arg(e.kind == Exchange::Read && e.result != 0 ? -1 : e.timeoutMs)
                    .arg(e.result);
    }
    return seen;
}

// A fresh device whose slot 7 has a one-bit screen.
void freshDevice()
{
    device().reset();
    device().profile().imageSlots.insert(7, {128, 64, 0x00});
}

QStringList cliExchanges(const QStringList &arguments)
{
    freshDevice();
    const CliRun run = runCli(arguments);
    if (run.code != 0)
        qWarning() << run.err;
    return exchanges();
}

// A picture with every pixel different, translucent where alpha is asked for.
QImage picture(int width, int height, QImage::Format format)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba((x * 7) & 0xFF, (y * 5) & 0xFF, (x ^ y) & 0xFF,
                                       format == QImage::Format_ARGB32 ? (x * 3 + y) & 0xFF : 255));
    return format == QImage::Format_ARGB32 ? image : image.convertToFormat(format, Qt::ThresholdDither);
}

void typeCell(QWidget *window, int row, int column, const QString &text)
{
    auto *table = child<QTableWidget>(window, "tableWidget");
    child<QLineEdit>(table->cellWidget(row, column), "lineEdit")->setText(text);
}

} // namespace

class TestCliSameBytes : public QObject
{
    Q_OBJECT

    QTemporaryDir files;
    ScratchDirectory scratch;

private slots:
    // Upgrade backups go to a scratch data folder.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        freshDevice();
        scratch.enter();
    }
    void cleanup()
    {
        scratch.leave();
        setPictureFileChooser(nullptr);
        setFirmwareFileChooser(nullptr);
    }

    // The DEVICE page's query at the window's start against info.
    void info()
    {
        {
            MainWindow window;
            QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
            window.controller().stopPresenceWatch();   // its listing each second is no job's
        }
        const QStringList fromWindow = exchanges();
        // open, the system's list (whose device is it), blocking, four questions and answers, close
        QCOMPARE(fromWindow.size(), 12);
        QCOMPARE(cliExchanges({"info"}), fromWindow);
    }

    // The editor's ADD and UPLOAD against upload: colour, boot animation and
    // one-bit slots, with pictures of several formats and sizes.
    void upload_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QImage>("source");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("colour, larger") << 4 << picture(300, 330, QImage::Format_RGB32) << "png";
        QTest::newRow("colour, smaller, translucent") << 2 << picture(97, 61, QImage::Format_ARGB32) << "png";
        QTest::newRow("colour, palette") << 3 << picture(120, 150, QImage::Format_Indexed8) << "png";
        QTest::newRow("colour, jpeg") << 5 << picture(240, 280, QImage::Format_RGB32) << "jpg";
        QTest::newRow("boot animation") << 1 << picture(320, 90, QImage::Format_RGB32) << "png";
        QTest::newRow("one-bit, grey") << 7 << picture(200, 100, QImage::Format_Grayscale8) << "png";
        QTest::newRow("one-bit, mono bitmap") << 7 << picture(64, 64, QImage::Format_Mono) << "bmp";
        QTest::newRow("colour slot 9, translucent") << 9 << picture(240, 280, QImage::Format_ARGB32) << "png";
    }
    void upload()
    {
        QFETCH(int, slot);
        QFETCH(QImage, source);
        QFETCH(QString, suffix);
        const QString path = files.filePath(QString("picture%1.%2").arg(QTest::currentDataTag()).arg(suffix));
        QVERIFY(source.save(path));

        {
            MainWindow window;
            QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
            window.controller().stopPresenceWatch();   // its listing each second is no job's
            device().clearRecord();
            setPictureFileChooser([path](QWidget *) { return path; });
            window.openSlotEditor(slot, QString());
            QVERIFY(waitForDeviceIdle(window.controller()));
            auto *editor = qobject_cast<editDlg *>(openImageEditor.data());
            QVERIFY(editor);
            child<QToolButton>(editor, "toolButton_2")->click();   // ADD
            child<QToolButton>(editor, "toolButton_9")->click();   // UPLOAD
            QVERIFY(waitForDeviceIdle(window.controller()));
            scratch.leave();
        }
        const QStringList fromWindow = exchanges();
        QVERIFY(fromWindow.size() > 10);
        QCOMPARE(cliExchanges({"upload", "--slot", QString::number(slot), path}), fromWindow);
    }

    // The slot queries of the slots page against slots.
    void slotQueries()
    {
        {
            MainWindow window;
            QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
            window.controller().stopPresenceWatch();   // its listing each second is no job's
            device().clearRecord();
            for (int slot = 1; slot <= 10; ++slot) {
                window.openSlotEditor(slot, QString());
                QVERIFY(waitForDeviceIdle(window.controller()));
            }
            scratch.leave();
        }
        QStringList fromWindow = exchanges();
        QStringList fromTool = cliExchanges({"slots"});
        // The window closes the device when it goes; the tool when it is done.
        QCOMPARE(fromTool.mid(0, fromTool.size() - 1), fromWindow.mid(0, fromWindow.size() - 1));
        QCOMPARE(fromTool.last(), fromWindow.last());
    }

    // The firmware page's upgrade (service mode, where the page is reached)
    // against upgrade --yes: model check, the backup's five curve reads,
    // erase, settle, write stage and jump.
    void upgrade()
    {
        QByteArray firmware = QByteArray("VELTRA-MINI").leftJustified(48, '\0');
        for (int i = 48; i < 48 * 30 + 17; ++i)
            firmware += char(i * 13);
        const QString path = files.filePath("firmware.bin");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(firmware) == firmware.size());
        out.close();

        {
            MainWindow window;
            QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
            window.controller().stopPresenceWatch();   // its listing each second is no job's
            window.setServiceMode(true);
            device().clearRecord();
            setFirmwareFileChooser([path](QWidget *) { return path; });
            child<QPushButton>(&window, "openFirmwareFilePushButton")->click();
            // The window asks before the erase.
            QTimer::singleShot(50, [] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                    box->button(QMessageBox::Yes)->click();
            });
            child<QPushButton>(&window, "pushButton")->click();
            // The backup made before the erase is offered back at the end: not now.
            QTimer offer;
            connect(&offer, &QTimer::timeout, [] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                    box->button(QMessageBox::No)->click();
            });
            offer.start(20);
            QVERIFY(waitForDeviceIdle(window.controller()));
        }
        const QStringList fromWindow = exchanges();
        QVERIFY(fromWindow.size() > 30);
        QCOMPARE(cliExchanges({"upgrade", "--yes", path}), fromWindow);
    }

    // The settings page's write after the start-up query against settings
    // write, which asks for the ranges first.
    void settingsWrite()
    {
        const QString path = files.filePath("profile.json");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(R"({"format": "tessel-profile", "version": 1, "settings": {
            "PWR": {"watts": 31}, "NI200": {"watts": 41, "celsius": 231, "tcr": 0.0039},
            "TI": {"watts": 36, "celsius": 221, "tcr": 0.0035}, "SS": {"watts": 46, "celsius": 241, "tcr": 0.00105},
            "TCR1": {"watts": 42, "celsius": 232, "tcr": 0.004}, "TCR2": {"watts": 43, "celsius": 233, "tcr": 0.0025}}})");
        out.close();

        {
            MainWindow window;
            QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
            window.controller().stopPresenceWatch();   // its listing each second is no job's
            const char *const cells[][4] = {{"31", "", "", ""},           {"41", "231", "0.0039", ""},
                                            {"36", "221", "0.0035", ""},  {"46", "241", "0.00105", ""},
                                            {"", "", "", ""},             {"42", "232", "0.004", ""},
                                            {"43", "233", "0.0025", ""}};
            for (int row = 0; row < 7; ++row)
                for (int column = 1; column < 4; ++column)
                    if (*cells[row][column - 1])
                        typeCell(&window, row, column, QLatin1String(cells[row][column - 1]));
            for (auto *button : window.findChildren<QToolButton *>("toolButton_2"))
                if (!qobject_cast<my_spinbox *>(button->parentWidget()))
                    button->click();
            QVERIFY(waitForDeviceIdle(window.controller()));
        }
        const QStringList fromWindow = exchanges();
        QCOMPARE(device().settingsBlocks(0x08).size(), 1);
        QCOMPARE(cliExchanges({"settings", "write", path}), fromWindow);
    }

    // The curve dialog's read of a curve and its write against curve read and
    // curve write: the exchanges after the dialog's first read of M1.
    void curves()
    {
        curveTable = {};
        {
            MainWindow window;
            QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
            window.controller().stopPresenceWatch();   // its listing each second is no job's
            child<QToolButton>(&window, "toolButton_8")->click();
            QVERIFY(waitForDeviceIdle(window.controller()));
            QDialog *dialog = openCurveDialog.data();
            QVERIFY(dialog);
            device().clearRecord();
            child<QRadioButton>(dialog, "radioButton_3")->click();   // reads M3
            QVERIFY(waitForDeviceIdle(window.controller()));
            curveTable[2] = {12, 13, 14, 15, 16, 17, 18, 19, 20, 21};
            child<QToolButton>(dialog, "toolButton_2")->click();     // writes M3
            QVERIFY(waitForDeviceIdle(window.controller()));
            delete dialog;
        }
        const QStringList fromWindow = exchanges();
        QCOMPARE(fromWindow.size(), 9);   // read: open, blocking, ask, answer, close; write: open, blocking, write, close
        QCOMPARE(cliExchanges({"curve", "read", "M3"}), fromWindow.mid(0, 5));
        // Without --force, curve write asks for the ranges first, which the window read at its start.
        QCOMPARE(cliExchanges({"curve", "write", "--force", "M3", "12,13,14,15,16,17,18,19,20,21"}), fromWindow.mid(5));
    }
};

QTEST_MAIN(TestCliSameBytes)
#include "tst_clisamebytes.moc"
