// The firmware file cut into what the bootloader is sent.

#include "firmware/firmwareimage.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace Firmware;

class TestFirmwareImage : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    // What a file must look like before anything is sent: a model header with
    // image data after it, and none of the signatures of the files most often
    // picked by mistake. The header itself may hold any bytes.
    void fileChecks_data()
    {
        QTest::addColumn<QByteArray>("head");   // padded with 0x5A to size
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("refusal");
        const auto row = [](const char *name, const QByteArray &head, int size, FileStatus status, const char *refusal) {
            QTest::newRow(name) << head << size << int(status) << QString::fromUtf8(refusal);
        };
        const QByteArray bmpInfo40 = QByteArray("BM") + QByteArray(12, '\0') + QByteArray("\x28\0\0\0", 4);
        row("model header and one byte", "VELTRA-MINI", 49, FileStatus::Loaded, "");
        row("header of any bytes", QByteArray("\xff\x00\x89\x01", 4), 200, FileStatus::Loaded, "");
        row("a model named BM…", "BMX-200", 200, FileStatus::Loaded, "");
        row("a model named PK…", "PK-9", 200, FileStatus::Loaded, "");
        row("header alone", "VELTRA-MINI", 48, FileStatus::NoImage, "固件文件出错：只有型号信息，没有固件数据！");
        row("PNG", "\x89PNG\r\n\x1a\n", 300, FileStatus::NotFirmware, "不是固件文件：这是 PNG 图片");
        row("JPEG", "\xff\xd8\xff\xe0", 300, FileStatus::NotFirmware, "不是固件文件：这是 JPEG 图片");
        row("GIF", "GIF89a", 300, FileStatus::NotFirmware, "不是固件文件：这是 GIF 图片");
        row("BMP", bmpInfo40, 300, FileStatus::NotFirmware, "不是固件文件：这是 BMP 图片");
        row("ZIP", "PK\x03\x04", 300, FileStatus::NotFirmware, "不是固件文件：这是 ZIP 压缩包");
        row("gzip", "\x1f\x8b\x08", 300, FileStatus::NotFirmware, "不是固件文件：这是 gzip 压缩包");
        row("PDF", "%PDF-1.7", 300, FileStatus::NotFirmware, "不是固件文件：这是 PDF 文档");
        row("ELF", "\x7f" "ELF", 300, FileStatus::NotFirmware, "不是固件文件：这是 ELF 程序");
        row("a PNG of 48 bytes", "\x89PNG\r\n\x1a\n", 48, FileStatus::NotFirmware, "不是固件文件：这是 PNG 图片");
        row("47 bytes", "VELTRA-MINI", 47, FileStatus::TooShort, "固件文件出错：文件不足48字节，没有型号信息！");
    }
    void fileChecks()
    {
        QFETCH(QByteArray, head);
        QFETCH(int, size);
        QFETCH(int, status);
        QFETCH(QString, refusal);
        const QString path = dir.filePath(QString::fromLatin1(QTest::currentDataTag()));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(head.leftJustified(size, '\x5A', true));
        out.close();
        const FirmwareFile file = loadFirmwareFile(path);
        QCOMPARE(int(file.status), status);
        QCOMPARE(file.isLoaded(), refusal.isEmpty());
        QCOMPARE(refusalText(file), refusal);
    }


    // Full chunks k = 1 … N − 1 at 48·k, the first two lowered, then the tail;
    // together offsets 48 … size − 1, each once, in order.
    void planChunks_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("fullChunks");
        QTest::addColumn<qint64>("tailOffset");
        QTest::addColumn<int>("tailLength");
        QTest::newRow("47: no model header") << qint64(47) << qint64(0) << qint64(0) << 0;
        QTest::newRow("48: header alone") << qint64(48) << qint64(0) << qint64(0) << 0;
        QTest::newRow("60: a tail only") << qint64(60) << qint64(0) << qint64(48) << 12;
        QTest::newRow("95") << qint64(95) << qint64(0) << qint64(48) << 47;
        QTest::newRow("96") << qint64(96) << qint64(1) << qint64(0) << 0;
        QTest::newRow("100") << qint64(100) << qint64(1) << qint64(96) << 4;
        QTest::newRow("143") << qint64(143) << qint64(1) << qint64(96) << 47;
        QTest::newRow("144") << qint64(144) << qint64(2) << qint64(0) << 0;
        QTest::newRow("1000") << qint64(1000) << qint64(19) << qint64(960) << 40;
        QTest::newRow("16 MiB") << MaxFileSize << MaxFileSize / 48 - 1 << MaxFileSize / 48 * 48
                                << int(MaxFileSize % 48);
    }
    void planChunks()
    {
        QFETCH(qint64, size);
        QFETCH(qint64, fullChunks);
        QFETCH(qint64, tailOffset);
        QFETCH(int, tailLength);
        const ChunkPlan plan = Firmware::planChunks(size);
        QCOMPARE(plan.fullChunks, fullChunks);
        QCOMPARE(plan.tailLength, tailLength);
        if (tailLength)
            QCOMPARE(plan.tailOffset, tailOffset);

        qint64 next = 48;
        for (qint64 k = 1; k <= plan.fullChunks; ++k) {
            QCOMPARE(ChunkPlan::offsetOf(k), next);
            QCOMPARE(ChunkPlan::isLowered(k), next == 48 || next == 96);
            next += 48;
        }
        if (plan.tailLength) {
            QCOMPARE(plan.tailOffset, next);
            next += plan.tailLength;
        }
        QCOMPARE(next, qMax(qint64(size), qint64(48)));
    }
};

QTEST_MAIN(TestFirmwareImage)
#include "tst_firmwareimage.moc"
