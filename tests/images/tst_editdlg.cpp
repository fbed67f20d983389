// The image editor on its own: the picture operations and their undo, ADD
// and drop with good and hostile files, the fit, EXPORT, PREVIEW and the
// choices the editor remembers.

#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "editors/editdlg.h"
#include "images/picturefilechooser.h"
#include "images/picturefit.h"
#include "imagetests.h"
#include "testsupport.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QImageReader>
#include <QMimeData>
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

QByteArray dataFile(const char *name)
{
    QFile file(QStringLiteral(TESSEL_TEST_DATA "/") + QLatin1String(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Drags path over the editor and drops it there; whether the editor took the drag.
bool drop(editDlg &editor, const QString &path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&editor, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&editor, &dropped);
    return true;
}

void trigger(editDlg &editor, const char *action)
{
    editor.findChild<QAction *>(QLatin1String(action))->trigger();
}

const QString Refused = QStringLiteral("无法使用该图片文件：");

} // namespace

class TestEditDlg : public QObject
{
    Q_OBJECT

    ScratchDirectory scratch;
    MainWindow *window = nullptr;

private slots:
    void init()
    {
        scratchSettings();
        emu::EmulatedDevice::instance().reset();
        scratch.enter();
        window = new MainWindow;
        QVERIFY(testsupport::waitForDeviceIdle(window->controller()));
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
        QTest::addColumn<int>("fit");
        const QImage original = pattern(240, 280);
        const QImage turned = turnedClockwise(original);
        const QByteArray bmp = fileOf(pattern(100, 50), "bmp");
        const QImage added = pattern(100, 50);
        const QStringList add{"toolButton_2"};
        const QByteArray none;
        QTest::newRow("H.FLIP") << 4 << QStringList{"toolButton_7"} << none << original.mirrored(true, false) << 0 << 0;
        QTest::newRow("V.FLIP") << 4 << QStringList{"toolButton_8"} << none << original.mirrored(false, true) << 0 << 0;
        QTest::newRow("H.FLIP twice") << 4 << QStringList{"toolButton_7", "toolButton_7"} << none << original << 0 << 0;
        QTest::newRow("ROTATE") << 4 << QStringList{"toolButton_6"} << none << turned << 0 << 0;
        QTest::newRow("TRIM after ROTATE") << 4 << QStringList{"toolButton_6", "toolButton_5"} << none
                                           << turned.scaled(240, 280) << 0 << 0;
        QTest::newRow("ADD") << 4 << add << bmp << added.scaled(240, 280) << 0 << 0;
        QTest::newRow("ADD on slot 1: boot strip") << 1 << add << bmp << added.scaled(240, 40) << 0 << 0;
        QTest::newRow("ADD, TRIM on slot 1") << 1 << add + QStringList{"toolButton_5"} << bmp
                                             << added.scaled(240, 40).scaled(240, 280) << 0 << 0;
        QTest::newRow("ADD cancelled") << 4 << add << none << original << 0 << 0;
        QTest::newRow("ADD not a picture") << 4 << add << QByteArray("just some text\n") << original << 1 << 0;
        QTest::newRow("ADD absurd size") << 4 << add << hugeFile(9000, 9000) << original << 1 << 0;
        QTest::newRow("ADD absurd height") << 4 << add << hugeFile(16, 100000) << original << 1 << 0;
        QTest::newRow("ADD contained") << 4 << add << bmp
                                       << fitPicture(added, QSize(240, 280), PictureFit::Contain, Qt::white) << 0
                                       << int(PictureFit::Contain);
        QTest::newRow("ADD covering the boot strip") << 1 << add << bmp
                                                     << fitPicture(added, QSize(240, 40), PictureFit::Cover, Qt::white)
                                                     << 0 << int(PictureFit::Cover);
    }
    void operations()
    {
        QFETCH(int, slot);
        QFETCH(QStringList, buttons);
        QFETCH(QByteArray, file);
        QFETCH(QImage, expected);
        QFETCH(int, logLines);
        QFETCH(int, fit);
        QFile chosen("chosen");   // no suffix: the reader goes by the content
        QVERIFY(file.isEmpty() || (chosen.open(QIODevice::WriteOnly) && chosen.write(file) == file.size()));
        chosen.close();
        const QString path = file.isEmpty() ? QString() : chosen.fileName();
        setPictureFileChooser([path](QWidget *) { return path; });
        const int before = logMessages(window).size();
        editDlg editor(slot, 240, 280, 84, &window->controller());
        editor.setPicture(QPixmap::fromImage(pattern(240, 280)));
        child<QComboBox>(&editor, "fitComboBox")->setCurrentIndex(fit);
        for (const QString &button : buttons)
            QTest::mouseClick(child<QToolButton>(&editor, qPrintable(button)), Qt::LeftButton);
        QCOMPARE(shown(editor), expected);
        QCOMPARE(logMessages(window).size() - before, logLines);
        // Mirroring needs no scratch file, so a read-only directory cannot empty the picture.
        QVERIFY(!QFile::exists("temp.bmp"));

        // Every step undoes to the very pixels before it and redoes to the ones after.
        QCOMPARE(editor.hasUnsavedChanges(), editor.history().count() > 0);
        while (editor.history().canUndo())
            trigger(editor, "undoAction");
        QCOMPARE(shown(editor), pattern(240, 280));
        QVERIFY(!editor.hasUnsavedChanges());
        while (editor.history().canRedo())
            trigger(editor, "redoAction");
        QCOMPARE(shown(editor), expected);
    }

    // The keys: Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo.
    void undoKeys()
    {
        editDlg editor(4, 240, 280, 84, &window->controller());
        editor.setPicture(QPixmap::fromImage(pattern(240, 280)));
        editor.show();
        editor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        const QImage flipped = pattern(240, 280).mirrored(true, false);
        QTest::mouseClick(child<QToolButton>(&editor, "toolButton_7"), Qt::LeftButton);
        QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(shown(editor), pattern(240, 280));
        QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(shown(editor), flipped);
        QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&editor, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(shown(editor), flipped);
    }

    // At least 50 steps of a full slot, and never more than 64 MB of pictures.
    void historyIsBounded_data()
    {
        QTest::addColumn<QSize>("slot");
        QTest::addColumn<int>("undoable");
        QTest::newRow("240 x 280") << QSize(240, 280) << 60;
        QTest::newRow("1024 x 1024") << QSize(1024, 1024) << 16;
    }
    void historyIsBounded()
    {
        QFETCH(QSize, slot);
        QFETCH(int, undoable);
        editDlg editor(4, slot.width(), slot.height(), 84, &window->controller());
        editor.setPicture(QPixmap::fromImage(pattern(slot.width(), slot.height())));
        for (int i = 0; i < 60; ++i)
            QTest::mouseClick(child<QToolButton>(&editor, "toolButton_7"), Qt::LeftButton);
        int undone = 0;
        while (editor.history().canUndo()) {
            trigger(editor, "undoAction");
            ++undone;
        }
        QCOMPARE(undone, undoable);
        QVERIFY(qint64(editor.history().undoLimit()) * slot.width() * slot.height() * 4 <= 64 * 1024 * 1024);
    }

    // A file taken or refused, through ADD or dropped on the editor; a refusal
    // names its reason beside the picture and in the log, and changes nothing.
    void files_data()
    {
        QTest::addColumn<bool>("dropped");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("refusal");   // empty: taken
        QTest::addColumn<QRgb>("middle");       // of the picture taken, scaled to the slot

        QImage transparent(40, 30, QImage::Format_ARGB32);
        transparent.fill(qRgba(0, 0, 0, 0));
        QImage deep(40, 30, QImage::Format_RGBA64);
        deep.fill(QColor(10, 120, 240));
        QByteArray png = fileOf(pattern(64, 64), "png");
        for (bool dropped : {false, true}) {
            const auto row = [dropped](const char *name) {
                return &QTest::newRow(qPrintable(QString(dropped ? "dropped " : "ADD ") + name));
            };
            *row("not a picture") << dropped << "notes.txt" << QByteArray("just some text\n") << "文件不是图片" << QRgb(0);
            *row("zero bytes") << dropped << "empty.png" << QByteArray() << "图片文件是空的" << QRgb(0);
            *row("larger than 8192") << dropped << "huge.png" << hugeFile(9000, 16) << "图片 9000×16 大于 8192×8192" << QRgb(0);
            *row("1 x 10000") << dropped << "thin.png" << hugeFile(1, 10000) << "图片 1×10000 大于 8192×8192" << QRgb(0);
            *row("truncated") << dropped << "cut.png" << png.left(png.size() / 2) << "图片文件不完整或已损坏" << QRgb(0);
            *row("missing") << dropped << "" << QByteArray() << "图片文件不存在" << QRgb(0);
            // Transparency over the scheme's background (white), not black.
            *row("transparent") << dropped << "clear.png" << fileOf(transparent, "png") << "" << qRgb(255, 255, 255);
            *row("16-bit png") << dropped << "deep.png" << fileOf(deep, "png") << "" << qRgb(10, 120, 240);
            *row("animated gif") << dropped << "animated.gif" << dataFile("animated.gif") << "" << qRgb(255, 0, 0);
            *row("cmyk jpeg") << dropped << "cmyk.jpg" << dataFile("cmyk.jpg") << "" << qRgb(200, 40, 60);
        }
    }
    void files()
    {
        QFETCH(bool, dropped);
        QFETCH(QString, name);
        QFETCH(QByteArray, file);
        QFETCH(QString, refusal);
        QFETCH(QRgb, middle);
        const QString path = name.isEmpty() ? QStringLiteral("nothing-here.png") : name;
        if (!name.isEmpty()) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(file);
        }
        editDlg editor(4, 240, 280, 84, &window->controller());
        editor.setPicture(QPixmap::fromImage(pattern(240, 280)));
        if (dropped) {
            QVERIFY(drop(editor, path));
        } else {
            setPictureFileChooser([path](QWidget *) { return path; });
            QTest::mouseClick(child<QToolButton>(&editor, "toolButton_2"), Qt::LeftButton);
        }
        if (!refusal.isEmpty()) {
            QCOMPARE(editor.message(), Refused + refusal);
            QCOMPARE(logMessages(window).last(), Refused + refusal);
            QCOMPARE(shown(editor), pattern(240, 280));
            QCOMPARE(editor.history().count(), 0);
            return;
        }
        QCOMPARE(editor.message(), QString());
        QCOMPARE(editor.picture().size(), QSize(240, 280));
        const QRgb p = shown(editor).pixel(120, 140);
        QVERIFY2(qAbs(qRed(p) - qRed(middle)) <= 12 && qAbs(qGreen(p) - qGreen(middle)) <= 12
                     && qAbs(qBlue(p) - qBlue(middle)) <= 12,
                 qPrintable(QString::number(p, 16)));
    }

    // Only local files are taken from a drag.
    void dropsOtherThanFilesAreIgnored()
    {
        editDlg editor(4, 240, 280, 84, &window->controller());
        QMimeData data;
        data.setUrls({QUrl("https://example.com/picture.png")});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&editor, &enter);
        QVERIFY(!enter.isAccepted());
        data.setText("picture.png");
        data.setUrls({});
        QDragEnterEvent text(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&editor, &text);
        QVERIFY(!text.isAccepted());
    }

    // EXPORT writes the picture as PNG or BMP, and it reads back pixel for pixel.
    void exportRoundTrip_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");   // empty: nothing written
        QTest::addColumn<QByteArray>("format");
        QTest::newRow("png") << "out.png" << "out.png" << QByteArray("png");
        QTest::newRow("bmp") << "out.bmp" << "out.bmp" << QByteArray("bmp");
        QTest::newRow("upper-case BMP") << "OUT.BMP" << "OUT.BMP" << QByteArray("bmp");
        QTest::newRow("no suffix") << "out" << "out.png" << QByteArray("png");
        QTest::newRow("other suffix") << "out.jpg" << "out.jpg.png" << QByteArray("png");
        QTest::newRow("cancelled") << QString() << QString() << QByteArray();
        QTest::newRow("no such folder") << "missing/out.png" << QString() << QByteArray();
    }
    void exportRoundTrip()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QFETCH(QByteArray, format);
        setExportFileChooser([chosen](QWidget *) { return chosen; });
        editDlg editor(4, 240, 280, 84, &window->controller());
        editor.setPicture(QPixmap::fromImage(pattern(240, 280)));
        QTest::mouseClick(child<QToolButton>(&editor, "toolButton_3"), Qt::LeftButton);
        setExportFileChooser(nullptr);
        const QStringList files = QDir().entryList({"out*", "OUT*"}, QDir::Files);
        if (written.isEmpty()) {
            QVERIFY(files.isEmpty());
            QCOMPARE(editor.message().isEmpty(), chosen.isNull());
            return;
        }
        QCOMPARE(files, QStringList{written});
        QImageReader reader(written);
        QCOMPARE(reader.format(), format);
        QCOMPARE(reader.read().convertToFormat(QImage::Format_RGB32), pattern(240, 280));
        QCOMPARE(logMessages(window).last(), "图片已导出：" + written);
    }

    // The fit, the one-bit conversion and the inversion are remembered for the next editor;
    // without a remembered choice ADD stretches and a one-bit screen gets the threshold.
    void choicesAreRemembered()
    {
        {
            editDlg first(2, 128, 64, 0, &window->controller());
            QCOMPARE(child<QComboBox>(&first, "fitComboBox")->currentText(), QStringLiteral("Stretch"));
            QCOMPARE(child<QComboBox>(&first, "ditheringComboBox")->currentText(), QStringLiteral("Threshold"));
            QVERIFY(!child<QCheckBox>(&first, "invertCheckBox")->isChecked());
            child<QComboBox>(&first, "fitComboBox")->setCurrentIndex(2);
            child<QComboBox>(&first, "ditheringComboBox")->setCurrentIndex(1);
            child<QCheckBox>(&first, "invertCheckBox")->setChecked(true);
        }
        QCOMPARE(QSettings().value("editor/fit").toString(), QStringLiteral("cover"));
        editDlg next(2, 128, 64, 0, &window->controller());
        QCOMPARE(child<QComboBox>(&next, "fitComboBox")->currentText(), QStringLiteral("Cover"));
        QCOMPARE(child<QComboBox>(&next, "ditheringComboBox")->currentText(), QStringLiteral("Floyd–Steinberg"));
        QVERIFY(child<QCheckBox>(&next, "invertCheckBox")->isChecked());
        // A colour screen has no one-bit conversion to offer.
        editDlg colour(4, 240, 280, 84, &window->controller());
        QVERIFY(!child<QComboBox>(&colour, "ditheringComboBox")->isVisibleTo(&colour));
        QVERIFY(child<QComboBox>(&colour, "fitComboBox")->isVisibleTo(&colour));

        QSettings().setValue("editor/fit", "sideways");
        editDlg unknown(4, 240, 280, 84, &window->controller());
        QCOMPARE(child<QComboBox>(&unknown, "fitComboBox")->currentText(), QStringLiteral("Stretch"));
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
        editDlg editor(4, 240, 280, 84, &window->controller());
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
        // PREVIEW is a step like any other.
        editor.history().undo();
        QCOMPARE(shown(editor), pattern(240, 280));
        editor.history().redo();
        QCOMPARE(shown(editor), canvas);
    }
};

QTEST_MAIN(TestEditDlg)
#include "tst_editdlg.moc"
