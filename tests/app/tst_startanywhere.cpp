// The window started from a folder without imageformats/, as by a double click
// or from a terminal in the home folder: it shows its pictures from the
// per-user data folder, saves slot pictures there, and writes nothing into the
// folder it was started from.

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
#include "desktop/datafolder.h"
#include "emulator/emulateddevice.h"
#include "editors/editdlg.h"
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

private slots:
    void startedInAnEmptyFolder()
    {
        QTemporaryDir scratch;
        const QString programDir = QDir::currentPath();
        qputenv("XDG_DATA_HOME", QFile::encodeName(scratch.filePath("data")));
        QDir().mkpath(scratch.filePath("started-here"));
        QDir::setCurrent(scratch.filePath("started-here"));
        useImageFolder(chooseImageFolder(dataPlaces()));   // what the program does first

        const QString folder = scratch.filePath("data/tessel-control/imageformats");
        QCOMPARE(imageFolder(), folder);
        {
            MainWindow window;
            QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
            QVERIFY(showsPicture(child<QToolButton>(&window, "toolButton"), folder + "/USB_ON.jpg"));
            QVERIFY(showsPicture(child<QToolButton>(&window, "device_image"),
                                 folder + "/device_image_VELTRA-MINI.png"));

            window.openSlotEditor(4, QString());
            QVERIFY(waitForDeviceIdle(window.controller()));
            QPointer<editDlg> editor = qobject_cast<editDlg *>(openImageEditor.data());
            QVERIFY(editor);
            QImage picture(240, 280, QImage::Format_RGB32);
            picture.fill(qRgb(10, 200, 30));
            editor->setPicture(QPixmap::fromImage(picture));
            QTest::mouseClick(editor->findChild<QToolButton *>("toolButton_9"), Qt::LeftButton);
            QVERIFY(waitForDeviceIdle(window.controller()));
            QCOMPARE(EmulatedDevice::instance().slotPicture(4), picture);
            QCOMPARE(QImage(folder + "/page4.bmp").convertToFormat(QImage::Format_RGB32), picture);
            delete editor;
        }
        QVERIFY(QDir::current().isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        useImageFolder("imageformats");
        QDir::setCurrent(programDir);
    }
};

QTEST_MAIN(TestStartAnywhere)
#include "tst_startanywhere.moc"
