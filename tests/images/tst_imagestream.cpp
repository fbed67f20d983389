// The picture encoder reads pixels through scanlines; the bytes it sends must
// still be the values QImage::pixelColor reports, whatever the picture's format.

#include "images/imagestream.h"

#include <QtTest>

class TestImageStream : public QObject
{
    Q_OBJECT

private slots:
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
