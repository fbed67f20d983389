// The firmware file cut into what the bootloader is sent.

#include "firmware/firmwareimage.h"

#include <QtTest>

using namespace Firmware;

class TestFirmwareImage : public QObject
{
    Q_OBJECT

private slots:
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
