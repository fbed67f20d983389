// The picture encoders on their own: start blocks, the data stream of the
// colour, boot-animation and one-bit transfers, byte for byte.

#include "imagetests.h"
#include "images/imagestream.h"

#include <QtTest>

using namespace imagetest;

namespace {

QByteArray bgr(QRgb p)
{
    return QByteArray() + char(qBlue(p)) + char(qGreen(p)) + char(qRed(p));
}

} // namespace

class TestImageStream : public QObject
{
    Q_OBJECT

private slots:
    void startBlock_data()
    {
        QTest::addColumn<int>("item");
        QTest::addColumn<int>("slot");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QByteArray>("head");
        // Only bits 0-3 of each low size byte travel.
        QTest::newRow("advert 240x280") << 0x0C << 4 << 240 << 280 << QByteArray::fromHex("770c360104000001 08");
        QTest::newRow("boot strip") << 0x0D << 1 << 240 << 40 << QByteArray::fromHex("770d360101000000 08");
        QTest::newRow("odd size, slot 300") << 0x0D << 300 << 0x1FF << 0xAB << QByteArray::fromHex("770d36012c01 0f000b");
    }
    void startBlock()
    {
        QFETCH(int, item);
        QFETCH(int, slot);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QByteArray, head);
        const ApplicationBlock block = imageStartBlock(quint8(item), slot, width, height);
        QCOMPARE(bytesOf(block, 0, 9), head);
        QCOMPARE(bytesOf(block, 9, 54), QByteArray(54, '\0'));
    }

    // Full reports of 18 pixels, then one more data report holding the
    // unfinished one's pixels over the previous report's bytes, then the end.
    void colourStream_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("pictureWidth");
        QTest::addColumn<int>("pictureHeight");
        QTest::newRow("240x280") << 240 << 280 << 240 << 280;
        QTest::newRow("divisible by 18") << 9 << 4 << 9 << 4;
        QTest::newRow("picture smaller than slot") << 20 << 10 << 7 << 3;
        QTest::newRow("fewer pixels than a report") << 2 << 2 << 2 << 2;
    }
    void colourStream()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, pictureWidth);
        QFETCH(int, pictureHeight);
        const QImage picture = pattern(pictureWidth, pictureHeight);
        ApplicationBlock block = imageStartBlock(0x0C, 4, width, height);
        const ApplicationBlock start = block;
        RecordingSink sink;
        QVERIFY(streamColourPicture(block, picture, width, height, sink));

        QByteArray expected;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                expected += bgr(x < pictureWidth && y < pictureHeight ? picture.pixel(x, y) : qRgb(0, 0, 0));
        const int full = width * height / 18;
        const int rest = expected.size() - full * 54;
        QCOMPARE(sink.data.size(), full + 1);
        for (int i = 0; i < sink.data.size(); ++i) {
            QCOMPARE(sink.counters[i], i);
            QCOMPARE(bytesOf(sink.data[i], 0, 4), QByteArray::fromHex("770c3602"));
            QCOMPARE(bytesOf(sink.data[i], 58, 5), QByteArray(5, '\0'));
        }
        for (int i = 0; i < full; ++i)
            QCOMPARE(bytesOf(sink.data[i], 4, 54), expected.mid(54 * i, 54));
        const ApplicationBlock &extra = sink.data.last();
        const ApplicationBlock &before = full > 0 ? sink.data[full - 1] : start;
        QCOMPARE(bytesOf(extra, 4, rest), expected.mid(54 * full));
        QCOMPARE(bytesOf(extra, 4 + rest, 54 - rest), bytesOf(before, 4 + rest, 54 - rest));

        QCOMPARE(sink.ends.size(), 1);
        QCOMPARE(sink.ends[0][3], quint8(0x03));
        QCOMPARE(bytesOf(sink.ends[0], 4, 59), bytesOf(extra, 4, 59));
        // After each row y >= 1: y / 3.4 + 4, then 99.
        QCOMPARE(sink.progressValues.size(), height);
        if (height == 280)
            QCOMPARE(sink.progressValues.mid(0, 4) + sink.progressValues.mid(277), QVector<int>({4, 4, 4, 5, 85, 86, 99}));
    }

    void bootFrameGeometry_data()
    {
        QTest::addColumn<int>("frame");
        QTest::addColumn<int>("x0");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<double>("brightness");
        QTest::newRow("frame 0") << 0 << 55 << 130 << 15 << 0.28;
        QTest::newRow("frame 23") << 23 << -2 << 245 << 38 << 23 * 0.03 + 0.28;
        QTest::newRow("frame 24") << 24 << -5 << 250 << 39 << 1.0;
    }
    void bootFrameGeometry()
    {
        QFETCH(int, frame);
        QFETCH(int, x0);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(double, brightness);
        const QImage source = pattern(250, 39);
        const QImage scaled = source.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QImage strip = bootAnimationFrame(source, frame);
        QCOMPARE(strip.size(), QSize(240, 40));
        for (int r = 0; r < 40; ++r)
            for (int i = 0; i < 240; ++i) {
                QRgb want = qRgb(0, 0, 0);
                if (i >= x0 && i < x0 + width && r < height) {
                    const QRgb p = scaled.pixel(i - x0, r);
                    want = qRgb(int(qRed(p) * brightness), int(qGreen(p) * brightness), int(qBlue(p) * brightness));
                }
                if (strip.pixel(i, r) != want)
                    QFAIL(qPrintable(QString("pixel %1,%2").arg(i).arg(r)));
            }
    }

    void monoStream_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("dataReports");
        QTest::addColumn<int>("bytesInEnd");
        QTest::newRow("128x64") << 128 << 64 << 18 << 52;
        QTest::newRow("height not a multiple of 8") << 30 << 11 << 1 << 6;
        QTest::newRow("exactly one report") << 54 << 8 << 1 << 0;
    }
    void monoStream()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, dataReports);
        QFETCH(int, bytesInEnd);
        QImage picture(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.setPixel(x, y, (x * 7 + y * 3) % 5 < 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        ApplicationBlock block = imageStartBlock(0x0D, 2, width, height);
        RecordingSink sink;
        QVERIFY(streamMonoPicture(block, picture, sink));
        QCOMPARE(sink.data.size(), dataReports);
        QVERIFY(sink.progressValues.isEmpty());
        QCOMPARE(sink.ends.size(), 1);

        QByteArray columns;
        for (int band = 0; band < height; band += 8)
            for (int x = 0; x < width; ++x) {
                quint8 c = 0;
                for (int i = 0; i < 8 && band + i < height; ++i)
                    c |= quint8((qRed(picture.pixel(x, band + i)) > 128) << i);
                columns += char(c);
            }
        QByteArray sent;
        for (const auto &b : sink.data)
            sent += bytesOf(b, 4, 54);
        QCOMPARE(sent, columns.left(54 * dataReports));
        const ApplicationBlock &end = sink.ends[0];
        QCOMPARE(end[3], quint8(0x03));
        QCOMPARE(bytesOf(end, 4, bytesInEnd), columns.mid(54 * dataReports));
        // The end report's other bytes are those the last data report left.
        QCOMPARE(bytesOf(end, 4 + bytesInEnd, 54 - bytesInEnd),
                 bytesOf(sink.data.last(), 4 + bytesInEnd, 54 - bytesInEnd));
    }

    void monoBrightness_data()
    {
        QTest::addColumn<QRgb>("pixel");
        QTest::addColumn<bool>("set");
        QTest::newRow("red 129") << qRgb(129, 0, 0) << true;
        QTest::newRow("green 129") << qRgb(0, 129, 0) << true;
        QTest::newRow("blue 129") << qRgb(0, 0, 129) << true;
        QTest::newRow("grey 128") << qRgb(128, 128, 128) << false;
    }
    void monoBrightness()
    {
        QFETCH(QRgb, pixel);
        QFETCH(bool, set);
        QImage picture(1, 3, QImage::Format_RGB32);
        picture.fill(qRgb(0, 0, 0));
        picture.setPixel(0, 2, pixel);
        ApplicationBlock block = imageStartBlock(0x0D, 2, 1, 3);
        RecordingSink sink;
        streamMonoPicture(block, picture, sink);
        QCOMPARE(sink.ends[0][4], quint8(set ? 0x04 : 0x00));
    }

    // The bytes on the wire are the values pixelColor reports, whatever the picture's format.
    void pixelValuesMatchPixelColor_data()
    {
        QTest::addColumn<int>("format");
        for (QImage::Format f : {QImage::Format_ARGB32_Premultiplied, QImage::Format_RGB16, QImage::Format_Indexed8,
                                 QImage::Format_RGB888, QImage::Format_Mono, QImage::Format_RGBA64_Premultiplied,
                                 QImage::Format_A2RGB30_Premultiplied, QImage::Format_ARGB4444_Premultiplied})
            QTest::newRow(QByteArray::number(int(f)).constData()) << int(f);
    }
    void pixelValuesMatchPixelColor()
    {
        QFETCH(int, format);
        QImage source(37, 11, QImage::Format_ARGB32);
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                source.setPixel(x, y, qRgba(x * 7, y * 23, x * y, 40 + 5 * x));
        const QImage picture = source.convertToFormat(QImage::Format(format));
        const QImage values = pixelValues(picture);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const QColor c = picture.pixelColor(x, y);
                const QRgb v = values.pixel(x, y);
                if (qRed(v) != c.red() || qGreen(v) != c.green() || qBlue(v) != c.blue())
                    QFAIL(qPrintable(QString("pixel %1,%2").arg(x).arg(y)));
            }
    }
};

QTEST_GUILESS_MAIN(TestImageStream)
#include "tst_imagestream.moc"
