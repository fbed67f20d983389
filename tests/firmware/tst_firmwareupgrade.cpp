// The Upgrade page against the emulated device: choosing the file, the model
// check, the restart into the bootloader, the chunks as the device receives
// them, retries, lost devices, the device's return, the write stage alone,
// refresh, and overlapping actions.

#include "app/mainwindow.h"
#include "device/openfailure.h"
#include "emulator/emulateddevice.h"
#include "firmware/firmwarefilechooser.h"
#include "firmware/firmwareupgrade.h"
#include "testsupport.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QPointer>
#include <QtTest>

#include <sys/stat.h>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;
using namespace testsupport;
using Firmware::setReturnWatchMs;

namespace {

EmulatedDevice &device() { return EmulatedDevice::instance(); }

const QByteArray digits60 = QByteArray("1234567890").repeated(6);
const QStringList successTail = {"擦出成功！", "检测设备固件...", "开始写固件，请稍后...", "写固件数据成功！",
                                 "跳转到用户程序！"};
const QString tooShort = QStringLiteral("固件文件出错：文件不足48字节，没有型号信息！");
// After the jump: the watch, and the device back with the version it had
// (the test images name none).
const QStringList returnTail = {"等待设备返回...", "升级完成：V1.0.2（版本未变）"};
// Writes before the first chunk: start-up query (4), model query, erase, probe.
constexpr int firstChunkWrite = 7;

// The model header for name, then image data running through every byte value
// (0x00 falls inside the lowered chunks, so lowering must wrap).
QByteArray firmwareFor(const QByteArray &name, int size)
{
    QByteArray file = name.leftJustified(48, '\0', true);
    for (int i = 48; i < size; ++i)
        file += char((i * 37 + 140) & 0xFF);
    return file.left(size);
}

// What the flash must hold: the image data, the full chunks at 48 and 96 one lower.
QByteArray expectedFlash(const QByteArray &file)
{
    QByteArray flash = file.mid(48);
    const int lowered = file.size() >= 144 ? 96 : file.size() >= 96 ? 48 : 0;
    for (int i = 0; i < lowered; ++i)
        flash[i] = char(quint8(flash[i]) - 1);
    return flash;
}

QStringList equalLines(const QByteArray &header)
{
    QStringList lines;
    for (char c : header.left(48))
        lines << QStringLiteral("%1==%1").arg(quint8(c));
    return lines;
}

QVector<QByteArray> chunkReports()
{
    QVector<QByteArray> chunks;
    for (const QByteArray &report : device().bootloaderReports())
        if (report[1] == 0x01)
            chunks << report;
    return chunks;
}

struct Page
{
    explicit Page(QWidget *w)
        : path(child<QLineEdit>(w, "firmwareFileLineEdit")), info(child<QLabel>(w, "label_3_file_inf")),
          status(child<QLabel>(w, "label_4_updata_sta")), progress(child<QProgressBar>(w, "progressBar_updata")),
          start(child<QPushButton>(w, "pushButton")), write(child<QPushButton>(w, "upgradeFirmwarePushButton"))
    {
    }
    QLineEdit *path;
    QLabel *info, *status;
    QProgressBar *progress;
    QPushButton *start, *write;
};

// Answers the page's questions as they come, in order; any question beyond
// the answers given gets No.
class Answerer : public QObject
{
public:
    explicit Answerer(QList<QMessageBox::StandardButton> answers) : answers(std::move(answers))
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            questions << box->text();
            if (heldButton)
                heldFor << heldButton->toolTip();
            box->button(this->answers.isEmpty() ? QMessageBox::No : this->answers.takeFirst())->click();
        });
        timer.start();
    }
    QList<QMessageBox::StandardButton> answers;
    QStringList questions;
    QStringList heldFor;   // the tool tip of a held device button at each question
    QPointer<QWidget> heldButton;
    QTimer timer;
};

} // namespace

