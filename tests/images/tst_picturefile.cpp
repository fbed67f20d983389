// The picture-file guard against files as other programs write them: the
// header's stated size read as the reader means it, the picture decoded the
// right way up, and each refusal with its reason.

#include "images/picturefile.h"
#include "picturecorpus.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

// A 24-bit BMP of width × height whose top row is red and the rest blue, as
// Windows writers store it: rows bottom-up, or top-down with a negative height.
QByteArray bmp24(int width, int height, bool topDown)
{
    const int stride = (width * 3 + 3) & ~3;
    const int pixels = stride * height;
    QByteArray file(54 + pixels, '\0');
    auto put16 = [&](int at, quint16 v) { qToLittleEndian(v, file.data() + at); };
    auto put32 = [&](int at, qint32 v) { qToLittleEndian(v, file.data() + at); };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, file.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, width);
    put32(22, topDown ? -height : height);
    put16(26, 1);
    put16(28, 24);
    put32(34, pixels);
    for (int row = 0; row < height; ++row) {
        const int stored = topDown ? row : height - 1 - row;
        char *line = file.data() + 54 + stored * stride;
        for (int x = 0; x < width; ++x) {
            const bool top = row == 0;
            line[x * 3 + 0] = char(top ? 0 : 255);   // blue
            line[x * 3 + 1] = 0;                     // green
            line[x * 3 + 2] = char(top ? 255 : 0);   // red
        }
    }
    return file;
}

} // namespace

class TestPictureFile : public QObject
{
    Q_OBJECT

private slots:
    void bmpBothWaysUp_data()
    {
        QTest::addColumn<bool>("topDown");
        QTest::addColumn<QSize>("size");
        QTest::newRow("bottom-up") << false << QSize(5, 3);
        QTest::newRow("top-down") << true << QSize(5, 3);
        QTest::newRow("top-down, one row") << true << QSize(7, 1);
    }

    void bmpBothWaysUp()
    {
        QFETCH(bool, topDown);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("picture.bmp"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bmp24(size.width(), size.height(), topDown));
        file.close();

        QString problem;
        const QImage picture = readPictureFile(path, &problem);
        QVERIFY2(!picture.isNull(), qPrintable(problem));
        QCOMPARE(picture.size(), size);
        QCOMPARE(picture.pixel(0, 0), qRgb(255, 0, 0));
        if (size.height() > 1)
            QCOMPARE(picture.pixel(size.width() - 1, size.height() - 1), qRgb(0, 0, 255));
    }

    // Every file of the corpus: the picture (size and corners, upright) or
    // the refusal and its reason, the same from the file and from memory.
    void corpus_data()
    {
        QTest::addColumn<int>("entry");
        const auto &entries = picturecorpus::entries();
        for (int i = 0; i < entries.size(); ++i)
            QTest::newRow(entries[i].file) << i;
    }

    void corpus()
    {
        QFETCH(int, entry);
        const picturecorpus::Entry &expected = picturecorpus::entries()[entry];
        const QString path = picturecorpus::path(expected.file);
        const PictureFile file = loadPictureFile(path);
        QCOMPARE(int(file.refusal), int(expected.refusal));
        QCOMPARE(file.problem(), picturecorpus::expectedProblem(expected));
        QCOMPARE(file.picture.isNull(), expected.refusal != PictureRefusal::None);
        if (expected.refusal == PictureRefusal::TooLarge)
            QCOMPARE(file.statedSize, expected.size);
        if (expected.refusal == PictureRefusal::None) {
            QCOMPARE(file.picture.size(), expected.size);
            QString said;
            QVERIFY2(picturecorpus::showsCorners(file.picture, expected.corners, false, &said), qPrintable(said));
        }

        QFile source(path);
        QVERIFY(source.open(QIODevice::ReadOnly));
        QByteArray bytes = source.readAll();
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        QString problem;
        const QImage fromMemory = readPicture(&buffer, &problem);
        QCOMPARE(problem, file.problem());
        QCOMPARE(fromMemory, file.picture);
    }
};

QTEST_GUILESS_MAIN(TestPictureFile)
#include "tst_picturefile.moc"
