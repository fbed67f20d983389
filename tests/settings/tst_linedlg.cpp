// The power-curve dialog against the emulated device: opening and closing,
// reading and writing the five curves, dragging points, and the plot lying
// where the drag expects it.

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "settings/chartview.h"
#include "settings/linedlg.h"
#include "settings/powercurves.h"
#include "testsupport.h"

#include <QLabel>
#include <QRadioButton>
#include <QToolButton>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QSplineSeries>
#include <QtTest>

#include <optional>

using emu::EmulatedDevice;
using namespace testsupport;

namespace {

const char *const GroupButtons[] = {"radioButton", "radioButton_2", "radioButton_3", "radioButton_4",
                                    "radioButton_5"};

// The main window and the curve dialog it opened; the dialog goes first.
struct Opened
{
    MainWindow window;
    QDialog *dialog = nullptr;

    // The device may be gone just while the dialog opens (and reads M1).
    explicit Opened(bool deviceAtOpening = true)
    {
        EmulatedDevice::instance().setPresent(deviceAtOpening);
        child<QToolButton>(&window, "toolButton_8")->click();
        dialog = openCurveDialog.data();
        EmulatedDevice::instance().setPresent(true);
    }
    ~Opened() { delete openCurveDialog.data(); }

    QChartView *view() const { return child<QChartView>(dialog, "widget"); }
    QXYSeries *series(int i) const { return qobject_cast<QXYSeries *>(view()->chart()->series().at(i)); }
    QList<int> shownPoints() const
    {
        QList<int> watts;
        for (const QPointF &p : series(0)->points())
            watts << int(p.y());
        return watts;
    }
    void choose(int curve) { child<QRadioButton>(dialog, GroupButtons[curve])->click(); }
    void write() { child<QToolButton>(dialog, "toolButton_2")->click(); }
    // A drag as the user makes it: press, move, release on the dialog's window.
    void drag(int pressX, int toY, bool release = true)
    {
        QWindow *w = dialog->windowHandle();
        QTest::mousePress(w, Qt::LeftButton, {}, QPoint(pressX, 200));
        QTest::mouseMove(w, QPoint(pressX + 7, toY));
        if (release)
            QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(pressX + 7, toY));
    }
};

template <typename Row>
QList<int> listOf(const Row &points)
{
    return QList<int>(points.begin(), points.end());
}

// Payload bytes (report offsets 3 onward) of the curve requests sent so far.
QList<QByteArray> curveRequests()
{
    QList<QByteArray> requests;
    for (const QByteArray &report : EmulatedDevice::instance().writtenReports()) {
        if (quint8(report.at(1)) == 0x55 && report.at(4) == 0x0A)
            requests << report.mid(3);
    }
    return requests;
}

QByteArray padded(const QByteArray &hex)
{
    return QByteArray::fromHex(hex).leftJustified(61, '\0');
}

QByteArray curveHex(const QList<int> &points)
{
    QByteArray hex;
    for (int w : points)
        hex += QByteArray::number(w, 16).rightJustified(4, '0');
    return hex;
}

} // namespace

