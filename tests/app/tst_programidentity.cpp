// What the program tells the desktop about itself: the window's title in and
// out of service mode, its icon, the About box, and the window position it
// comes back to.

#include "app/mainwindow.h"
#include "app/programidentity.h"
#include "app/windowposition.h"
#include "emulator/emulateddevice.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QTimer>
#include <QMessageBox>
#include <QtTest>

using namespace testsupport;

class TestProgramIdentity : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { applyProgramIdentity(); }
    void init() { emu::EmulatedDevice::instance().reset(); }

    // The program names its window; service mode adds to the name and gives it back.
    void titleAndIcon()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.setWindowTitle(programTitle());
        QCOMPARE(iconImage(window.windowIcon()), iconImage(programIcon()));
        QVERIFY(!iconImage(programIcon()).isNull());
        window.setServiceMode(true);
        QCOMPARE(window.windowTitle(), QStringLiteral("Tessel Control — 服务模式"));
        window.setServiceMode(false);
        QCOMPARE(window.windowTitle(), QStringLiteral("Tessel Control"));
    }

    // From the title strip's menu; the box waits for nobody.
    void aboutBoxFromTheTitleStrip()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        QWidget *strip = child<QWidget>(&window, "widget_1title");
        auto *about = strip->findChild<QAction *>("aboutAction");
        // A right click on the strip shows a menu holding the entry.
        QList<QAction *> offered;
        QTimer::singleShot(0, this, [&offered] {
            if (QWidget *menu = QApplication::activePopupWidget()) {
                offered = menu->actions();
                menu->close();
            }
        });
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 10), strip->mapToGlobal(QPoint(20, 10)));
        QApplication::sendEvent(strip, &click);
        QVERIFY(offered.contains(about));
        about->trigger();
        QPointer<QMessageBox> box = window.findChild<QMessageBox *>("aboutBox");
        QVERIFY(box && box->isVisible());
        const QString hidapi = QStringLiteral("hidapi emulated device");
        for (const QString &part : {programVersion(), QString::fromLatin1(qVersion()), hidapi})
            QVERIFY2(box->text().contains(part), qPrintable(box->text()));
        box->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!box);
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
    }
    void positionComesBack()
    {
        QFETCH(QPoint, saved);
        QFETCH(bool, restored);
        const QVector<QRect> screens{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1920, 1080)};
        const std::optional<QPoint> at = restorablePosition(saved, QSize(1000, 605), screens);
        QCOMPARE(at.has_value(), restored);
        QCOMPARE(at.value_or(saved), saved);
    }
};

QTEST_MAIN(TestProgramIdentity)
#include "tst_programidentity.moc"
