// The image editor on its own: its start state, the picture operations, ADD
// with good and hostile files, and PREVIEW.

#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "images/editdlg.h"
#include "images/picturefilechooser.h"
#include "imagetests.h"
#include "testsupport.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QtTest>

using namespace imagetest;
using namespace testsupport;

namespace {

QImage quadrants(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x < width / 2 ? 255 : 0, y < height / 2 ? 255 : 0, 40));
    return picture;
}

QImage shown(const editDlg &editor)
{
    return editor.picture().toImage().convertToFormat(QImage::Format_RGB32);
}

void click(editDlg &editor, const char *button)
{
    QTest::mouseClick(child<QToolButton>(&editor, button), Qt::LeftButton);
}

// A BMP header announcing a picture of the given size, with no pixels behind it.
QByteArray bmpHeader(qint32 width, qint32 height)
{
    QByteArray bytes("BM");
    QDataStream out(&bytes, QIODevice::Append);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(54) << quint32(0) << quint32(54)                       // file header
        << quint32(40) << width << height << quint16(1) << quint16(24)    // info header
        << quint32(0) << quint32(0) << qint32(2835) << qint32(2835) << quint32(0) << quint32(0);
    return bytes;
}

} // namespace

class TestEditDlg : public QObject
{
    Q_OBJECT

    ScratchDirectory scratch;

private slots:
    void init()
    {
        emu::EmulatedDevice::instance().reset();
        scratch.enter();
    }
    void cleanup()
    {
        setPictureFileChooser(nullptr);
        scratch.leave();
    }

