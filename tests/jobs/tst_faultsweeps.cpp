// Faults at every report of small transfers: a write that fails, and the
// device pulled out, at each index in turn. Whatever the index, nothing is
// written after the failure (but the retries of the same firmware chunk), no
// handle is used after it is closed or left behind, the failure is the last
// line of the job, and nothing claims success.

#include "device/devicesession.h"
#include "emulator/emulateddevice.h"
#include "firmware/firmwareupgrade.h"
#include "images/pictureupload.h"
#include "recordingsink.h"

#include <QTemporaryDir>
#include <QtTest>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;

namespace {

EmulatedDevice &device()
{
    return EmulatedDevice::instance();
}

QImage pattern(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x * 4, y * 5, (x ^ y) & 0xFF));
    return picture;
}

// The writes after the first failed one: none, or retries of that very report.
bool onlyRetriesAfterFailure()
{
    QByteArray failed;
    int after = 0;
    for (const Exchange &e : device().record()) {
        if (e.kind != Exchange::Write)
            continue;
        if (!failed.isEmpty()) {
            if (e.bytes != failed || ++after > 2)
                return false;
        } else if (e.result != e.length) {
            failed = e.bytes;
        }
    }
    return true;
}

enum class Fault { FailWrite, Unplug };

void inject(Fault fault, int index, int consecutive = 1)
{
    if (fault == Fault::Unplug) {
        device().unplugAfterWrites(index);
        return;
    }
    QSet<int> failing;
    for (int k = 0; k < consecutive; ++k)
        failing << index + k;
    device().failWritesAt(failing);
}

} // namespace

Q_DECLARE_METATYPE(Fault)

// Under AddressSanitizer every report costs many times more, and each run of
// the boot animation's sweep sends some 13,000 of them: there every 17th index
// of the last frame is swept (still every position within a report's rows);
// the normal build sweeps them all.
#if defined(__SANITIZE_ADDRESS__)
constexpr int BootSweepStride = 17;
#else
constexpr int BootSweepStride = 1;
#endif

class TestFaultSweeps : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    void addFaultRows(const char *job)
    {
        QTest::newRow(qPrintable(QString("%1, failed write").arg(job))) << Fault::FailWrite;
        QTest::newRow(qPrintable(QString("%1, unplugged").arg(job))) << Fault::Unplug;
    }