class TestLineDlg : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        EmulatedDevice::instance().reset();
        curveTable = {};
        currentCurve = 0;
        selectedPoint = -1;
        setPowerScale(0);
        openCurveDialog = nullptr;
    }
    void cleanup()
    {
        QCOMPARE(EmulatedDevice::instance().openHandleCount(), 0);
        QCOMPARE(EmulatedDevice::instance().misuseCount(), 0);
    }

    void opensOverTheBodyAndReadsM1()
    {
        Opened o;
        QVERIFY(o.dialog);
        QVERIFY(o.dialog->isVisible());
        QVERIFY(!o.dialog->isModal());
        QVERIFY(o.dialog->windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(o.dialog->pos(), o.window.mapToGlobal(QPoint(204, 84)));
        QCOMPARE(o.dialog->size(), QSize(761, 391));
        QVERIFY(child<QRadioButton>(o.dialog, "radioButton")->isChecked());
        QCOMPARE(maxWattage, 80);
        QCOMPARE(curveRequests(), QList<QByteArray>{padded("720a0007")});
        const QList<int> m1 = listOf(EmulatedDevice::instance().profile().curves[0]);
        QCOMPARE(listOf(curveTable[0]), m1);
        QCOMPARE(o.shownPoints(), m1);
        QVERIFY(logMessages(&o.window).isEmpty());
    }

    // Stacking inside the chart view and the dialog, bottom to top, all
    // above the chart drawing.
    void formStacking()
    {
        Opened o;
        const auto order = [](QWidget *parent, const QStringList &names) {
            QStringList found;
            for (QObject *c : parent->children()) {
                if (names.contains(c->objectName()))
                    found << c->objectName();
            }
            return found;
        };
        const QStringList inView{"label_5", "label_6", "label_4", "groupBox", "toolButton", "toolButton_2"};
        QCOMPARE(order(o.view(), inView), inView);
        QVERIFY(o.view()->children().indexOf(o.view()->viewport()) <
                o.view()->children().indexOf(child<QLabel>(o.dialog, "label_5")));
        const QStringList inDialog{"label_2", "widget", "label_3", "label"};
        QCOMPARE(order(o.dialog, inDialog), inDialog);
    }

    void closing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("main window's close button") << "toolButton_2_title_close";
        QTest::newRow("dialog's own close button") << "toolButton";
    }
    void closing()
    {
        QFETCH(QString, button);
        Opened o;
        o.window.show();
        QWidget *owner = button == "toolButton" ? static_cast<QWidget *>(o.dialog) : &o.window;
        QTest::mouseClick(child<QToolButton>(owner, qPrintable(button)), Qt::LeftButton);
        QTRY_VERIFY(openCurveDialog.isNull());
    }

    // Each group reads its own curve; the write sends back the one shown.
    void readAndWriteGroup_data()
    {
        QTest::addColumn<int>("curve");
        QTest::newRow("M3") << 2;
        QTest::newRow("M1 again, already checked") << 0;
    }
    void readAndWriteGroup()
    {
        QFETCH(int, curve);
        Opened o;
        o.choose(curve);
        const QList<int> stored = listOf(EmulatedDevice::instance().profile().curves[size_t(curve)]);
        QCOMPARE(currentCurve, curve);
        QCOMPARE(listOf(curveTable[size_t(curve)]), stored);
        QCOMPARE(o.shownPoints(), stored);
        const QByteArray number = QByteArray::number(7 + curve, 16).rightJustified(2, '0');
        QCOMPARE(curveRequests().last(), padded("720a00" + number));

        o.write();
        QCOMPARE(curveRequests().last(), padded("770a15" + number + curveHex(stored)));
        QVERIFY(logMessages(&o.window).isEmpty());
    }

    // A failed read leaves the table, the chart and the status icon alone;
    // the chosen group still becomes the current curve.
    void readFailure_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("logged");
        QTest::newRow("device gone") << "absent" << "设备离线";
        QTest::newRow("no reply") << "silent" << "读取超时！";
        QTest::newRow("60-byte reply") << "short" << "读取超时！";
        QTest::newRow("another device action running") << "busy" << "设备忙，请等待当前操作完成";
    }
    void readFailure()
    {
        QFETCH(QString, fault);
        QFETCH(QString, logged);
        Opened o;
        const QList<int> m1 = o.shownPoints();
        auto &device = EmulatedDevice::instance();
        if (fault == "absent")
            device.setPresent(false);
        else if (fault == "silent")
            device.setReplyFault(0x0A, EmulatedDevice::ReplyFault::NoReply);
        else if (fault == "short")
            device.setReplyFault(0x0A, EmulatedDevice::ReplyFault::Short, 60);
        {
            std::optional<DeviceActionGuard> running;
            if (fault == "busy")
                running.emplace(o.window.session().activity());
            o.choose(2);
        }
        QCOMPARE(logMessages(&o.window), QStringList{logged});
        QVERIFY(showsPicture(child<QToolButton>(&o.window, "toolButton"), "imageformats/USB_ON.jpg"));
        QCOMPARE(currentCurve, 2);
        QCOMPARE(listOf(curveTable[2]), QList<int>({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
        QCOMPARE(o.shownPoints(), m1);
    }

    // Press picks a point by its column only, a move sets it from the height
    // alone, a release ends the drag.
    void drag_data()
    {
        QTest::addColumn<int>("powerHigh");
        QTest::addColumn<int>("pressX");
        QTest::addColumn<int>("toY");
        QTest::addColumn<int>("point");
        QTest::addColumn<int>("watts");
        QTest::newRow("80 W device, top gives 80") << 80 << 40 << 40 << 0 << 80;
        QTest::newRow("point 9 to the middle") << 80 << 725 << 188 << 9 << 40;
        QTest::newRow("press between points") << 80 << 87 << 100 << -1 << 0;
        QTest::newRow("power high 0 keeps 152 W") << 0 << 275 << 188 << 3 << 76;
    }
    void drag()
    {
        QFETCH(int, powerHigh);
        QFETCH(int, pressX);
        QFETCH(int, toY);
        QFETCH(int, point);
        QFETCH(int, watts);
        EmulatedDevice::instance().profile().powerHigh = quint16(powerHigh);
        Opened o;
        QVERIFY(QTest::qWaitForWindowExposed(o.dialog));
        QList<int> expected = listOf(curveTable[0]);
        const int writes = EmulatedDevice::instance().count(EmulatedDevice::Exchange::Write);

        o.drag(pressX, toY, false);
        if (point >= 0)
            expected[point] = watts;
        QCOMPARE(selectedPoint, point);
        QCOMPARE(listOf(curveTable[0]), expected);
        QCOMPARE(o.shownPoints(), expected);
        QCOMPARE(child<QLabel>(o.dialog, "label_4")->text(),
                 point < 0 ? QString() : QStringLiteral("%1s,%2W").arg(point).arg(watts));

        QTest::mouseRelease(o.dialog->windowHandle(), Qt::LeftButton, {}, QPoint(pressX, toY));
        QCOMPARE(selectedPoint, -1);
        QTest::mouseMove(o.dialog->windowHandle(), QPoint(pressX, 300));
        QCOMPARE(listOf(curveTable[0]), expected);
        QCOMPARE(EmulatedDevice::instance().count(EmulatedDevice::Exchange::Write), writes);
    }

    // With no successful read the write sends what the table holds: zeros in
    // a fresh run, plus the points dragged since.
    void writeWithoutRead()
    {
        Opened o(false);
        QCOMPARE(logMessages(&o.window), QStringList{"设备离线"});
        QVERIFY(QTest::qWaitForWindowExposed(o.dialog));
        o.drag(200, 40);
        o.write();
        QCOMPARE(curveRequests(), QList<QByteArray>{padded("770a1507" + curveHex({0, 0, 80, 0, 0, 0, 0, 0, 0, 0}))});
    }

    // Dragged, written, read back: the device keeps the curve.
    void roundTrip()
    {
        Opened o;
        QVERIFY(QTest::qWaitForWindowExposed(o.dialog));
        o.choose(1);
        o.drag(350, 40);
        o.write();
        QList<int> written = listOf(EmulatedDevice::instance().profile().curves[1]);
        written[4] = 80;
        QCOMPARE(listOf(EmulatedDevice::instance().profile().curves[1]), written);
        o.choose(0);
        curveTable[1] = {};
        o.choose(1);
        QCOMPARE(listOf(curveTable[1]), written);
        QCOMPARE(o.shownPoints(), written);
    }

    // Second j is drawn at x = 50 + 75 j, 0 W at y = 336 and the top of the
    // scale at y = 40, in dialog pixels, by the chart's own mapping.
    void plotLiesWhereTheDragExpectsIt_data()
    {
        QTest::addColumn<int>("powerHigh");
        QTest::addColumn<int>("top");
        QTest::newRow("80 W device") << 80 << 80;
        QTest::newRow("152 W scale") << 0 << 152;
    }
    void plotLiesWhereTheDragExpectsIt()
    {
        QFETCH(int, powerHigh);
        QFETCH(int, top);
        auto &profile = EmulatedDevice::instance().profile();
        profile.powerHigh = quint16(powerHigh);
        for (int j = 0; j < 10; ++j)
            profile.curves[0][size_t(j)] = quint16(j % 2 ? top : 0);
        Opened o;
        QVERIFY(QTest::qWaitForWindowExposed(o.dialog));
        QChartView *view = o.view();
        for (int s = 0; s < 2; ++s) {
            QXYSeries *series = o.series(s);
            for (int j = 0; j < 10; ++j) {
                const QPointF value = series->at(j);
                const QPointF inChart = view->chart()->mapToPosition(value, series);
                const QPoint inView = view->mapFromScene(view->chart()->mapToScene(inChart));
                const QPoint inDialog = view->viewport()->mapTo(o.dialog, inView);
                const QPoint expected(50 + 75 * j, j % 2 ? 40 : 336);
                QVERIFY2(qAbs(inDialog.x() - expected.x()) <= 1 && qAbs(inDialog.y() - expected.y()) <= 1,
                         qPrintable(QStringLiteral("series %1 point %2 at %3,%4").arg(s).arg(j)
                                        .arg(inDialog.x()).arg(inDialog.y())));
            }
        }
    }
};

QTEST_MAIN(TestLineDlg)
#include "tst_linedlg.moc"
