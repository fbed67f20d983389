// The window started from a folder without imageformats/, as by a double click
// or from a terminal in the home folder: it shows its pictures from the
// per-user data folder and saves slot pictures there, and writes nothing into
// the folder it was started from.

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
#include "desktop/datafolder.h"
#include "emulator/emulateddevice.h"
#include "images/editdlg.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using emu::EmulatedDevice;
using namespace testsupport;

class TestStartAnywhere : public QObject
{
    Q_OBJECT

    QTemporaryDir scratch;
    QString programDir;

private slots:
    void initTestCase()
    {
        QVERIFY(scratch.isValid());
        programDir = QDir::currentPath();
        qputenv("XDG_DATA_HOME", QFile::encodeName(scratch.filePath("data")));
        QDir().mkpath(scratch.filePath("started-here"));
    }
    void init()
    {
        EmulatedDevice::instance().reset();
        QDir::setCurrent(scratch.filePath("started-here"));
        // What the program does first.
        useImageFolder(chooseImageFolder(dataPlaces()));
    }
    void cleanup()
    {
        useImageFolder("imageformats");
        QDir::setCurrent(programDir);
    }

    void picturesComeFromTheUserDataFolder_data()
    {
        QTest::addColumn<bool>("deviceThere");
        QTest::newRow("device attached") << true;
        QTest::newRow("no device") << false;
    }
    void picturesComeFromTheUserDataFolder()
    {
        QFETCH(bool, deviceThere);
        const QString folder = scratch.filePath("data/tessel-control/imageformats");
        QCOMPARE(imageFolder(), folder);
        for (const QString &file : QDir(programDir + "/imageformats").entryList({"USB_*.jpg", "device_image_*.png"}))
            QVERIFY2(QFileInfo::exists(folder + "/" + file), qPrintable(file));

        EmulatedDevice::instance().setPresent(deviceThere);
        MainWindow window;
        QVERIFY(showsPicture(child<QToolButton>(&window, "toolButton"),
                             folder + (deviceThere ? "/USB_ON.jpg" : "/USB_OFF.jpg")));
        const QIcon picture = child<QToolButton>(&window, "device_image")->icon();
        QCOMPARE(!iconImage(picture).isNull(), deviceThere);
        QVERIFY(QDir::current().isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    void slotPictureIsSavedThere()
    {
        MainWindow window;
        window.openSlotEditor(4, QString());
        auto *editor = qobject_cast<editDlg *>(openImageEditor.data());
        QVERIFY(editor);
        QImage picture(240, 280, QImage::Format_RGB32);
        picture.fill(qRgb(10, 200, 30));
        editor->setPicture(QPixmap::fromImage(picture));
        QTest::mouseClick(editor->findChild<QToolButton *>("toolButton_9"), Qt::LeftButton);
        QCOMPARE(EmulatedDevice::instance().slotPicture(4), picture);
        const QString saved = scratch.filePath("data/tessel-control/imageformats/page4.bmp");
        QCOMPARE(QImage(saved).convertToFormat(QImage::Format_RGB32), picture);
        QVERIFY(QDir::current().isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        delete editor;
        openImageEditor = nullptr;
    }
};

QTEST_MAIN(TestStartAnywhere)
#include "tst_startanywhere.moc"
