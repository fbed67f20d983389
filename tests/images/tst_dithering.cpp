// One-bit conversion: error diffusion keeps the shades of a picture as dot
// density, its output passes the one-bit stream's threshold unchanged, and
// "none" leaves the picture (and so today's threshold) alone.

#include "images/dithering.h"

#include <QtTest>

namespace {

QImage flat(int width, int height, QRgb colour)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

// The stream's rule for a lit pixel: a channel above 128.
bool lit(QRgb p)
{
    return qRed(p) > 128 || qGreen(p) > 128 || qBlue(p) > 128;
}

double litShare(const QImage &picture)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            count += lit(picture.pixel(x, y));
    return double(count) / (picture.width() * picture.height());
}

// One line per row, '#' where the stream lights the pixel.
QStringList rows(const QImage &picture)
{
    QStringList lines;
    for (int y = 0; y < picture.height(); ++y) {
        QString line;
        for (int x = 0; x < picture.width(); ++x)
            line += lit(picture.pixel(x, y)) ? '#' : '.';
        lines << line;
    }
    return lines;
}

} // namespace

class TestDithering : public QObject
{
    Q_OBJECT

private slots:
    // A flat colour comes out with as many lit dots as its luminance asks
    // for; the threshold alone would light all or nothing.
    void shades_data()
    {
        QTest::addColumn<QRgb>("colour");
        QTest::addColumn<double>("share");
        QTest::newRow("black") << qRgb(0, 0, 0) << 0.0;
        QTest::newRow("white") << qRgb(255, 255, 255) << 1.0;
        QTest::newRow("dark grey") << qRgb(32, 32, 32) << 32 / 255.0;
        QTest::newRow("mid grey") << qRgb(128, 128, 128) << 128 / 255.0;
        QTest::newRow("light grey") << qRgb(200, 200, 200) << 200 / 255.0;
        // Luminance, not the brightest channel: full blue is dark, full green bright.
        QTest::newRow("blue") << qRgb(0, 0, 255) << 29 / 255.0;
        QTest::newRow("green") << qRgb(0, 255, 0) << 150 / 255.0;
    }
    void shades()
    {
        QFETCH(QRgb, colour);
        QFETCH(double, share);
        const QImage dithered = ditherForOneBit(flat(64, 64, colour), Dithering::FloydSteinberg);
        QCOMPARE(dithered.size(), QSize(64, 64));
        QVERIFY2(qAbs(litShare(dithered) - share) < 0.02, qPrintable(QString::number(litShare(dithered))));
        // Only black and white: the stream sends exactly these bits.
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) {
                const QRgb p = dithered.pixel(x, y);
                QVERIFY(p == qRgb(0, 0, 0) || p == qRgb(255, 255, 255));
            }
    }

    // A left-to-right gradient: the known pattern, the same for the editor and the command line.
    void gradient()
    {
        QImage ramp(16, 6, QImage::Format_RGB32);
        for (int y = 0; y < ramp.height(); ++y)
            for (int x = 0; x < ramp.width(); ++x)
                ramp.setPixel(x, y, qRgb(x * 17, x * 17, x * 17));
        const QStringList expected{
            "......#.#.######",
            "....#.#.##.#####",
            ".....#..#.##.###",
            "...#..#.#.######",
            "....#..#.#.#.###",
            ".....#.#.#######",
        };
        QCOMPARE(rows(ditherForOneBit(ramp, Dithering::FloydSteinberg)), expected);
    }

    // "None" hands the picture on untouched; inversion flips every bit the stream would send.
    void noneAndInvert_data()
    {
        QTest::addColumn<int>("dithering");
        QTest::newRow("none") << int(Dithering::None);
        QTest::newRow("floyd-steinberg") << int(Dithering::FloydSteinberg);
    }
    void noneAndInvert()
    {
        QFETCH(int, dithering);
        QImage picture(37, 19, QImage::Format_RGB32);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                picture.setPixel(x, y, qRgb(x * 7, 120 + y, (x * y) & 0xFF));
        const QImage kept = oneBitPicture(picture, Dithering(dithering), false);
        if (Dithering(dithering) == Dithering::None)
            QCOMPARE(kept.cacheKey(), picture.cacheKey());
        const QStringList straight = rows(kept);
        QStringList flipped = rows(oneBitPicture(picture, Dithering(dithering), true));
        for (QString &line : flipped)
            for (QChar &c : line)
                c = c == '#' ? '.' : '#';
        QCOMPARE(flipped, straight);
    }

    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("known");
        QTest::addColumn<int>("dithering");
        QTest::newRow("none") << "none" << true << int(Dithering::None);
        QTest::newRow("floyd-steinberg") << "floyd-steinberg" << true << int(Dithering::FloydSteinberg);
        QTest::newRow("capitals") << "Floyd-Steinberg" << false << -1;
        QTest::newRow("empty") << "" << false << -1;
        QTest::newRow("other") << "threshold" << false << -1;
    }
    void names()
    {
        QFETCH(QString, name);
        QFETCH(bool, known);
        QFETCH(int, dithering);
        Dithering parsed = Dithering(-1);
        QCOMPARE(parseDithering(name, parsed), known);
        QCOMPARE(int(parsed), dithering);
        if (known)
            QCOMPARE(ditheringName(parsed), name);
    }

    void nothingToDither()
    {
        QVERIFY(ditherForOneBit(QImage(), Dithering::FloydSteinberg).isNull());
        QVERIFY(invertForOneBit(QImage()).isNull());
    }
};

QTEST_GUILESS_MAIN(TestDithering)
#include "tst_dithering.moc"
