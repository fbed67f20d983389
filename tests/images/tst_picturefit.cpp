// How ADD fits a picture to a slot: the geometry of contain and cover for
// wide, tall, square and thin pictures on a full slot and on the boot strip,
// stretch exactly as ADD always scaled, and transparency over the background.

#include "images/picturefit.h"

#include <QPainter>
#include <QPixmap>
#include <QtTest>

namespace {

const QRgb Background = qRgb(10, 200, 30);

QImage flat(const QSize &size, QRgb colour, QImage::Format format = QImage::Format_RGB32)
{
    QImage picture(size, format);
    picture.fill(colour);
    return picture;
}

// The smallest rectangle holding every pixel that is not the background.
QRect notBackground(const QImage &picture)
{
    QRect found;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) != Background)
                found |= QRect(x, y, 1, 1);
    return found;
}

QImage rgb(const QImage &picture)
{
    return picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestPictureFit : public QObject
{
    Q_OBJECT

private slots:
    void geometry_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("slot");
        QTest::addColumn<QRect>("contained");   // where contain puts the picture
        QTest::addColumn<QRect>("covered");     // the part of the picture cover shows
        const QSize full(240, 280), strip(240, 40);
        QTest::newRow("wide on full") << QSize(400, 300) << full << QRect(0, 50, 240, 180) << QRect(71, 0, 257, 300);
        QTest::newRow("tall on full") << QSize(300, 400) << full << QRect(15, 0, 210, 280) << QRect(0, 25, 300, 350);
        QTest::newRow("square on full") << QSize(100, 100) << full << QRect(0, 20, 240, 240) << QRect(7, 0, 86, 100);
        QTest::newRow("same shape") << QSize(480, 560) << full << QRect(0, 0, 240, 280) << QRect(0, 0, 480, 560);
        QTest::newRow("wide on strip") << QSize(400, 300) << strip << QRect(93, 0, 53, 40) << QRect(0, 116, 400, 67);
        QTest::newRow("tall on strip") << QSize(300, 400) << strip << QRect(105, 0, 30, 40) << QRect(0, 175, 300, 50);
        QTest::newRow("square on strip") << QSize(100, 100) << strip << QRect(100, 0, 40, 40) << QRect(0, 41, 100, 17);
        // A sliver keeps at least one pixel of itself, and cover takes one pixel of it.
        QTest::newRow("1 x 8000 on full") << QSize(1, 8000) << full << QRect(119, 0, 1, 280) << QRect(0, 3999, 1, 1);
        QTest::newRow("8000 x 1 on strip") << QSize(8000, 1) << strip << QRect(0, 19, 240, 1) << QRect(3997, 0, 6, 1);
    }
    void geometry()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, slot);
        QFETCH(QRect, contained);
        QFETCH(QRect, covered);
        QCOMPARE(containedRect(picture, slot), contained);
        QCOMPARE(coveredPart(picture, slot), covered);

        // Contain: the whole picture in its place, the background around it.
        const QRgb colour = qRgb(200, 30, 60);
        const QImage fitted = fitPicture(flat(picture, colour), slot, PictureFit::Contain, Background);
        QCOMPARE(fitted.size(), slot);
        QCOMPARE(notBackground(fitted), contained);
        QCOMPARE(fitted.pixel(contained.center()), colour);

        // Cover: only the covered part (framed in red), nothing of the rest (blue), fills the slot.
        QImage source = flat(picture, qRgb(0, 0, 255));
        {
            QPainter painter(&source);
            painter.fillRect(covered, qRgb(255, 0, 0));
            if (covered.width() > 2 && covered.height() > 2)
                painter.fillRect(covered.adjusted(1, 1, -1, -1), qRgb(0, 255, 0));
        }
        const QImage filled = rgb(fitPicture(source, slot, PictureFit::Cover, Background));
        QCOMPARE(filled.size(), slot);
        for (int y = 0; y < filled.height(); ++y)
            for (int x = 0; x < filled.width(); ++x)
                QVERIFY2(qBlue(filled.pixel(x, y)) == 0, qPrintable(QString("blue at %1,%2").arg(x).arg(y)));
        QVERIFY(qRed(filled.pixel(0, 0)) > 0);
        QVERIFY(qRed(filled.pixel(slot.width() - 1, slot.height() - 1)) > 0);
    }

    // Stretch gives exactly the pixels ADD gave before fits existed, whatever the file's format.
    void stretchAsBefore_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QSize>("slot");
        for (QImage::Format f : {QImage::Format_RGB32, QImage::Format_Indexed8, QImage::Format_RGB888,
                                 QImage::Format_Mono, QImage::Format_Grayscale8, QImage::Format_ARGB32,
                                 QImage::Format_RGB16, QImage::Format_RGBA64}) {
            QTest::newRow(qPrintable(QString("format %1 on full").arg(int(f)))) << int(f) << QSize(240, 280);
            QTest::newRow(qPrintable(QString("format %1 on strip").arg(int(f)))) << int(f) << QSize(240, 40);
        }
    }
    void stretchAsBefore()
    {
        QFETCH(int, format);
        QFETCH(QSize, slot);
        QImage source(173, 91, QImage::Format_RGB32);
        for (int y = 0; y < source.height(); ++y)
            for (int x = 0; x < source.width(); ++x)
                source.setPixel(x, y, qRgb(x * 3, y * 5, (x ^ y) * 2));
        const QImage picture = source.convertToFormat(QImage::Format(format));
        const QImage before = QPixmap::fromImage(picture).scaled(slot, Qt::IgnoreAspectRatio, Qt::FastTransformation).toImage();
        QCOMPARE(rgb(fitPicture(picture, slot, PictureFit::Stretch, Background)), rgb(before));
    }

    // Transparent parts are laid over the background, never shown as black.
    void transparency_data()
    {
        QTest::addColumn<int>("fit");
        QTest::newRow("stretch") << int(PictureFit::Stretch);
        QTest::newRow("contain") << int(PictureFit::Contain);
        QTest::newRow("cover") << int(PictureFit::Cover);
    }
    void transparency()
    {
        QFETCH(int, fit);
        for (QImage::Format format : {QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied,
                                      QImage::Format_RGBA64}) {
            const QImage clear = flat(QSize(60, 70), qRgba(0, 0, 0, 0), QImage::Format_ARGB32).convertToFormat(format);
            const QImage fitted = rgb(fitPicture(clear, QSize(24, 28), PictureFit(fit), Background));
            QCOMPARE(fitted, flat(QSize(24, 28), Background));

            QImage half(60, 70, QImage::Format_ARGB32);
            half.fill(qRgba(250, 0, 0, 128));
            const QRgb blended = rgb(fitPicture(half.convertToFormat(format), QSize(24, 28), PictureFit(fit),
                                                Background)).pixel(12, 14);
            QVERIFY2(qAbs(qRed(blended) - 130) <= 2 && qAbs(qGreen(blended) - 100) <= 2 && qAbs(qBlue(blended) - 15) <= 2,
                     qPrintable(QString::number(blended, 16)));
        }
    }

    void nothingToFit()
    {
        QVERIFY(fitPicture(QImage(), QSize(240, 280), PictureFit::Contain, Background).isNull());
        QVERIFY(fitPicture(flat(QSize(5, 5), Background), QSize(0, 280), PictureFit::Stretch, Background).isNull());
    }

    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("known");
        QTest::addColumn<int>("fit");
        QTest::newRow("stretch") << "stretch" << true << int(PictureFit::Stretch);
        QTest::newRow("contain") << "contain" << true << int(PictureFit::Contain);
        QTest::newRow("cover") << "cover" << true << int(PictureFit::Cover);
        QTest::newRow("capitals") << "Cover" << false << -1;
        QTest::newRow("padded") << " contain" << false << -1;
        QTest::newRow("empty") << "" << false << -1;
        QTest::newRow("other") << "fill" << false << -1;
    }
    void names()
    {
        QFETCH(QString, name);
        QFETCH(bool, known);
        QFETCH(int, fit);
        PictureFit parsed = PictureFit(-1);
        QCOMPARE(parsePictureFit(name, parsed), known);
        QCOMPARE(int(parsed), fit);
        if (known)
            QCOMPARE(pictureFitName(parsed), name);
    }
};

QTEST_MAIN(TestPictureFit)
#include "tst_picturefit.moc"