class TestFirmwareUpgrade : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString writeFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.filePath(name);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    static void choose(MainWindow &window, const QString &path)
    {
        setFirmwareFileChooser([path](QWidget *) { return path; });
        child<QPushButton>(&window, "openFirmwareFilePushButton")->click();
    }

    // Chooses a matching file of size bytes and clears the record.
    QByteArray prepare(MainWindow &window, int size, const QByteArray &name = "VELTRA-MINI")
    {
        const QByteArray file = firmwareFor(name, size);
        choose(window, writeFile(QStringLiteral("fw%1.bin").arg(size), file));
        device().clearRecord();
        return file;
    }

private slots:
    // What the program remembers of the device goes to a scratch settings file.
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
        QCoreApplication::setApplicationName(QStringLiteral("Tessel Control tests"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("settings"));
    }
    void init()
    {
        device().reset();
        QSettings().clear();
    }
    void cleanup()
    {
        setFirmwareFileChooser(nullptr);
        QCOMPARE(device().openHandleCount(), 0);
        QCOMPARE(device().misuseCount(), 0);
    }

    // Each row follows the choice of a good 200-byte file.
    void chooseFile_data()
    {
        QTest::addColumn<QString>("name");   // empty: the dialog is cancelled
        QTest::addColumn<qint64>("size");    // -1: no such file, -2: a named pipe, -3: a folder
        QTest::addColumn<QString>("info");
        QTest::addColumn<bool>("logsRefusal");
        QTest::addColumn<QString>("reason"); // the log line naming what is wrong with the file
        const QString unreadable = "不支持中文路径！";
        QTest::newRow("40 KiB") << "a.bin" << qint64(40 * 1024) << "文件大小：40.00 kB" << false << QString();
        QTest::newRow("1535 bytes, any extension") << "a.dat" << qint64(1535) << "文件大小：1.50 kB" << false << QString();
        QTest::newRow("non-Latin path") << "固件/升级 ü.bin" << qint64(96) << "文件大小：0.09 kB" << false << QString();
        QTest::newRow("exactly 16 MiB") << "big.bin" << qint64(16 << 20) << "文件大小：16384.00 kB" << false << QString();
        QTest::newRow("cancelled") << "" << qint64(0) << "文件大小：0.20 kB" << false << QString();
        QTest::newRow("empty") << "e.bin" << qint64(0) << unreadable << false << "固件文件为空";
        QTest::newRow("missing") << "gone.bin" << qint64(-1) << unreadable << false << "固件文件不存在";
        // Opening a pipe would wait for a writer that never comes.
        QTest::newRow("named pipe") << "fifo.bin" << qint64(-2) << unreadable << false << "固件文件不是普通文件";
        QTest::newRow("folder") << "dir.bin" << qint64(-3) << unreadable << false << "固件文件不是普通文件";
        QTest::newRow("47 bytes") << "s.bin" << qint64(47) << tooShort << true << QString();
        QTest::newRow("1 byte") << "one.bin" << qint64(1) << tooShort << true << QString();
        QTest::newRow("16 MiB + 1") << "huge.bin" << qint64((16 << 20) + 1)
                                    << "固件文件出错：文件超过16 MB，不是本型号产品固件！" << true << QString();
    }
    void chooseFile()
    {
        QFETCH(QString, name);
        QFETCH(qint64, size);
        QFETCH(QString, info);
        QFETCH(bool, logsRefusal);
        QFETCH(QString, reason);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        Page page(&window);
        const QString good = writeFile("good.bin", firmwareFor("VELTRA-MINI", 200));
        choose(window, good);

        QString path = name.isEmpty() ? QString() : dir.filePath(name);
        if (size == -2)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        if (size == -3)
            QVERIFY(QDir().mkpath(path));
        if (size >= 0 && !path.isNull()) {
            path = writeFile(name, firmwareFor("VELTRA-MINI", int(qMin(qint64(size), qint64(1000)))));
            QVERIFY(QFile(path).resize(size));   // large files stay sparse
        }
        choose(window, path);

        const bool accepted = info.startsWith("文件大小");
        QStringList log = {"选择文件：" + good};
        if (!path.isNull())
            log << "选择文件：" + path;
        if (logsRefusal)
            log << info;
        if (!reason.isEmpty())
            log << reason;
        QCOMPARE(logMessages(&window), log);
        QCOMPARE(page.info->text(), info);
        QCOMPARE(page.path->text(), !accepted ? QString() : path.isNull() ? good : path);
        QCOMPARE(page.start->isEnabled(), accepted);
        QCOMPARE(page.status->text(), accepted ? QStringLiteral("固件已打开") : QStringLiteral("请打开固件"));
        QCOMPARE(page.progress->maximum(), !accepted ? 0 : path.isNull() ? 200 : int(size));
        QCOMPARE(device().count(Exchange::Open), 1);   // the start-up query only
    }

    void upgrade_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QList<int>>("progress");   // the bar at each full chunk
        QTest::addColumn<int>("tail");
        QList<int> upTo912;
        for (int o = 48; o <= 912; o += 48)
            upTo912 << o;
        QTest::newRow("96: one full chunk") << 96 << QByteArray("VELTRA-MINI") << QList<int>{48} << 0;
        QTest::newRow("100: tail at 96 not lowered") << 100 << QByteArray("VELTRA-MINI") << QList<int>{48} << 4;
        QTest::newRow("1000, header byte 0xC8") << 1000 << QByteArray("VELTRA\xC8MINI") << upTo912 << 40;
        QTest::newRow("60: only a tail") << 60 << QByteArray("VELTRA-MINI") << QList<int>{} << 12;
    }
    void upgrade()
    {
        QFETCH(int, size);
        QFETCH(QByteArray, name);
        QFETCH(QList<int>, progress);
        QFETCH(int, tail);
        device().profile().setName(name);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        Page page(&window);
        const QByteArray file = prepare(window, size, name);
        QList<int> bar;
        connect(page.progress, &QProgressBar::valueChanged, this, [&](int value) { bar << value; });
        page.start->click();
        QVERIFY(waitForDeviceIdle(window.controller()));
        disconnect(page.progress, nullptr, this, nullptr);

        QCOMPARE(device().flashImage(), expectedFlash(file));
        QCOMPARE(logMessages(&window).mid(1), equalLines(file) + successTail + returnTail);
        // The bar may skip steps while chunks go out, and ends where the last
        // full chunk put it; the tail does not move it.
        QVERIFY(isThinnedOut(bar, QList<int>{0} + progress));
        if (!progress.isEmpty())
            QCOMPARE(page.progress->value(), progress.last());
        if (tail)
            progress << (progress.isEmpty() ? 0 : progress.last());
        const QVector<QByteArray> chunks = chunkReports();
        QCOMPARE(chunks.size(), progress.size());
        for (int i = 0; i < chunks.size(); ++i) {
            const int n = tail && i == chunks.size() - 1 ? tail : 48;
            QCOMPARE(int(chunks[i][2]), n + 5);
            // The filler is what the payload area held after the data: "90123" of the
            // probe behind a full chunk, the report before it behind a short tail.
            const QByteArray before = i > 0 ? chunks[i - 1] : device().bootloaderReports()[1];
            QCOMPARE(chunks[i].mid(3 + n, 5), n == 48 ? QByteArray("90123") : before.mid(3 + n, 5));
        }
        // Erase, probe, chunks, jump, each bootloader command with its pattern.
        const QVector<QByteArray> reports = device().bootloaderReports();
        QCOMPARE(reports.size(), chunks.size() + 3);
        const auto boot = [](char code) { return code + QByteArray("\x3C") + digits60; };
        QCOMPARE(reports.first().mid(1, 62), boot(0x03));
        QCOMPARE(reports[1].mid(1, 62), boot(0x00));
        QCOMPARE(reports.last().mid(1, 62), boot(0x02));
        QCOMPARE(device().count(Exchange::Open), 3);   // the check, the bootloader, the return

        QCOMPARE(page.status->text(), QStringLiteral("升级完成！"));
        QCOMPARE(page.start->text(), QStringLiteral("开始升级"));
        QVERIFY(page.start->isEnabled() && page.write->isEnabled() && page.progress->isHidden());
        QCOMPARE(EmulatedDevice::instance().openHandleCount(), 0);
        QTRY_COMPARE(device().mode(), EmulatedDevice::Mode::Application);
    }

    // The upgrade stops before the erase; the page stays as it was.
    void upgradeRefused_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QStringList>("log");   // after the choice of the file
        QTest::addColumn<QString>("info");
        const QString chosen = "文件大小：0.98 kB";
        QStringList differing = equalLines(firmwareFor("VELTRA-MINI", 48));
        differing[47] = "200==0";   // file value first
        QTest::newRow("no device") << 0 << QStringList{"设备离线", "中止固件升级！"} << chosen;
        QTest::newRow("silent device") << 1 << QStringList{"读取超时！", "中止固件升级！"} << chosen;
        QTest::newRow("file shrank to 20 bytes") << 2 << QStringList{tooShort, "中止固件升级！"} << tooShort;
        QTest::newRow("file removed") << 3 << QStringList{"固件文件不存在", "中止固件升级！"} << chosen;
        QTest::newRow("last header byte differs")
            << 4 << (differing << "中止固件升级！") << "固件文件出错：不是本型号产品固件！";
    }
    void upgradeRefused()
    {
        QFETCH(int, fault);
        QFETCH(QStringList, log);
        QFETCH(QString, info);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        Page page(&window);
        QByteArray file = prepare(window, 1000);
        switch (fault) {
        case 0: device().setPresent(false); break;
        case 1: device().setReplyFault(0x04, EmulatedDevice::ReplyFault::NoReply); break;
        case 2: writeFile("fw1000.bin", file.left(20)); break;
        case 3: QVERIFY(QFile::remove(page.path->text())); break;
        default: writeFile("fw1000.bin", file.replace(47, 1, "\xC8")); break;
        }
        page.start->click();
        QVERIFY(waitForDeviceIdle(window.controller()));
        QCOMPARE(logMessages(&window).mid(1), log);
        QCOMPARE(page.info->text(), info);
        QCOMPARE(device().count(Exchange::Open), fault == 2 || fault == 3 ? 0 : 1);
        QVERIFY(device().bootloaderReports().isEmpty());
        QCOMPARE(page.status->text(), QStringLiteral("固件已打开"));
        QVERIFY(page.progress->isHidden());
        QCOMPARE(EmulatedDevice::instance().openHandleCount(), 0);
        // A device found missing holds the button until it is back.
        QCOMPARE(page.start->isEnabled(), fault != 0);
        if (fault == 0) {
            QVERIFY(showsPicture(child<QToolButton>(&window, "toolButton"), "imageformats/USB_OFF.jpg"));
            QCOMPARE(page.start->toolTip(), openFailureSummary(OpenFailure::NotAttached));
        }
    }

    // A 1000-byte file: 19 full chunks, then the tail (chunk 19 counted from 0).
    void writeStageTrouble_data()
    {
        QTest::addColumn<int>("fault");             // 0 failing writes, 1 device gone, 2 never back
        QTest::addColumn<QList<int>>("failing");    // chunk writes counted from the first
        QTest::addColumn<QList<int>>("pausesMs");   // before each retry
        QTest::addColumn<QString>("last");          // last log line
        const QString failed = "写固件失败！";
        QTest::newRow("once") << 0 << QList<int>{1} << QList<int>{200} << returnTail.last();
        QTest::newRow("twice") << 0 << QList<int>{1, 2} << QList<int>{200, 1000} << returnTail.last();
        QTest::newRow("three times") << 0 << QList<int>{1, 2, 3} << QList<int>{200, 1000} << failed;
        QTest::newRow("the tail, once") << 0 << QList<int>{19} << QList<int>{} << failed;
        QTest::newRow("gone after 5 chunks") << 1 << QList<int>{5, 6, 7} << QList<int>{200, 1000} << failed;
        QTest::newRow("bootloader never back") << 2 << QList<int>{} << QList<int>{} << "打开设备失败";
    }
    void writeStageTrouble()
    {
        QFETCH(int, fault);
        QFETCH(QList<int>, failing);
        QFETCH(QList<int>, pausesMs);
        QFETCH(QString, last);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        Page page(&window);
        const QByteArray file = prepare(window, 1000);
        QSet<int> indexes;
        for (int i : failing)
            indexes << firstChunkWrite + i;
        if (fault == 0)
            device().failWritesAt(indexes);
        if (fault == 1)
            device().unplugAfterWrites(firstChunkWrite + failing.first());
        if (fault == 2)
            device().stayAwayAfterErase(true);
        page.start->click();
        QVERIFY(waitForDeviceIdle(window.controller()));

        const bool written = last == returnTail.last();
        QCOMPARE(logMessages(&window).last(), last);
        QCOMPARE(logMessages(&window).size(), written ? 1 + 48 + 5 + 2 : 1 + 48 + (fault == 2 ? 2 : 4));
        QCOMPARE(page.status->text(), written ? QStringLiteral("升级完成！") : QStringLiteral("升级失败！"));
        QVERIFY(page.start->isEnabled() && page.write->isEnabled());
        QCOMPARE(device().flashImage(),
                 expectedFlash(file).left(written ? 952 : failing.isEmpty() ? 0 : 48 * failing.first()));
        QVector<Exchange> writes;
        for (const Exchange &e : device().record())
            if (e.kind == Exchange::Write)
                writes << e;
        for (int i = 0; i < pausesMs.size(); ++i) {
            const Exchange &failure = writes[firstChunkWrite - 4 + failing.first() + i];
            const Exchange &retry = writes[firstChunkWrite - 4 + failing.first() + i + 1];
            QCOMPARE(failure.result, -1);
            QCOMPARE(retry.bytes, failure.bytes);
            const qint64 pause = (retry.atMicros - failure.atMicros) / 1000;
            QVERIFY2(pause >= pausesMs[i] && pause < pausesMs[i] + 150, qPrintable(QString::number(pause)));
        }
        if (fault == 2)
            QCOMPARE(device().count(Exchange::Open), 1 + 20);
        // A stopped write stage keeps its handle on the device thread; the
        // next job there uses it once and lets it go.
        QCOMPARE(device().openHandleCount(), !written && fault != 2 ? 1 : 0);
        device().plugBackIn();
        child<QPushButton>(&window, "pushButton_2")->click();
        QVERIFY(waitForDeviceIdle(window.controller()));
        QCOMPARE(device().openHandleCount(), 0);
        child<QPushButton>(&window, "m_btn_Devices")->click();
        QVERIFY(waitForDeviceIdle(window.controller()));
        QCOMPARE(device().openHandleCount(), 0);
    }

    // The write stage alone (service mode's "升级固件（仅写入）"): device state ×
    // file. The model query goes out first; the questions decide the rest;
    // nothing at all goes out for a file that is no firmware. The bootloader's
    // question is answered Yes, the warning that names the risk and the
    // advice to use the full upgrade No.
    void writeStageAlone_data()
    {
        QTest::addColumn<QString>("state");     // application, bootloader, never read, absent, not back
        QTest::addColumn<QString>("fileKind");  // match, other, png, empty, header
        QTest::addColumn<int>("questions");
        QTest::addColumn<QString>("sent");      // nothing, query, all
        QTest::addColumn<QString>("status");    // the status line afterwards
        QTest::addColumn<QString>("last");      // the last log line
        const QString opened = "固件已打开";
        const auto row = [](const char *state, const char *fileKind, int questions, const char *sent,
                            const QString &status, const char *last) {
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(state, fileKind)))
                << QString(state) << QString(fileKind) << questions << QString(sent) << status << QString::fromUtf8(last);
        };
        row("bootloader", "match", 1, "all", "升级完成：V1.0.2 → V1.0.3", "升级完成：V1.0.2 → V1.0.3");
        row("bootloader", "other", 2, "query", opened, "已取消写入，未擦除也未写入");
        row("never read", "match", 2, "query", opened, "已取消写入，未擦除也未写入");
        row("application", "match", 1, "query", opened, "已取消写入：设备在运行应用程序，请用“开始升级”");
        row("application", "other", 0, "query", opened, "中止固件升级！");
        row("bootloader", "png", 0, "nothing", opened, "不是固件文件：这是 PNG 图片");
        row("bootloader", "header", 0, "nothing", opened, "固件文件出错：只有型号信息，没有固件数据！");
        row("absent", "match", 0, "nothing", opened, "打开设备失败");
        row("not back", "match", 1, "all", "设备未返回：可能仍在 Bootloader 中",
            "请在服务模式中选择同一固件文件，用“升级固件（仅写入）”重新写入");
    }
    void writeStageAlone()
    {
        QFETCH(QString, state);
        QFETCH(QString, fileKind);
        QFETCH(int, questions);
        QFETCH(QString, sent);
        QFETCH(QString, status);
        QFETCH(QString, last);
        MainWindow window;   // its start-up query remembers the device
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.setServiceMode(true);
        Page page(&window);
        QVERIFY(!page.write->isEnabled());   // no file chosen yet
        QByteArray file = firmwareFor(fileKind == "other" ? "OTHER-MODEL" : "VELTRA-MINI", 1000);
        file.replace(900, 14, "TSL-VER=V1.0.3");
        if (fileKind == "png")
            file.replace(0, 8, "\x89PNG\r\n\x1a\n");
        if (fileKind == "header")
            file.truncate(48);
        const QString path = writeFile("alone.bin", file);
        // The page refuses such files when chosen; one that changed on disk since
        // is refused by the write stage itself.
        choose(window, writeFile("alone.bin", firmwareFor("VELTRA-MINI", 1000)));
        writeFile("alone.bin", file);
        QVERIFY(page.write->isEnabled());
        if (state == "never read")
            QSettings().clear();
        if (state == "bootloader" || state == "never read")
            device().enterBootloader();
        if (state == "absent")
            device().setPresent(false);
        if (state == "not back") {
            device().enterBootloader();
            setReturnWatchMs(1000);
            device().setWriteHook([](int, const QByteArray &report) {
                if (report[1] == 0x02)
                    device().setPresent(false);   // gone with the jump
            });
        }
        device().clearRecord();
        Answerer answerer({state == "application" ? QMessageBox::No : QMessageBox::Yes});
        answerer.heldButton = child<QPushButton>(&window, "pushButton_2");
        page.write->click();
        QVERIFY(waitForDeviceIdle(window.controller()));
        setReturnWatchMs(0);
        device().setWriteHook(nullptr);

        QCOMPARE(answerer.questions.size(), questions);
        // Other device actions wait for the write stage, and say for what.
        QCOMPARE(answerer.heldFor.size(), questions);
        for (const QString &held : answerer.heldFor)
            QCOMPARE(held, QStringLiteral("设备正忙：升级固件"));
        QCOMPARE(logMessages(&window).last(), last);
        QCOMPARE(page.status->text(), status);
        const QVector<QByteArray> reports = device().writtenReports();
        const bool queried = !reports.isEmpty() && reports.first().left(5) == QByteArray::fromHex("00553f7204");
        QCOMPARE(queried, sent != "nothing");
        QCOMPARE(device().bootloaderReports().isEmpty(), sent != "all");
        if (sent == "all") {
            QCOMPARE(device().flashImage(), expectedFlash(file));
            // No erase: the write stage alone starts with the probe.
            QCOMPARE(int(device().bootloaderReports().first()[1]), 0x00);
        }
        if (fileKind == "other" && questions > 0)
            QVERIFY(answerer.questions.last().contains("OTHER-MODEL") && answerer.questions.last().contains("VELTRA-MINI"));
        if (state == "never read")
            QVERIFY(answerer.questions.last().contains("从未读到"));
        QVERIFY(page.write->isEnabled() && page.path->text() == path);
        QCOMPARE(EmulatedDevice::instance().openHandleCount(), 0);
        device().plugBackIn();
    }

    void refresh_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<QString>("line");
        QTest::newRow("device attached") << true << "刷新！";
        QTest::newRow("no device") << false << "打开设备失败";
    }
    void refresh()
    {
        QFETCH(bool, present);
        QFETCH(QString, line);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        device().setPresent(present);
        child<QPushButton>(&window, "pushButton_2")->click();   // a title-bar button of width 0
        QVERIFY(waitForDeviceIdle(window.controller()));
        QCOMPARE(logMessages(&window), QStringList{line});
        QVector<QByteArray> sent;
        if (present)
            sent << (QByteArray("\x00\x04\x3C", 3) + digits60).leftJustified(64, '\0');
        QCOMPARE(device().bootloaderReports(), sent);
        QVERIFY(child<QPushButton>(&window, "upgradeFirmwarePushButton")->isEnabled());
        QCOMPARE(EmulatedDevice::instance().openHandleCount(), 0);
    }

    // While the device restarts, other actions are refused and closing the
    // window asks, then (kept open) waits; the upgrade runs to its end with
    // the file it checked.
    void otherActionsWaitForTheUpgrade()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        Page page(&window);
        const QByteArray file = prepare(window, 1000);
        const QString other = writeFile("other.bin", firmwareFor("OTHER-MODEL", 500));
        int closeAsked = 0;
        setFirmwareCloseQuestion([&](QWidget *) { return ++closeAsked, false; });
        bool visibleAtEnd = false;
        connect(&window.controller(), &DeviceController::finished, this, [&] { visibleAtEnd = window.isVisible(); });
        bool heldMeanwhile = false;
        QTimer::singleShot(300, &window, [&] {
            choose(window, other);
            child<QPushButton>(&window, "m_btn_Devices")->click();
            // The other device actions are held, saying why; a click does nothing.
            auto *refresh = child<QPushButton>(&window, "pushButton_2");
            heldMeanwhile = !refresh->isEnabled() && !page.write->isEnabled()
                            && refresh->toolTip() == QStringLiteral("设备正忙：升级固件");
            refresh->click();
            page.write->click();
            window.close();
        });
        // The bar counts through the file being written, not the one chosen meanwhile.
        QList<int> bar;
        connect(page.progress, &QProgressBar::valueChanged, this, [&](int value) { bar << value; });
        page.start->click();
        QVERIFY(waitForDeviceIdle(window.controller()));
        disconnect(page.progress, nullptr, this, nullptr);
        disconnect(&window.controller(), nullptr, this, nullptr);
        setFirmwareCloseQuestion(nullptr);
        QCOMPARE(closeAsked, 1);
        QList<int> offsets;
        for (int o = 48; o <= 912; o += 48)
            offsets << o;
        // Never a value of the file chosen meanwhile; the tail leaves the bar where it was.
        QVERIFY(isThinnedOut(bar, QList<int>{0} + offsets));
        QCOMPARE(page.progress->value(), 912);
        QVERIFY(visibleAtEnd);
        QVERIFY(heldMeanwhile);
        const QString busy = QStringLiteral("设备忙，请等待当前操作完成");
        QCOMPARE(logMessages(&window).mid(1), equalLines(file) << "擦出成功！"
                                                  << "选择文件：" + other << busy
                                                  << successTail.mid(1) + returnTail);
        QCOMPARE(device().flashImage(), expectedFlash(file));
        QTRY_VERIFY(!window.isVisible());
    }
};

QTEST_MAIN(TestFirmwareUpgrade)
#include "tst_firmwareupgrade.moc"