    void pictureButtonCentred_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("label");
        QTest::newRow("240x280") << QSize(240, 280) << QPoint(20, 0) << QString("IMAGE SIZE：240x280");
        QTest::newRow("wider than the area") << QSize(320, 240) << QPoint(-20, 20) << QString("IMAGE SIZE：320x240");
        QTest::newRow("boot strip") << QSize(240, 40) << QPoint(20, 120) << QString("IMAGE SIZE：240x40");
    }
    void pictureButtonCentred()
    {
        QFETCH(QSize, size);
        QFETCH(QPoint, at);
        QFETCH(QString, label);
        MainWindow window;
        editDlg editor(4, size.width(), size.height(), 84, &window);
        auto *button = child<QPushButton>(&editor, "pushButton");
        QCOMPARE(button->geometry(), QRect(at, size));
        QCOMPARE(button->iconSize(), size);
        QCOMPARE(child<QLabel>(&editor, "label_4")->text(), label);
    }

    void startState()
    {
        QVERIFY(quadrants(240, 280).save("imageformats/page4.bmp", "bmp"));
        MainWindow window;
        editDlg editor(4, 240, 280, 84, &window);
        editor.show();
        QCOMPARE(shown(editor), quadrants(240, 280));
        QVERIFY(!child<QToolButton>(&editor, "toolButton_4")->isVisible());
        QVERIFY(!child<QRadioButton>(&editor, "radioButton")->isVisible());
        // The backdrop lies under the picture, the hint over it; the text panel over all.
        QWidget *area = child<QWidget>(&editor, "widget");
        QCOMPARE(area->children(), QObjectList({child<QLabel>(&editor, "label_3"), child<QPushButton>(&editor, "pushButton"),
                                                child<QLabel>(&editor, "label_9")}));
        QCOMPARE(editor.children().last(), child<QWidget>(&editor, "widget_2"));

        editDlg empty(5, 240, 280, 84, &window);
        QVERIFY(empty.picture().isNull());
    }

    void rotateAndTrim()
    {
        MainWindow window;
        editDlg editor(4, 240, 280, 84, &window);
        editor.setPicture(QPixmap::fromImage(quadrants(240, 280)));
        click(editor, "toolButton_6");
        const QImage turned = shown(editor);
        QCOMPARE(turned.size(), QSize(280, 240));
        // A quarter turn clockwise: the top-left quadrant (red and green) moves to the
        // top right, the bottom-left one (red) to the top left.
        QCOMPARE(turned.pixel(270, 10), qRgb(255, 255, 40));
        QCOMPARE(turned.pixel(10, 10), qRgb(255, 0, 40));
        click(editor, "toolButton_5");
        QCOMPARE(editor.picture().size(), QSize(240, 280));
    }

    void mirrors_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("horizontal");
        QTest::newRow("H.FLIP") << "toolButton_7" << true;
        QTest::newRow("V.FLIP") << "toolButton_8" << false;
    }
    void mirrors()
    {
        QFETCH(QString, button);
        QFETCH(bool, horizontal);
        MainWindow window;
        editDlg editor(4, 240, 280, 84, &window);
        const QImage original = quadrants(240, 280);
        editor.setPicture(QPixmap::fromImage(original));
        click(editor, qPrintable(button));
        QCOMPARE(shown(editor), original.mirrored(horizontal, !horizontal));
        click(editor, qPrintable(button));
        QCOMPARE(shown(editor), original);
        // Mirroring needs no scratch file, so a read-only directory cannot empty the picture.
        QVERIFY(!QFile::exists("temp.bmp"));
    }

    void add_data()
    {
        QTest::addColumn<int>("slot");
        QTest::addColumn<QByteArray>("file");   // "" for a cancelled dialog
        QTest::addColumn<QSize>("result");      // empty: the picture stays as it was
        QTest::addColumn<int>("logLines");
        QByteArray bmp;
        {
            QBuffer buffer(&bmp);
            buffer.open(QIODevice::WriteOnly);
            quadrants(100, 50).save(&buffer, "bmp");
        }
        QTest::newRow("slot 4 scaled to the slot") << 4 << bmp << QSize(240, 280) << 0;
        QTest::newRow("slot 1 gives the boot strip") << 1 << bmp << QSize(240, 40) << 0;
        QTest::newRow("cancelled") << 4 << QByteArray() << QSize() << 0;
        QTest::newRow("not a picture") << 4 << QByteArray("just some text\n") << QSize() << 1;
        QTest::newRow("absurd size") << 4 << bmpHeader(9000, 9000) << QSize() << 1;
        QTest::newRow("absurd height") << 4 << bmpHeader(16, 100000) << QSize() << 1;
    }
    void add()
    {
        QFETCH(int, slot);
        QFETCH(QByteArray, file);
        QFETCH(QSize, result);
        QFETCH(int, logLines);
        QString path;
        if (!file.isEmpty()) {
            path = scratch.path() + "/chosen.bmp";
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(file);
        }
        setPictureFileChooser([path](QWidget *) { return path; });
        MainWindow window;
        const int before = logMessages(&window).size();
        editDlg editor(slot, 240, 280, 84, &window);
        const QImage original = quadrants(30, 30);
        editor.setPicture(QPixmap::fromImage(original));
        click(editor, "toolButton_2");
        QCOMPARE(logMessages(&window).size() - before, logLines);
        if (result.isEmpty()) {
            QCOMPARE(shown(editor), original);
        } else {
            QCOMPARE(editor.picture().size(), result);
            QCOMPARE(shown(editor).pixel(0, 0), qRgb(255, 255, 40));
        }
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
        MainWindow window;
        editDlg editor(4, 240, 280, 84, &window);
        const QImage original = quadrants(240, 280);
        editor.setPicture(QPixmap::fromImage(original));
        child<QComboBox>(&editor, "comboBox_2")->setCurrentIndex(scheme);
        // Choosing a scheme alone redraws nothing.
        QCOMPARE(shown(editor), original);

        click(editor, "toolButton_10");
        const QImage canvas = shown(editor);
        QCOMPARE(canvas.size(), QSize(240, 280));
        int text = 0;
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x) {
                const QRgb p = canvas.pixel(x, y);
                QVERIFY(p == background || p == foreground);
                if (p == foreground) {
                    ++text;
                    // "Welcome" in 13-pixel letters at the top-left corner.
                    QVERIFY(x < 120 && y < 20);
                }
            }
        QVERIFY(text > 20);
    }
};

QTEST_MAIN(TestEditDlg)
#include "tst_editdlg.moc"