private slots:
    void init() { device().reset(); }
    void cleanup() { device().reset(); }

    void pictureUpload_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("screenType");
        QTest::addColumn<int>("firstIndex");   // sweep from here to the last report
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("stride");
        for (Fault fault : {Fault::FailWrite, Fault::Unplug}) {
            const char *how = fault == Fault::FailWrite ? "failed write" : "unplugged";
            QTest::newRow(qPrintable(QString("colour 64 x 48, %1").arg(how))) << 4 << 0x54 << 0 << fault << 1;
            QTest::newRow(qPrintable(QString("one-bit 64 x 48, %1").arg(how))) << 3 << 0x00 << 0 << fault << 1;
            // 25 frames of 534 data reports after the start report: the last frame and the end.
            QTest::newRow(qPrintable(QString("boot animation, last frame, %1").arg(how)))
                << 1 << 0x54 << 1 + 24 * 534 << fault << BootSweepStride;
        }
    }
    void pictureUpload()
    {
        QFETCH(int, slot);
        QFETCH(int, screenType);
        QFETCH(int, firstIndex);
        QFETCH(Fault, fault);
        QFETCH(int, stride);
        const int width = slot == 1 ? 240 : 64;
        const int height = slot == 1 ? 40 : 48;
        const QImage picture = pattern(width, height);
        const PictureTarget target{slot, width, height, screenType};

        // A clean run counts the reports.
        int reports = 0;
        {
            DeviceSession session;
            RecordingSink sink;
            QCOMPARE(uploadPicture(session, sink, target, picture), UploadResult::Sent);
            reports = device().count(Exchange::Write);
        }
        QVERIFY(reports > firstIndex);
        for (int index = firstIndex; index < reports; index += index + stride < reports ? stride : 1) {
            device().reset();
            inject(fault, index);
            RecordingSink sink;
            UploadResult result;
            {
                DeviceSession session;
                result = uploadPicture(session, sink, target, picture);
            }
            const QString where = QString("index %1: %2").arg(index).arg(sink.lines.mid(0, 3).join(" | "));
            const int writes = device().count(Exchange::Write);
            // Pulled out before the first report the device cannot be opened;
            // pulled out after the start report, a colour screen gives no go-ahead.
            const bool offline = writes == 0 && sink.lines.last() == QStringLiteral("设备离线");
            const bool unacknowledged = result == UploadResult::NotAcknowledged && writes == 1
                                        && sink.lines.last() == QStringLiteral("读取超时！");
            QVERIFY2(offline || unacknowledged || result == UploadResult::Failed, qPrintable(where));
            if (!offline && !unacknowledged) {
                QCOMPARE(writes, index + 1);
                QCOMPARE(sink.lines.last(), QStringLiteral("发送图片失败，传输已中止"));
            }
            QCOMPARE(device().count(Exchange::Close), offline ? 0 : 1);
            QCOMPARE(device().openHandleCount(), 0);
            QCOMPARE(device().misuseCount(), 0);
            QVERIFY(!sink.lines.contains(QStringLiteral("发送图片--结束")));
            QCOMPARE(sink.progressValues.last(), qint64(0));
            QCOMPARE(device().completedImageTransfers(), 0);
        }
    }

    // A 1 KB file: name query, erase, probe, 20 full chunks and a 16-byte
    // tail, jump. A failed full chunk is tried three times, so three writes in
    // a row fail; a failed erase or jump may be the device restarting early
    // and only warns. A lost jump leaves the device in its bootloader, which
    // the watch after it tells; a lost erase leaves the old program running,
    // which comes back with its old version.
    void firmwareUpgrade_data()
    {
        QTest::addColumn<Fault>("fault");
        addFaultRows("1 KB upgrade");
    }
    void firmwareUpgrade()
    {
        QFETCH(Fault, fault);
        QByteArray file(1024, '\0');
        const QByteArray name = device().profile().name;
        file.replace(0, name.size(), name);
        for (int i = 48; i < file.size(); ++i)
            file[i] = char(i * 7);
        const QString path = dir.filePath("fw.bin");
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(file) == file.size());
        out.close();

        constexpr int Writes = 1 + 1 + 1 + 21 + 1;
        const QStringList failures{"中止固件升级！", "检测Bootloader超时", "写固件失败！", "打开设备失败",
                                   "设备未返回：可能仍在 Bootloader 中"};
        Firmware::setReturnWatchMs(1000);
        for (int index = 0; index < Writes; ++index) {
            device().reset();
            // Three failures in a row make a full chunk fail for good.
            inject(fault, index, index >= 3 && index < Writes - 2 ? 3 : 1);
            RecordingSink sink;
            QuickWaiter waiter;
            Firmware::UpgradeResult result;
            {
                DeviceSession session;
                result = Firmware::upgrade(session, sink, waiter, path);
            }
            const QString where = QString("index %1: %2").arg(index).arg(sink.lines.join(" | "));
            if (result == Firmware::UpgradeResult::Written) {
                // Only a lost erase lets the upgrade go on, and never silently.
                QVERIFY2(index == 1, qPrintable(where));
                QVERIFY2(sink.lines.filter(QStringLiteral("警告")).size() >= 1, qPrintable(where));
                QCOMPARE(sink.lines.last(), QStringLiteral("升级完成：设备现在运行 V1.0.2"));
            } else {
                QVERIFY2(failures.contains(sink.lines.last()), qPrintable(where));
                // Only after a lost jump does the write stage itself count as done.
                QCOMPARE(sink.lines.contains(QStringLiteral("写固件数据成功！")), index == Writes - 1);
                if (index == Writes - 1) {
                    // After the lost jump only the watch's name queries, unanswered by the bootloader.
                    const QVector<QByteArray> writes = device().writtenReports();
                    for (int i = Writes; i < writes.size(); ++i)
                        QCOMPARE(writes[i].left(5), QByteArray::fromHex("00553f7204"));
                } else {
                    QVERIFY2(onlyRetriesAfterFailure(), qPrintable(where));
                }
            }
            // Every handle opened is closed once, also one a failure left open.
            int opened = 0, closed = 0;
            for (const Exchange &e : device().record()) {
                opened += e.kind == Exchange::Open && e.result == 0;
                closed += e.kind == Exchange::Close && e.result == 0;
            }
            QCOMPARE(closed, opened);
            QCOMPARE(device().openHandleCount(), 0);
            QCOMPARE(device().misuseCount(), 0);
        }
        Firmware::setReturnWatchMs(0);
    }
};

QTEST_MAIN(TestFaultSweeps)
#include "tst_faultsweeps.moc"
