// The 64-byte reports as the device receives them, and the reply rule.

#include "device/devicelink.h"
#include "device/reports.h"
#include "emulator/emulateddevice.h"

#include <QtTest>

#include <hidapi.h>

using emu::EmulatedDevice;

namespace {

QByteArray zeros(int n) { return QByteArray(n, '\0'); }

QByteArray lastReport()
{
    const auto reports = EmulatedDevice::instance().writtenReports();
    return reports.isEmpty() ? QByteArray() : reports.last();
}

} // namespace

class TestReports : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        EmulatedDevice::instance().reset();
        payloadStaging.fill(0);
        handle = hid_open(Protocol::VendorId, Protocol::ProductId, nullptr);
        QVERIFY(handle);
    }
    void cleanup()
    {
        closeDevice(handle);
        QCOMPARE(EmulatedDevice::instance().misuseCount(), 0);
    }

    void commandWithoutPayloadIsAllZeroAfterHeader()
    {
        CommandRecord record;
        QCOMPARE(sendCommand(record, handle, Protocol::CmdErase, QByteArray("ignored"), 0), int(ReportOk));
        QCOMPARE(lastReport(), QByteArray("\x00\x03\x00", 3) + zeros(61));
    }

    void applicationCommandCarriesOnly61PayloadBytes()
    {
        ApplicationBlock block = makeApplicationBlock(Protocol::OpRead, Protocol::ItemName);
        for (int i = 2; i < int(block.size()); ++i)
            block[size_t(i)] = quint8(i);
        CommandRecord record;
        QCOMPARE(sendApplicationCommand(record, handle, block), int(ReportOk));
        const QByteArray report = lastReport();
        QCOMPARE(report.size(), 64);
        QCOMPARE(report.left(5), QByteArray("\x00\x55\x3F\x72\x04", 5));
        for (int i = 2; i <= 60; ++i)
            QCOMPARE(quint8(report[3 + i]), quint8(i));
        QCOMPARE(record.length, qint8(63));
    }

    void readRequestIsOpItemAndZeros()
    {
        CommandRecord record;
        sendApplicationCommand(record, handle, makeApplicationBlock(Protocol::OpRead, Protocol::ItemSlotQuery));
        QCOMPARE(lastReport(), QByteArray("\x00\x55\x3F\x72\x0B", 5) + zeros(59));
    }

    void firmwareChunkAfterProbeCarriesFiller()
    {
        CommandRecord record;
        QVERIFY(sendBootloaderProbe(record, handle));
        QCOMPARE(lastReport(), QByteArray("\x00\x00\x3C", 3) + bootPattern + QByteArray(1, '\0'));

        QByteArray chunk(48, '\0');
        for (int i = 0; i < 48; ++i)
            chunk[i] = char(0xA0 + i);
        QVERIFY(sendFirmwareChunk(record, handle, reinterpret_cast<const quint8 *>(chunk.constData()), 48));
        const QByteArray report = lastReport();
        QCOMPARE(quint8(report[1]), quint8(0x01));
        QCOMPARE(quint8(report[2]), quint8(53));
        QCOMPARE(report.mid(3, 48), chunk);
        QCOMPARE(report.mid(51, 5), QByteArray("90123"));
        QCOMPARE(report.mid(56), zeros(8));
    }

    void bootloaderReportsSurviveFailedWrites_data()
    {
        QTest::addColumn<bool>("unplugged");
        QTest::newRow("write fails") << false;
        QTest::newRow("device gone") << true;
    }
    void bootloaderReportsSurviveFailedWrites()
    {
        QFETCH(bool, unplugged);
        auto &device = EmulatedDevice::instance();
        if (unplugged)
            device.unplugAfterWrites(0);
        else
            device.failWritesAt({0, 1});
        CommandRecord record;
        // Neither the probe nor the chunk claims a write that did not happen.
        QVERIFY(!sendBootloaderProbe(record, handle));
        const quint8 data[48] = {};
        QVERIFY(!sendFirmwareChunk(record, handle, data, 48));
    }

    void writeResultCodes_data()
    {
        QTest::addColumn<bool>("failWrite");
        QTest::addColumn<int>("expected");
        QTest::newRow("written") << false << int(ReportOk);
        QTest::newRow("hidapi error") << true << int(ReportShortWrite);
    }
    void writeResultCodes()
    {
        QFETCH(bool, failWrite);
        QFETCH(int, expected);
        if (failWrite)
            EmulatedDevice::instance().failWritesAt({0});
        CommandRecord record;
        QCOMPARE(sendCommand(record, handle, Protocol::CmdRefresh, bootPattern, 60), expected);
    }

    // Whatever a record declares, nothing is read past its payload or
    // written past the report.
    void declaredLengthNeverOverrunsBuffers_data()
    {
        QTest::addColumn<int>("declared");
        QTest::addColumn<int>("payloadSize");
        QTest::addColumn<int>("copied");
        QTest::newRow("127 declared, 4 available") << 127 << 4 << 4;
        QTest::newRow("127 declared, 127 available") << 127 << 127 << 61;
        QTest::newRow("negative length") << -5 << 10 << 0;
        QTest::newRow("63 declared, 63 available") << 63 << 63 << 61;
    }
    void declaredLengthNeverOverrunsBuffers()
    {
        QFETCH(int, declared);
        QFETCH(int, payloadSize);
        QFETCH(int, copied);
        QByteArray payload(payloadSize, '\x5A');
        CommandRecord record;
        record.code = 0x55;
        record.length = qint8(declared);
        record.payload = reinterpret_cast<const quint8 *>(payload.constData());
        record.payloadSize = payloadSize;
        QCOMPARE(writeReport(handle, record), int(ReportOk));
        const QByteArray report = lastReport();
        QCOMPARE(report.size(), 64);
        QCOMPARE(quint8(report[2]), quint8(qint8(declared)));
        QCOMPARE(report.count('\x5A'), copied);

        // sendCommand copies no more than the caller's payload holds.
        payloadStaging.fill(0x11);
        sendCommand(record, handle, 0x55, payload, qint8(declared));
        QCOMPARE(int(std::count(payloadStaging.begin(), payloadStaging.end(), quint8(0x5A))),
                 qMax(0, qMin(declared, payloadSize)));
    }

    void recordWithoutPayloadIsRefused()
    {
        CommandRecord record;
        record.length = 10;
        QCOMPARE(writeReport(handle, record), int(ReportNoBuffer));
        QCOMPARE(EmulatedDevice::instance().writtenReports().size(), 0);
    }

    void replyCountsFrom61Bytes_data()
    {
        QTest::addColumn<int>("delivered");
        QTest::addColumn<bool>("received");
        QTest::newRow("60 bytes") << 60 << false;
        QTest::newRow("61 bytes") << 61 << true;
        QTest::newRow("full 63") << 63 << true;
        QTest::newRow("nothing") << -1 << false;
        QTest::newRow("one byte") << 1 << false;
    }
    void replyCountsFrom61Bytes()
    {
        QFETCH(int, delivered);
        QFETCH(bool, received);
        auto &device = EmulatedDevice::instance();
        if (delivered < 0)
            device.setReplyFault(Protocol::ItemName, emu::EmulatedDevice::ReplyFault::NoReply);
        else if (delivered < 63)
            device.setReplyFault(Protocol::ItemName, emu::EmulatedDevice::ReplyFault::Short, delivered);
        CommandRecord record;
        sendApplicationCommand(record, handle, makeApplicationBlock(Protocol::OpRead, Protocol::ItemName));
        ReplyBuffer reply{};
        QCOMPARE(readReport(handle, reply, Protocol::ReplyTimeoutMs), received);

        // The read asks for 63 bytes with the item's time-out.
        const auto last = device.record().last();
        QCOMPARE(last.kind, emu::EmulatedDevice::Exchange::Read);
        QCOMPARE(last.length, 63);
        QCOMPARE(last.timeoutMs, 3000);
    }

    void readWithoutHandleIsNoReply()
    {
        ReplyBuffer reply{};
        QVERIFY(!readReport(nullptr, reply, 0));
        QCOMPARE(EmulatedDevice::instance().misuseCount(), 0);
    }

    void openDeviceRetries_data()
    {
        QTest::addColumn<int>("failures");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<int>("attempts");
        QTest::newRow("at once") << 0 << true << 1;
        QTest::newRow("third attempt") << 2 << true << 3;
        QTest::newRow("twentieth attempt") << 19 << true << 20;
        QTest::newRow("never") << 100 << false << 20;
    }
    void openDeviceRetries()
    {
        QFETCH(int, failures);
        QFETCH(bool, opened);
        QFETCH(int, attempts);
        auto &device = EmulatedDevice::instance();
        closeDevice(handle);
        device.clearRecord();
        device.failNextOpens(failures);

        handle = openDevice(Protocol::VendorId, Protocol::ProductId);
        QCOMPARE(handle != nullptr, opened);

        QVector<qint64> at;
        for (const auto &e : device.record())
            if (e.kind == emu::EmulatedDevice::Exchange::Open)
                at << e.atMicros;
        QCOMPARE(at.size(), attempts);
        // A 100 ms pause follows every failed attempt.
        for (int i = 1; i < at.size(); ++i)
            QVERIFY2(at[i] - at[i - 1] >= 100000, qPrintable(QString::number(at[i] - at[i - 1])));
    }

    void openDeviceGivesUpAfterTheLastPause()
    {
        auto &device = EmulatedDevice::instance();
        closeDevice(handle);
        device.setPresent(false);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!openDevice(Protocol::VendorId, Protocol::ProductId));
        QVERIFY(timer.elapsed() >= 20 * 100);
    }

private:
    hid_device *handle = nullptr;
};

QTEST_MAIN(TestReports)
#include "tst_reports.moc"
