// Decoding what the device says about itself, byte for byte.

#include "device/deviceinfo.h"

#include <QtTest>

namespace {

ReplyBuffer replyWith(int offset, const QByteArray &bytes)
{
    ReplyBuffer reply{};
    for (int i = 0; i < bytes.size() && offset + i < int(reply.size()); ++i)
        reply[size_t(offset + i)] = quint8(bytes[i]);
    return reply;
}

} // namespace

class TestDeviceInfo : public QObject
{
    Q_OBJECT

private slots:
    void name_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // from offset 4: name end, then name
        QTest::addColumn<QString>("name");
        QTest::newRow("n = 3 gives four letters") << QByteArray("\x03" "ABCDE") << "ABCD";
        QTest::newRow("n = 4 takes the fifth byte") << QByteArray("\x04" "ABCDE") << "ABCDE";
        QTest::newRow("zero inside the name is kept")
            << QByteArray("\x02" "A\0C", 4) << QString::fromLatin1("A\0C", 3);
        QTest::newRow("Latin-1 bytes") << QByteArray("\x01" "\xE9\xFF") << QString::fromLatin1("\xE9\xFF");
        QByteArray past(60, 'x');
        past[0] = char(200); // runs past the buffer: cut at offset 63
        QTest::newRow("n past the end is cut") << past << QString(59, 'x');
    }
    void name()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        QCOMPARE(decodeDeviceName(replyWith(4, bytes)), name);
    }

    void nameEndZeroTakesOffsets5To63()
    {
        QByteArray bytes(60, '\0');
        for (int i = 1; i < 60; ++i)
            bytes[i] = char('0' + i % 10);
        const QString name = decodeDeviceName(replyWith(4, bytes));
        QCOMPARE(name.size(), 59);
        QCOMPARE(name, QString::fromLatin1(bytes.mid(1)));
    }

    void firmwareVersion_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("version");
        QTest::newRow("ended by zero") << QByteArray("V1.0.2\0junk", 11) << "V1.0.2";
        QTest::newRow("empty") << QByteArray("\0V1", 3) << "";
        QByteArray full(60, 'v');
        QTest::newRow("no zero byte: offsets 4-63") << full << QString(60, 'v');
    }
    void firmwareVersion()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, version);
        QCOMPARE(decodeFirmwareVersion(replyWith(4, bytes)), version);
    }

    void screenAndRanges_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // offsets 4..21
        QTest::addColumn<QString>("size");
        QTest::addColumn<QString>("power");
        QTest::addColumn<QString>("temperature");
        QTest::addColumn<QString>("support");
        QTest::newRow("device example")
            << QByteArray("1.69 \x00\x05\x00\x50\x00\xC8\x02\x58\x00\x64\x01\x3C" "S", 18)
            << "1.69 inch" << "5-80 W" << "200-600°F/100-316°C" << "Support";
        QTest::newRow("'N' flag, size with zero bytes")
            << QByteArray("0.9\0\0\x00\x01\x00\xC8\x01\x2C\x02\x26\x00\x96\x01\x22" "N", 18)
            << QString::fromLatin1("0.9\0\0inch", 9) << "1-200 W" << "300-550°F/150-290°C"
            << "not support";
        QTest::newRow("zero flag is supported, full 16 bits")
            << QByteArray("     \xFF\xFF\xFF\xFF\x00\x00\x00\x00\x80\x00\x00\x00\x00", 18)
            << "     inch" << "65535-65535 W" << "0-0°F/32768-0°C" << "Support";
    }
    void screenAndRanges()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, size);
        QFETCH(QString, power);
        QFETCH(QString, temperature);
        QFETCH(QString, support);
        DeviceInfo info;
        applyScreenAndRanges(info, decodeScreenAndRanges(replyWith(4, bytes)));
        QCOMPARE(screenSizeText(info.screen), size);
        QCOMPARE(powerRangeText(info.screen), power);
        QCOMPARE(temperatureRangeText(info.screen), temperature);
        QCOMPARE(info.supportText, support);
    }

    void identificationKeepsAllFifteenBytes()
    {
        const QByteArray id("TSL\0VM01\0\0\0\0\0\0Zjunk", 19);
        QCOMPARE(decodeIdentification(replyWith(3, id)), QString::fromLatin1(id.constData(), 15));
    }

    void picturePath_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::newRow("plain") << "ABCD" << "imageformats/device_image_ABCD.png";
        QTest::newRow("hyphen and space") << "VELTRA-MINI 2" << "imageformats/device_image_VELTRA-MINI 2.png";
        QTest::newRow("Latin-1 letter") << QString::fromLatin1("Caf\xE9") << QString::fromLatin1("imageformats/device_image_Caf\xE9.png");
        QTest::newRow("slash") << "../../etc/passwd" << "";
        QTest::newRow("separator only") << "a/b" << "";
        QTest::newRow("backslash") << "a\\b" << "";
        QTest::newRow("dot dot") << "x..y" << "";
        QTest::newRow("zero character") << QString::fromLatin1("AB\0", 3) << "";
        QTest::newRow("newline") << "AB\nC" << "";
        QTest::newRow("C1 control") << QString::fromLatin1("AB\x85") << "";
    }
    void picturePath()
    {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QCOMPARE(devicePicturePath(name), path);
    }
};

QTEST_APPLESS_MAIN(TestDeviceInfo)
#include "tst_deviceinfo.moc"
