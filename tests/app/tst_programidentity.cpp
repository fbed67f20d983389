// What the program tells the desktop about itself: names, version and icon,
// the window's title in and out of service mode, the About box, and the
// window position it comes back to.

#include "app/aboutbox.h"
#include "app/mainwindow.h"
#include "app/programidentity.h"
#include "app/windowposition.h"
#include "emulator/emulateddevice.h"
#include "testsupport.h"

#include <QAction>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

using namespace testsupport;

class TestProgramIdentity : public QObject
{
    Q_OBJECT

    QTemporaryDir scratch;

private slots:
    void initTestCase()
    {
        QVERIFY(scratch.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.filePath("config")));
        applyProgramIdentity();
    }
    void init() { emu::EmulatedDevice::instance().reset(); }

    void namesVersionAndIcon()
    {
        QCOMPARE(QCoreApplication::applicationName(), QStringLiteral("tessel-control"));
        QVERIFY(!QCoreApplication::organizationName().isEmpty());
        QCOMPARE(QCoreApplication::applicationVersion(), programVersion());
        QVERIFY(!programVersion().isEmpty());
        QVERIFY(!iconImage(QApplication::windowIcon()).isNull());
        MainWindow window;
        QCOMPARE(iconImage(window.windowIcon()), iconImage(programIcon()));
    }

    // The program names its window; service mode adds to the name and gives it back.
    void titleInAndOutOfServiceMode()
    {
        MainWindow window;
        window.setWindowTitle(programTitle());
        window.setServiceMode(true);
        QCOMPARE(window.windowTitle(), QStringLiteral("Tessel Control — service mode"));
        window.setServiceMode(false);
        QCOMPARE(window.windowTitle(), QStringLiteral("Tessel Control"));
    }

    // From the title strip's menu; the box waits for nobody.
    void aboutBoxFromTheTitleStrip()
    {
        MainWindow window;
        window.show();
        QWidget *strip = child<QWidget>(&window, "widget_1title");
        QCOMPARE(strip->contextMenuPolicy(), Qt::ActionsContextMenu);
        auto *about = strip->findChild<QAction *>("aboutAction");
        QVERIFY(about && strip->actions().contains(about));
        about->trigger();
        auto *box = window.findChild<QMessageBox *>("aboutBox");
        QVERIFY(box && box->isVisible());
        for (const QString &part : {programVersion(), QString::fromLatin1(qVersion()), QStringLiteral("hidapi emulated device")})
            QVERIFY2(box->text().contains(part), qPrintable(box->text()));
        QPointer<QMessageBox> gone(box);
        box->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!gone);
    }

    // The saved place, unless the window's top strip would not show on a screen.
    void positionComesBack_data()
    {
        QTest::addColumn<QPoint>("saved");
        QTest::addColumn<bool>("restored");
        QTest::newRow("on the first screen") << QPoint(100, 80) << true;
        QTest::newRow("on the second screen") << QPoint(2100, 300) << true;
        QTest::newRow("mostly off the left edge, strip still there") << QPoint(-850, 200) << true;
        QTest::newRow("off the left edge") << QPoint(-990, 200) << false;
        QTest::newRow("strip above the top") << QPoint(100, -20) << false;
        QTest::newRow("where a third screen was") << QPoint(3900, 100) << false;
        QTest::newRow("below the bottom") << QPoint(100, 1060) << false;
    }
    void positionComesBack()
    {
        QFETCH(QPoint, saved);
        QFETCH(bool, restored);
        const QVector<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1920, 1080)};
        const auto at = restorablePosition(saved, QSize(1000, 605), screens);
        QCOMPARE(at.has_value(), restored);
        if (restored)
            QCOMPARE(*at, saved);
    }

    void positionIsKeptInTheSettings()
    {
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint place = screen.topLeft() + QPoint(37, 41);
        {
            MainWindow window;
            window.move(place);
            saveWindowPosition(window, "mainWindow");
        }
        MainWindow window;
        restoreWindowPosition(window, "mainWindow");
        QCOMPARE(window.pos(), place);
    }
};

QTEST_MAIN(TestProgramIdentity)
#include "tst_programidentity.moc"
