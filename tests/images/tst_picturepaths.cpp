// The picture files of the corpus by the editor's ways in: ADD (the same
// handling as a drop) and the slot file the editor opens. Each gives the
// picture the guard gives, fitted to the slot for ADD, or its refusal beside
// the picture and in the log.

#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "editors/editdlg.h"
#include "images/imageslot.h"
#include "images/picturefilechooser.h"
#include "imagetests.h"
#include "picturecorpus.h"
#include "testsupport.h"

#include <QToolButton>
#include <QtTest>

using namespace imagetest;
using namespace testsupport;

class TestPicturePaths : public QObject
{
    Q_OBJECT

    ScratchDirectory scratch;
    MainWindow *window = nullptr;

    static void corpusRows()
    {
        QTest::addColumn<int>("entry");
        const auto &entries = picturecorpus::entries();
        for (int i = 0; i < entries.size(); ++i)
            QTest::newRow(entries[i].file) << i;
    }

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

    // ADD stretches the picture to the slot, transparency over the scheme's
    // white; a refused file leaves the picture as it was and says why.
    void add_data() { corpusRows(); }
    void add()
    {
        QFETCH(int, entry);
        const picturecorpus::Entry &expected = picturecorpus::entries()[entry];
        const QString path = picturecorpus::path(expected.file);
        setPictureFileChooser([path](QWidget *) { return path; });
        editDlg editor(4, 240, 280, 84, &window->controller());
        const QImage before = pattern(240, 280);
        editor.setPicture(QPixmap::fromImage(before));
        QTest::mouseClick(child<QToolButton>(&editor, "toolButton_2"), Qt::LeftButton);

        const QImage shown = editor.picture().toImage().convertToFormat(QImage::Format_RGB32);
        if (expected.refusal != PictureRefusal::None) {
            const QString text = "无法使用该图片文件：" + picturecorpus::expectedProblem(expected);
            QCOMPARE(editor.message(), text);
            QCOMPARE(logMessages(window).last(), text);
            QCOMPARE(shown, before);
            return;
        }
        QCOMPARE(editor.message(), QString());
        QCOMPARE(shown.size(), QSize(240, 280));
        QString said;
        QVERIFY2(picturecorpus::showsCorners(shown, expected.corners, true, &said), qPrintable(said));
    }

    // The slot file opens as it is; one that cannot is said so, and the
    // editor starts empty.
    void slotFile_data() { corpusRows(); }
    void slotFile()
    {
        QFETCH(int, entry);
        const picturecorpus::Entry &expected = picturecorpus::entries()[entry];
        QVERIFY(QFile::copy(picturecorpus::path(expected.file), slotImagePath(4)));
        const int logged = logMessages(window).size();
        editDlg editor(4, 240, 280, 84, &window->controller());

        if (expected.refusal != PictureRefusal::None) {
            const QString text = "槽 4 的图片文件无法使用：" + picturecorpus::expectedProblem(expected);
            QVERIFY(editor.picture().isNull());
            QCOMPARE(editor.message(), text);
            QCOMPARE(logMessages(window).mid(logged), QStringList{text});
            return;
        }
        QCOMPARE(editor.message(), QString());
        QCOMPARE(logMessages(window).size(), logged);
        const QImage shown = editor.picture().toImage();
        QCOMPARE(shown.size(), expected.size);
        QString said;
        QVERIFY2(picturecorpus::showsCorners(shown, expected.corners, false, &said), qPrintable(said));
    }
};

QTEST_MAIN(TestPicturePaths)
#include "tst_picturepaths.moc"
