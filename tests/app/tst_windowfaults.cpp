// The window against a device or files that misbehave: markup in device texts,
// slot sizes no screen has, picture files that are no files, and a close with
// several tool windows open.

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "editors/editdlg.h"
#include "images/myview.h"
#include "images/picturefilechooser.h"
#include "images/imagetests.h"
#include "testsupport.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using emu::EmulatedDevice;
using namespace testsupport;

class TestWindowFaults : public QObject
{
    Q_OBJECT

    EmulatedDevice &device() { return EmulatedDevice::instance(); }

private slots:
    void init() { device().reset(); }
    void cleanup() { setPictureFileChooser({}); }

    // Whatever the device calls itself is shown letter for letter.
    void deviceTextsArePlain_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("bold") << QByteArray("<b>X</b>");
        QTest::newRow("picture") << QByteArray("<img src=a.png>");
    }
    void deviceTextsArePlain()
    {
        QFETCH(QByteArray, name);
        device().profile().setName(name);
        device().profile().firmwareVersion = "<i>1</i>";
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        for (const char *label : {"lab_dev_name", "lab_dev_version", "lab_dev_support", "lab_dev_size"})
            QCOMPARE(child<QLabel>(&window, label)->textFormat(), Qt::PlainText);
        QCOMPARE(child<QLabel>(&window, "lab_dev_name")->text(), QString::fromLatin1(name));
    }

    void unusableSlotSizeOpensNoEditor()
    {
        device().profile().imageSlots.insert(4, {4527, 55512, 0x54});
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.openSlotEditor(4, QString());
        QVERIFY(waitForDeviceIdle(window.controller()));
        QVERIFY(!openImageEditor);
        QCOMPARE(logMessages(&window).last(), QStringLiteral("槽位尺寸无效：4527×55512"));
        QVERIFY(!imagetest::holdsHandle(window.controller()));
    }

    // ADD opens only regular files: a pipe would block the window for good.
    void pictureFileMustBeRegular_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("named pipe") << "fifo" << "图片文件不是普通文件";
        QTest::newRow("folder") << "dir" << "图片文件不是普通文件";
        QTest::newRow("missing") << "none" << "图片文件不存在";
    }
    void pictureFileMustBeRegular()
    {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath("picture.bmp");
        if (kind == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        if (kind == "dir")
            QVERIFY(QDir().mkpath(path));
        setPictureFileChooser([path](QWidget *) { return path; });
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        editDlg editor(4, 240, 280, 0x54, &window.controller());
        QTest::mouseClick(child<QAbstractButton>(&editor, "toolButton_2"), Qt::LeftButton);
        QCOMPARE(logMessages(&window).last(), QStringLiteral("无法使用该图片文件：") + reason);
    }

    // The window takes every editor, board and curve dialog with it, so the
    // program ends and no older editor is left to send.
    void closeTakesEveryToolWindow()
    {
        auto *window = new MainWindow;
        QVERIFY(testsupport::waitForDeviceIdle(window->controller()));
        window->show();
        window->openSlotEditor(2, QString());
        QVERIFY(waitForDeviceIdle(window->controller()));
        QPointer<editDlg> older = qobject_cast<editDlg *>(openImageEditor.data());
        window->openSlotEditor(3, QString());
        QVERIFY(waitForDeviceIdle(window->controller()));
        QPointer<editDlg> newer = qobject_cast<editDlg *>(openImageEditor.data());
        QVERIFY(older && newer && older != newer);
        older->openDrawingBoard();
        QPointer<MyView> board = older->newestDrawingBoard();
        QVERIFY(board);
        QTest::mouseClick(child<QAbstractButton>(window, "toolButton_8"), Qt::LeftButton);
        QVERIFY(waitForDeviceIdle(window->controller()));
        QPointer<QDialog> curves = openCurveDialog;
        QVERIFY(curves);

        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!older && !newer && !board && !curves);
        for (QWidget *w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), w->metaObject()->className());
        delete window;
    }
};

QTEST_MAIN(TestWindowFaults)
#include "tst_windowfaults.moc"
