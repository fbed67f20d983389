// The power-curve dialog against the emulated device: opening and closing,
// reading and writing the five curves, dragging points, the plot lying where
// the drag expects it, the question about unsaved points and the one about
// points above the device's top.

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
#include "device/deviceactivity.h"
#include "device/protocol.h"
#include "emulator/emulateddevice.h"
#include "settings/chartview.h"
#include "editors/linedlg.h"
#include "settings/curvefilechooser.h"
#include "settings/powercurves.h"
#include "settings/unsavedcurvequestion.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QRadioButton>
#include <QScopeGuard>
#include <QToolButton>
#include <QtCharts/QScatterSeries>
#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <mutex>
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
        testsupport::waitForDeviceIdle(window.controller());
        EmulatedDevice::instance().setPresent(deviceAtOpening);
        child<QToolButton>(&window, "toolButton_8")->click();
        idle();
        dialog = openCurveDialog.data();
        EmulatedDevice::instance().setPresent(true);
    }
    ~Opened() { delete openCurveDialog.data(); }

    lineDlg *curves() const { return qobject_cast<lineDlg *>(dialog); }
    QChartView *view() const { return child<QChartView>(dialog, "widget"); }
    QXYSeries *series(int i) const { return qobject_cast<QXYSeries *>(view()->chart()->series().at(i)); }
    // The ten points as drawn (the series after the line).
    QList<int> shownPoints() const
    {
        QList<int> watts;
        for (const QPointF &p : series(1)->points())
            watts << int(p.y());
        return watts;
    }
    // The dialog's reads and writes run on the window's device thread.
    void idle() { QVERIFY(waitForDeviceIdle(window.controller())); }
    void choose(int curve)
    {
        child<QRadioButton>(dialog, GroupButtons[curve])->click();
        idle();
    }
    void write()
    {
        child<QToolButton>(dialog, "toolButton_2")->click();
        idle();
    }
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
        openCurveDialog = nullptr;
    }
    void cleanup()
    {
        setUnsavedCurveQuestion(nullptr);
        setCurveFileChooser({});
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
        QCOMPARE(o.curves()->pointDrag().maxWattage(), 80);
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
        QCOMPARE(o.curves()->shownCurve(), curve);
        QCOMPARE(listOf(curveTable[size_t(curve)]), stored);
        QCOMPARE(o.shownPoints(), stored);
        const QByteArray number = QByteArray::number(7 + curve, 16).rightJustified(2, '0');
        QCOMPARE(curveRequests().last(), padded("720a00" + number));

        o.write();
        QCOMPARE(curveRequests().last(), padded("770a15" + number + curveHex(stored)));
        QVERIFY(logMessages(&o.window).isEmpty());
    }

    // Each curve dialog shows and writes its own group: choosing M3 in a second
    // dialog leaves the first one writing M1.
    void dialogsKeepTheirOwnCurve()
    {
        Opened o;
        lineDlg *first = o.curves();
        child<QToolButton>(&o.window, "toolButton_8")->click();
        o.idle();
        o.dialog = openCurveDialog.data();
        QVERIFY(o.curves() && o.curves() != first);
        o.choose(2);
        QCOMPARE(first->shownCurve(), 0);
        child<QToolButton>(first, "toolButton_2")->click();
        o.idle();
        QCOMPARE(curveRequests().last().left(4), QByteArray::fromHex("770a1507"));
        delete first;
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
            // Another device action, as the controller's shared guard sees it.
            DeviceActivity otherAction;
            std::optional<DeviceActionGuard> running;
            if (fault == "busy") {
                o.window.controller().setSharedActivity(&otherAction);
                running.emplace(otherAction);
            }
            o.choose(2);
            running.reset();
            o.window.controller().setSharedActivity(nullptr);
        }
        QCOMPARE(logMessages(&o.window), QStringList{logged});
        QVERIFY(showsPicture(child<QToolButton>(&o.window, "toolButton"), "imageformats/USB_ON.jpg"));
        QCOMPARE(o.curves()->shownCurve(), 2);
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
        // Point 5 at 160 W holds the axis up to 160: the drag follows that axis.
        QTest::newRow("axis above an 80 W top, to the top") << -160 << 50 << 40 << 0 << 160;
        QTest::newRow("axis above an 80 W top, to the middle") << -160 << 50 << 188 << 0 << 80;
    }
    void drag()
    {
        QFETCH(int, powerHigh);
        QFETCH(int, pressX);
        QFETCH(int, toY);
        QFETCH(int, point);
        QFETCH(int, watts);
        // A negative power high stands for an 80 W device whose M1 has that many watts at second 5.
        EmulatedDevice::instance().profile().powerHigh = quint16(powerHigh < 0 ? 80 : powerHigh);
        if (powerHigh < 0)
            EmulatedDevice::instance().profile().curves[0][5] = quint16(-powerHigh);
        Opened o;
        QVERIFY(QTest::qWaitForWindowExposed(o.dialog));
        QList<int> expected = listOf(curveTable[0]);
        const int writes = EmulatedDevice::instance().count(EmulatedDevice::Exchange::Write);

        o.drag(pressX, toY, false);
        if (point >= 0)
            expected[point] = watts;
        QCOMPARE(o.curves()->pointDrag().heldPoint(), point);
        QCOMPARE(listOf(curveTable[0]), expected);
        QCOMPARE(o.shownPoints(), expected);
        QCOMPARE(child<QLabel>(o.dialog, "label_4")->text(),
                 point < 0 ? QString() : QStringLiteral("%1s,%2W").arg(point).arg(watts));

        QTest::mouseRelease(o.dialog->windowHandle(), Qt::LeftButton, {}, QPoint(pressX, toY));
        QCOMPARE(o.curves()->pointDrag().heldPoint(), -1);
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
    // power axis at y = 40, in dialog pixels, by the chart's own mapping,
    // whatever the points' values; the axis reaches the highest point, and
    // the line passes through every point.
    void plotLiesWhereTheDragExpectsIt_data()
    {
        QTest::addColumn<int>("powerHigh");
        QTest::addColumn<QList<int>>("points");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("marked");   // points drawn as above the device's top
        QTest::newRow("80 W device") << 80 << QList<int>{0, 80, 0, 80, 0, 80, 0, 80, 0, 80} << 80 << 0;
        QTest::newRow("152 W scale") << 0 << QList<int>{0, 152, 0, 152, 0, 152, 0, 152, 0, 152} << 152 << 0;
        QTest::newRow("points above an 80 W top")
            << 80 << QList<int>{10, 200, 100, 80, 120, 40, 160, 90, 10, 90} << 200 << 6;
        QTest::newRow("the last two above the top") << 80 << QList<int>{10, 20, 30, 40, 50, 60, 70, 80, 300, 300}
                                                     << 300 << 2;
    }
    void plotLiesWhereTheDragExpectsIt()
    {
        QFETCH(int, powerHigh);
        QFETCH(QList<int>, points);
        QFETCH(int, top);
        QFETCH(int, marked);
        auto &profile = EmulatedDevice::instance().profile();
        profile.powerHigh = quint16(powerHigh);
        for (int j = 0; j < 10; ++j)
            profile.curves[0][size_t(j)] = quint16(points[j]);
        Opened o;
        QVERIFY(QTest::qWaitForWindowExposed(o.dialog));
        QChartView *view = o.view();
        const auto inDialog = [&](const QPointF &value, QXYSeries *series) {
            const QPointF inChart = view->chart()->mapToPosition(value, series);
            const QPoint inView = view->mapFromScene(view->chart()->mapToScene(inChart));
            return view->viewport()->mapTo(o.dialog, inView);
        };
        QCOMPARE(o.series(2)->count(), marked);
        for (int s = 1; s < 3; ++s) {
            QXYSeries *series = o.series(s);
            for (const QPointF &value : series->points()) {
                const int j = int(value.x());
                QCOMPARE(value, QPointF(j, points[j]));
                const QPoint at = inDialog(value, series);
                const QPoint expected(50 + 75 * j, qRound(336 - 296.0 * points[j] / top));
                QVERIFY2(qAbs(at.x() - expected.x()) <= 1 && qAbs(at.y() - expected.y()) <= 1,
                         qPrintable(QStringLiteral("series %1 point %2 at %3,%4").arg(s).arg(j).arg(at.x()).arg(at.y())));
            }
        }
        const QVector<QPointF> line = o.series(0)->pointsVector();
        for (int j = 0; j < 10; ++j)
            QVERIFY(line.contains(QPointF(j, points[j])));
    }

    // Dragged or imported points the device has not received are asked about
    // before another group, a new read of the same one or the closing drops
    // them: written, discarded (the curve comes back as read) or kept.
    void unsavedPoints_data()
    {
        QTest::addColumn<QString>("edit");    // drag, import, drag+write (nothing unsaved)
        QTest::addColumn<QString>("leave");   // group M3, same group, close, Esc, window
        QTest::addColumn<int>("answer");      // UnsavedCurveAnswer
        const int write = int(UnsavedCurveAnswer::Write), discard = int(UnsavedCurveAnswer::Discard),
                  cancel = int(UnsavedCurveAnswer::Cancel);
        QTest::newRow("drag, M3, write") << "drag" << "group" << write;
        QTest::newRow("drag, M3, discard") << "drag" << "group" << discard;
        QTest::newRow("drag, M3, cancel") << "drag" << "group" << cancel;
        QTest::newRow("drag, M1 again, discard") << "drag" << "same" << discard;
        QTest::newRow("drag, M1 again, cancel") << "drag" << "same" << cancel;
        QTest::newRow("import, close, write") << "import" << "close" << write;
        QTest::newRow("import, close, cancel") << "import" << "close" << cancel;
        QTest::newRow("drag, Esc, discard") << "drag" << "esc" << discard;
        QTest::newRow("drag, Esc, cancel") << "drag" << "esc" << cancel;
        QTest::newRow("drag, main window closes, write") << "drag" << "window" << write;
        QTest::newRow("drag, main window closes, cancel") << "drag" << "window" << cancel;
        QTest::newRow("written before M3: no question") << "drag+write" << "group" << cancel;
        QTest::newRow("written before closing: no question") << "drag+write" << "close" << cancel;
    }
    void unsavedPoints()
    {
        QFETCH(QString, edit);
        QFETCH(QString, leave);
        QFETCH(int, answer);
        QTemporaryDir dir;
        const QString csv = dir.filePath("m.csv");
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("0,1\n1,2\n2,3\n3,4\n4,5\n5,6\n6,7\n7,8\n8,9\n9,10\n");
        file.close();
        setCurveFileChooser([csv](QWidget *, bool, const QString &) { return csv; });
        QList<int> asked;
        setUnsavedCurveQuestion([&](QWidget *, int curve) {
            asked << curve;
            return UnsavedCurveAnswer(answer);
        });
        auto &device = EmulatedDevice::instance();
        const QList<int> m1 = listOf(device.profile().curves[0]);

        Opened o;
        o.window.show();
        QPointer<QDialog> dialog = o.dialog;
        QVERIFY(QTest::qWaitForWindowExposed(o.dialog));
        QList<int> edited = m1;
        if (edit == "import") {
            child<QToolButton>(o.dialog, "importCsvButton")->click();
            edited = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        } else {
            o.drag(125, 40);   // point 1 to the top
            edited[1] = 80;
        }
        if (edit == "drag+write")
            o.write();
        QCOMPARE(listOf(curveTable[0]), edited);
        const int requests = curveRequests().size();

        if (leave == "group")
            o.choose(2);
        else if (leave == "same")
            o.choose(0);
        else if (leave == "close")
            child<QToolButton>(o.dialog, "toolButton")->click();
        else if (leave == "esc")
            QTest::keyClick(o.dialog, Qt::Key_Escape);
        else
            o.window.close();
        o.idle();

        const bool unsaved = edit != "drag+write";
        QCOMPARE(asked, unsaved ? QList<int>{0} : QList<int>());
        const bool stays = unsaved && answer == int(UnsavedCurveAnswer::Cancel);
        const bool written = unsaved && answer == int(UnsavedCurveAnswer::Write);
        // The device holds the edited curve exactly when it was written.
        QCOMPARE(listOf(device.profile().curves[0]), edit == "drag+write" || written ? edited : m1);
        QCOMPARE(curveRequests().size() > requests && curveRequests()[requests].startsWith("\x77"), written);
        QCOMPARE(dialog && dialog->isVisible(), stays || leave == "group" || leave == "same");
        if (stays) {
            // Nothing was read over the points; they stay shown, unsaved.
            QCOMPARE(curveRequests().size(), requests);
            QCOMPARE(o.curves()->shownCurve(), 0);
            QVERIFY(child<QRadioButton>(o.dialog, "radioButton")->isChecked());
            QCOMPARE(listOf(curveTable[0]), edited);
            QCOMPARE(o.shownPoints(), edited);
            QVERIFY(qobject_cast<lineDlg *>(o.dialog)->hasUnsavedPoints());
            QVERIFY(o.window.isVisible() || leave != "window");
        } else {
            // Discarded points give way to the curve as read.
            QCOMPARE(listOf(curveTable[0]), unsaved && !written ? m1 : edited);
            if (leave == "group" || leave == "same") {
                const int shown = leave == "group" ? 2 : 0;
                QCOMPARE(o.curves()->shownCurve(), shown);
                QCOMPARE(o.shownPoints(), listOf(device.profile().curves[size_t(shown)]));
            }
        }
    }

    // Cancel of a read, by its button or by Esc, while the request is on its
    // way or while the device is silent: the read ends early without its
    // time-out, "已取消" is logged, the points and the chart stay as they were
    // and the dialog stays open; the button is there only while the read
    // runs, and the next read goes through.
    void cancelRead_data()
    {
        QTest::addColumn<QString>("when");   // request: 300 ms per report; silent: no reply, real waits
        QTest::addColumn<bool>("escape");
        QTest::newRow("button, request going out") << "request" << false;
        QTest::newRow("Esc, request going out") << "request" << true;
        QTest::newRow("button, device silent") << "silent" << false;
        QTest::newRow("Esc, device silent") << "silent" << true;
    }
    void cancelRead()
    {
        QFETCH(QString, when);
        QFETCH(bool, escape);
        auto &device = EmulatedDevice::instance();
        Opened o;
        auto *dialog = qobject_cast<lineDlg *>(o.dialog);
        auto *cancel = child<QToolButton>(o.dialog, "cancelReadButton");
        QVERIFY(cancel->isHidden());
        const QList<int> m1 = o.shownPoints();
        std::atomic<bool> reading{false};
        if (when == "request") {
            device.setLatencyMicros(300000);
        } else {
            device.setTimeoutMode(EmulatedDevice::TimeoutMode::RealWait);
            device.setReplyFault(0x0A, EmulatedDevice::ReplyFault::NoReply);
            device.setReadHook([&reading](int) { reading = true; });
        }
        QElapsedTimer clock;
        clock.start();
        child<QRadioButton>(o.dialog, GroupButtons[2])->click();
        QVERIFY(dialog->isReading());
        QVERIFY(!cancel->isHidden());
        if (when == "silent")
            QTRY_VERIFY(reading);
        if (escape)
            QTest::keyClick(o.dialog, Qt::Key_Escape);
        else
            cancel->click();
        o.idle();
        device.setReadHook({});
        QVERIFY2(clock.elapsed() < Protocol::ReplyTimeoutMs, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(logMessages(&o.window), QStringList{"已取消"});
        QVERIFY(o.dialog->isVisible());
        QVERIFY(cancel->isHidden());
        QCOMPARE(o.curves()->shownCurve(), 2);
        QCOMPARE(listOf(curveTable[2]), QList<int>({0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
        QCOMPARE(o.shownPoints(), m1);

        device.setLatencyMicros(0);
        device.setReplyFault(0x0A, EmulatedDevice::ReplyFault::None);
        o.choose(2);
        QCOMPARE(o.shownPoints(), listOf(device.profile().curves[2]));
    }

    // The question's "write" answer: the dialog stays as it is while the
    // points go out, and closes (or shows the chosen group, or lets the
    // window close) only once they reached the device; a failed write keeps
    // it open with the points, still unsaved, and the window with it.
    void writeThenLeave_data()
    {
        QTest::addColumn<QString>("leave");   // close, group M3, window
        QTest::addColumn<bool>("reaches");
        for (const char *leave : {"close", "group", "window"}) {
            QTest::addRow("%s, written", leave) << leave << true;
            QTest::addRow("%s, device gone", leave) << leave << false;
        }
    }
    void writeThenLeave()
    {
        QFETCH(QString, leave);
        QFETCH(bool, reaches);
        setUnsavedCurveQuestion([](QWidget *, int) { return UnsavedCurveAnswer::Write; });
        auto &device = EmulatedDevice::instance();
        const QList<int> m1 = listOf(device.profile().curves[0]);
        Opened o;
        o.window.show();
        QPointer<QDialog> dialog = o.dialog;
        QVERIFY(QTest::qWaitForWindowExposed(o.dialog));
        o.drag(125, 40);   // point 1 to the top
        QList<int> edited = m1;
        edited[1] = 80;
        device.setPresent(reaches);
        device.clearRecord();

        if (leave == "close")
            child<QToolButton>(o.dialog, "toolButton")->click();
        else if (leave == "group")
            child<QRadioButton>(o.dialog, GroupButtons[2])->click();
        else
            o.window.close();
        // Still as it was while the write runs.
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(child<QRadioButton>(o.dialog, "radioButton")->isChecked());
        o.idle();

        QCOMPARE(listOf(device.profile().curves[0]), reaches ? edited : m1);
        QCOMPARE(listOf(curveTable[0]), edited);
        if (!reaches) {
            QVERIFY(dialog && dialog->isVisible());
            QVERIFY(qobject_cast<lineDlg *>(o.dialog)->hasUnsavedPoints());
            QCOMPARE(o.curves()->shownCurve(), 0);
            QVERIFY(child<QRadioButton>(o.dialog, "radioButton")->isChecked());
            QCOMPARE(o.shownPoints(), edited);
            QVERIFY(o.window.isVisible());
            QVERIFY(curveRequests().isEmpty());
        } else if (leave == "group") {
            QVERIFY(dialog && dialog->isVisible());
            QCOMPARE(o.curves()->shownCurve(), 2);
            QVERIFY(child<QRadioButton>(o.dialog, "radioButton_3")->isChecked());
            QCOMPARE(o.shownPoints(), listOf(device.profile().curves[2]));
        } else {
            QVERIFY(!dialog || !dialog->isVisible());
            QCOMPARE(o.window.isVisible(), leave != "window");
        }
    }

    // "Read all" with M2 shown: one job whose five requests are the reads of
    // one curve; a silent curve logs the time-out and keeps what the dialog
    // had; a Cancel between curves keeps those read before it; unsaved points
    // are asked about first.
    void readAll_data()
    {
        QTest::addColumn<QList<int>>("silent");
        QTest::addColumn<int>("cancelAfter");   // curves read before the Cancel; 0: none
        QTest::addColumn<int>("answer");        // to the question after a drag; -1: no drag
        QTest::newRow("every reply") << QList<int>() << 0 << -1;
        QTest::newRow("M3 silent") << QList<int>{2} << 0 << -1;
        QTest::newRow("cancelled after M2") << QList<int>() << 2 << -1;
        QTest::newRow("dragged, discard") << QList<int>() << 0 << int(UnsavedCurveAnswer::Discard);
        QTest::newRow("dragged, stay") << QList<int>() << 0 << int(UnsavedCurveAnswer::Cancel);
        QTest::newRow("dragged, written first") << QList<int>{4} << 0 << int(UnsavedCurveAnswer::Write);
    }
    void readAll()
    {
        QFETCH(QList<int>, silent);
        QFETCH(int, cancelAfter);
        QFETCH(int, answer);
        setUnsavedCurveQuestion([answer](QWidget *, int) { return UnsavedCurveAnswer(answer); });
        auto &device = EmulatedDevice::instance();
        Opened o;
        QVERIFY(QTest::qWaitForWindowExposed(o.dialog));
        o.choose(1);
        if (answer >= 0)
            o.drag(125, 40);   // point 1 to the top
        QList<QList<int>> expected;
        for (const CurvePointsRow &curve : curveTable)
            expected << listOf(curve);
        for (auto &curve : device.profile().curves)
            ++curve[0];   // what is read differs from what the dialog holds
        // Each curve request taken decides whether the device answers the next (None 0, NoReply 1).
        device.setReplyFault(0x0A, EmulatedDevice::ReplyFault(silent.contains(0)));
        device.setWriteHook([&](int, const QByteArray &report) {
            if (quint8(report.at(3)) == 0x72 && report.at(4) == 0x0A)
                device.setReplyFault(0x0A, EmulatedDevice::ReplyFault(silent.contains(report.at(6) - 6)));
        });
        // The Cancel comes while curve cancelAfter is read, its answer already
        // there: the device thread waits in that read until the click is made.
        int reads = 0;
        std::mutex cancelMutex;
        std::condition_variable cancelGiven;
        bool cancelDue = false;
        bool cancelled = false;
        device.setReadHook([&](int) {
            if (++reads != cancelAfter)
                return;
            std::unique_lock<std::mutex> lock(cancelMutex);
            cancelDue = true;
            cancelGiven.wait(lock, [&] { return cancelled; });
        });
        const auto letGo = [&] {
            {
                std::lock_guard<std::mutex> lock(cancelMutex);
                cancelled = true;
            }
            cancelGiven.notify_all();
        };
        // Whatever happens, the device thread is not left waiting.
        const auto letGoAtEnd = qScopeGuard(letGo);
        device.clearRecord();
        child<QToolButton>(o.dialog, "readAllButton")->click();
        QCOMPARE(o.curves()->isReading(), answer == -1 || answer == int(UnsavedCurveAnswer::Discard));
        if (cancelAfter) {
            QTRY_VERIFY([&] {
                std::lock_guard<std::mutex> lock(cancelMutex);
                return cancelDue;
            }());
            child<QToolButton>(o.dialog, "cancelReadButton")->click();
            letGo();
        }
        o.idle();
        device.setReadHook({});
        device.setWriteHook({});

        QList<QByteArray> requests;
        if (answer == int(UnsavedCurveAnswer::Write))
            requests << padded("770a1508" + curveHex(expected[1]));
        QStringList log;
        for (int c = 0; answer != int(UnsavedCurveAnswer::Cancel) && c < (cancelAfter ? cancelAfter : CurveCount); ++c) {
            requests << padded("720a00" + QByteArray::number(7 + c, 16).rightJustified(2, '0'));
            if (silent.contains(c))
                log << QStringLiteral("读取超时！");
            else
                expected[c] = listOf(device.profile().curves[size_t(c)]);
        }
        if (cancelAfter)
            log << QStringLiteral("已取消");
        QCOMPARE(curveRequests(), requests);
        QCOMPARE(logMessages(&o.window), log);
        for (int c = 0; c < CurveCount; ++c)
            QCOMPARE(listOf(curveTable[size_t(c)]), expected[c]);
        QCOMPARE(o.shownPoints(), expected[1]);
        QCOMPARE(o.curves()->hasUnsavedPoints(), answer == int(UnsavedCurveAnswer::Cancel));
        QVERIFY(child<QToolButton>(o.dialog, "cancelReadButton")->isHidden());
    }

    // Points above the device's top are written only when the user says so,
    // as the settings table's values are in service mode.
    void aboveTheTopAsksFirst_data()
    {
        QTest::addColumn<bool>("service");
        QTest::addColumn<int>("watts");   // point 4, on an 80 W device
        QTest::addColumn<int>("answer");  // QMessageBox button; NoButton: no question expected
        QTest::newRow("above, declined") << true << 81 << int(QMessageBox::No);
        QTest::newRow("above, accepted") << true << 500 << int(QMessageBox::Yes);
        QTest::newRow("at the top: no question") << true << 80 << int(QMessageBox::NoButton);
        QTest::newRow("outside service mode: no question") << false << 500 << int(QMessageBox::NoButton);
    }
    void aboveTheTopAsksFirst()
    {
        QFETCH(bool, service);
        QFETCH(int, watts);
        QFETCH(int, answer);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.setServiceMode(service);
        child<QToolButton>(&window, "toolButton_8")->click();
        QVERIFY(waitForDeviceIdle(window.controller()));
        QDialog *dialog = openCurveDialog.data();
        QVERIFY(dialog);
        curveTable[0][4] = watts;
        QString question;
        bool sawQuestion = false;
        QTimer timer;
        connect(&timer, &QTimer::timeout, [&] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                sawQuestion = true;
                question = box->text();
                QVERIFY(box->defaultButton() && box->standardButton(box->defaultButton()) == QMessageBox::No);
                box->button(answer == int(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::No)->click();
            }
        });
        timer.start(10);
        const int requests = curveRequests().size();
        child<QToolButton>(dialog, "toolButton_2")->click();
        QVERIFY(waitForDeviceIdle(window.controller()));
        timer.stop();
        QCOMPARE(sawQuestion, answer != int(QMessageBox::NoButton));
        if (sawQuestion)
            QVERIFY2(question.contains(QStringLiteral("M1 第 4 秒：%1 W，设备最高 80 W").arg(watts)), qPrintable(question));
        const bool sent = answer != int(QMessageBox::No);
        QCOMPARE(curveRequests().size() > requests, sent);
        QCOMPARE(EmulatedDevice::instance().profile().curves[0][4], quint16(sent ? watts : 30));
        if (!sent)
            QCOMPARE(logMessages(&window).last(), QStringLiteral("功率曲线 M1 超出设备范围，未写入设备"));
        delete dialog;
    }
};

QTEST_MAIN(TestLineDlg)
#include "tst_linedlg.moc"
