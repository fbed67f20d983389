// The image editor on its own: the picture operations, ADD with good and
// hostile files, and PREVIEW.

#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "images/editdlg.h"
#include "images/picturefilechooser.h"
#include "imagetests.h"
#include "testsupport.h"

#include <QComboBox>
#include <QToolButton>
#include <QtTest>

using namespace imagetest;
using namespace testsupport;

namespace {

// A quarter turn clockwise: the top row becomes the right-hand column.
QImage turnedClockwise(const QImage &picture)
{
    QImage turned(picture.height(), picture.width(), QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            turned.setPixel(picture.height() - 1 - y, x, picture.pixel(x, y));
    return turned;
}

QImage shown(const editDlg &editor)
{
    return editor.picture().toImage().convertToFormat(QImage::Format_RGB32);
}

// A picture file as the chosen file's bytes.
QByteArray fileOf(const QImage &picture, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

// A small file that decodes to a huge picture.
QByteArray hugeFile(int width, int height)
{
    QImage picture(width, height, QImage::Format_Mono);
    picture.fill(0);
    return fileOf(picture, "png");
}

} // namespace

class TestEditDlg : public QObject
{
    Q_OBJECT

    ScratchDirectory scratch;
    MainWindow *window = nullptr;

private slots:
    void init()
    {
        emu::EmulatedDevice::instance().reset();
        scratch.enter();
        window = new MainWindow;
    }
    void cleanup()
    {
        setPictureFileChooser(nullptr);
        delete window;
        scratch.leave();
    }

    // Each button works on the picture shown; ADD replaces it with a chosen file scaled to the slot.
    void operations_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QByteArray>("file");   // what ADD is given; empty: the dialog is cancelled
        QTest::addColumn<QImage>("expected");
        QTest::addColumn<int>("logLines");
        const QImage original = pattern(240, 280);
        const QImage turned = turnedClockwise(original);
        const QByteArray bmp = fileOf(pattern(100, 50), "bmp");
        const QImage added = pattern(100, 50);
        const QStringList add{"toolButton_2"};
        const QByteArray none;
        QTest::newRow("H.FLIP") << 4 << QStringList{"toolButton_7"} << none << original.mirrored(true, false) << 0;
        QTest::newRow("V.FLIP") << 4 << QStringList{"toolButton_8"} << none << original.mirrored(false, true) << 0;
        QTest::newRow("H.FLIP twice") << 4 << QStringList{"toolButton_7", "toolButton_7"} << none << original << 0;
        QTest::newRow("ROTATE") << 4 << QStringList{"toolButton_6"} << none << turned << 0;
        QTest::newRow("TRIM after ROTATE") << 4 << QStringList{"toolButton_6", "toolButton_5"} << none
                                           << turned.scaled(240, 280) << 0;
        QTest::newRow("ADD") << 4 << add << bmp << added.scaled(240, 280) << 0;
        QTest::newRow("ADD on slot 1: boot strip") << 1 << add << bmp << added.scaled(240, 40) << 0;
        QTest::newRow("ADD, TRIM on slot 1") << 1 << add + QStringList{"toolButton_5"} << bmp
                                             << added.scaled(240, 40).scaled(240, 280) << 0;
        QTest::newRow("ADD cancelled") << 4 << add << none << original << 0;
        QTest::newRow("ADD not a picture") << 4 << add << QByteArray("just some text\n") << original << 1;
        QTest::newRow("ADD absurd size") << 4 << add << hugeFile(9000, 9000) << original << 1;
        QTest::newRow("ADD absurd height") << 4 << add << hugeFile(16, 100000) << original << 1;
    }
    void operations()
    {
        QFETCH(int, slot);
        QFETCH(QStringList, buttons);
        QFETCH(QByteArray, file);
        QFETCH(QImage, expected);
        QFETCH(int, logLines);
        QFile chosen("chosen");   // no suffix: the reader goes by the content
        QVERIFY(file.isEmpty() || (chosen.open(QIODevice::WriteOnly) && chosen.write(file) == file.size()));
        chosen.close();
        const QString path = file.isEmpty() ? QString() : chosen.fileName();
        setPictureFileChooser([path](QWidget *) { return path; });
        const int before = logMessages(window).size();
        editDlg editor(slot, 240, 280, 84, &window->session());
        editor.setPicture(QPixmap::fromImage(pattern(240, 280)));
        for (const QString &button : buttons)
            QTest::mouseClick(child<QToolButton>(&editor, qPrintable(button)), Qt::LeftButton);
        QCOMPARE(shown(editor), expected);
        QCOMPARE(logMessages(window).size() - before, logLines);
        // Mirroring needs no scratch file, so a read-only directory cannot empty the picture.
        QVERIFY(!QFile::exists("temp.bmp"));
    }

    void preview_data()
    {
        QTest::addColumn<int>("scheme");
        QTest::addColumn<QRgb>("background");
        QTest::addColumn<QRgb>("foreground");
        QTest::newRow("black on white") << 0 << qRgb(255, 255, 255) << qRgb(0, 0, 0);
        QTest::newRow("white on black") << 1 << qRgb(0, 0, 0) << qRgb(255, 255, 255);
    }
    void preview()
    {
        QFETCH(int, scheme);
        QFETCH(QRgb, background);
        QFETCH(QRgb, foreground);
        editDlg editor(4, 240, 280, 84, &window->session());
        editor.setPicture(QPixmap::fromImage(pattern(240, 280)));
        child<QComboBox>(&editor, "comboBox_2")->setCurrentIndex(scheme);
        // Choosing a scheme alone redraws nothing.
        QCOMPARE(shown(editor), pattern(240, 280));

        QTest::mouseClick(child<QToolButton>(&editor, "toolButton_10"), Qt::LeftButton);
        const QImage canvas = shown(editor);
        QCOMPARE(canvas.size(), QSize(240, 280));
        // "Welcome" in 13-pixel letters at the top-left corner, in the scheme's two colours only.
        int text = 0;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x) {
                const QRgb p = canvas.pixel(x, y);
                QVERIFY(p == background || (p == foreground && x < 120 && y < 20 && ++text));
            }
        QVERIFY(text > 20);
    }
};

QTEST_MAIN(TestEditDlg)
#include "tst_editdlg.moc"
