// The settings page's files and units against the emulated device: profiles
// saved and loaded, default values, °C and °F, and curves to and from CSV.

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
#include "app/profilefilechooser.h"
#include "emulator/emulateddevice.h"
#include "settings/chartview.h"
#include "settings/curvefilechooser.h"
#include "editors/linedlg.h"
#include "settings/my_spinbox.h"
#include "settings/powercurves.h"
#include "settings/unsavedcurvequestion.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <QtCharts/QScatterSeries>

using emu::EmulatedDevice;
using namespace testsupport;

namespace {

EmulatedDevice &device()
{
    return EmulatedDevice::instance();
}

QLineEdit *cell(QWidget *w, int row, int column)
{
    return child<QLineEdit>(child<QTableWidget>(w, "tableWidget")->cellWidget(row, column), "lineEdit");
}

QStringList numberTexts(QWidget *w)
{
    QStringList texts;
    for (int r = 0; r < 7; ++r)
        for (int c = 1; c < 4; ++c)
            if (child<QTableWidget>(w, "tableWidget")->cellWidget(r, c))
                texts << cell(w, r, c)->text();
    return texts;
}

// Clicks a button of the window and lets the device job it started end.
void clickButton(MainWindow *w, const char *name)
{
    QAbstractButton *found = nullptr;
    for (auto *button : w->findChildren<QToolButton *>(QLatin1String(name)))
        if (!found && !qobject_cast<my_spinbox *>(button->parentWidget()))
            found = button;
    (found ? found : child<QAbstractButton>(w, name))->click();
    QVERIFY(waitForDeviceIdle(w->controller()));
}

// Both settings blocks of a write, as the device took them.
QVector<QByteArray> writtenBlocks(MainWindow *w)
{
    const int before = device().settingsBlocks(0x08).size();
    clickButton(w, "toolButton_2");
    if (device().settingsBlocks(0x08).size() != before + 1)
        return {};
    return {device().settingsBlocks(0x08).last(), device().settingsBlocks(0x09).last()};
}

void answerNextMessageBox(QMessageBox::StandardButton button)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, button] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            box->button(button)->click();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

} // namespace

class TestProfilePage : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    void typeTable(QWidget *w)
    {
        for (int r = 0; r < 7; ++r) {
            if (r == 4)
                continue;   // the bypass row takes no numbers
            cell(w, r, 1)->setText(QString::number(20 + r));
            if (r > 0) {
                cell(w, r, 2)->setText(QString::number(200 + 7 * r));
                cell(w, r, 3)->setText(QStringLiteral("0.00%1").arg(30 + r));
            }
        }
    }

private slots:
    void init()
    {
        device().reset();
        curveHeld.fill(false);
        curveTable = {};
    }
    void cleanup()
    {
        setProfileFileChoosers({}, {});
        setCurveFileChooser({});
    }

    // Saved, the table changed, loaded back: the same texts and the same
    // blocks on the wire as typing the values.
    void profileRoundTrip()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        typeTable(&window);
        const QStringList typed = numberTexts(&window);
        const QVector<QByteArray> typedBlocks = writtenBlocks(&window);
        curveTable[2][5] = 77;
        curveHeld[2] = true;
        const QString path = dir.filePath("round trip 配置.tessel.json");
        QString suggested;
        setProfileFileChoosers([path](QWidget *, const QString &) { return path; },
                               [path, &suggested](QWidget *, const QString &name) {
                                   suggested = name;
                                   return path;
                               });
        clickButton(&window, "toolButton_6");
        QVERIFY(suggested.startsWith("VELTRA-MINI-") && suggested.endsWith(".tessel.json"));
        clickButton(&window, "toolButton_7");   // defaults, within the device's 5-80 W
        QCOMPARE(cell(&window, 1, 1)->text(), QStringLiteral("80"));
        QCOMPARE(cell(&window, 1, 2)->text(), QStringLiteral("280"));
        QCOMPARE(cell(&window, 1, 3)->text(), QStringLiteral("0.0005"));
        curveTable[2] = {};
        clickButton(&window, "toolButton_5");
        QCOMPARE(numberTexts(&window), typed);
        QCOMPARE(curveTable[2][5], 77);
        QCOMPARE(writtenBlocks(&window), typedBlocks);
    }

    // A file that fails its check changes nothing and says why.
    void badProfileChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        const QByteArray head = "{\"format\": \"tessel-profile\", \"version\": 1, \"settings\": ";
        QTest::newRow("not JSON") << QByteArray("settings: 40 W") << "";
        QTest::newRow("other format") << QByteArray("{\"format\": \"x\", \"version\": 1}") << "format";
        QTest::newRow("newer version") << QByteArray("{\"format\": \"tessel-profile\", \"version\": 2}") << "版本";
        QTest::newRow("missing cell, merge declined") << head + "{\"PWR\": {\"watts\": 30}}}" << "缺少";
        QTest::newRow("out of range") << head + "{\"PWR\": {\"watts\": 70000}}}" << "PWR";
    }
    void badProfileChangesNothing()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        const QString path = dir.filePath("bad.tessel.json");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        typeTable(&window);
        const QStringList before = numberTexts(&window);
        setProfileFileChoosers([path](QWidget *, const QString &) { return path; }, {});
        if (reason == "缺少")
            answerNextMessageBox(QMessageBox::No);
        clickButton(&window, "toolButton_5");
        QCOMPARE(numberTexts(&window), before);
        QVERIFY2(logMessages(&window).last().startsWith(path) && logMessages(&window).last().contains(reason),
                 qPrintable(logMessages(&window).last()));
    }

    // °F on the screen, whole degrees Celsius on the wire: switching units
    // back and forth changes nothing the device receives.
    void fahrenheitChangesNothingOnTheWire()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        typeTable(&window);
        cell(&window, 1, 2)->setText("280.7");
        const QStringList celsius = numberTexts(&window);
        const QVector<QByteArray> blocks = writtenBlocks(&window);
        clickButton(&window, "pushButton_7");
        QCOMPARE(child<QLabel>(&window, "label_21")->text(), QStringLiteral("温度设定（°F）"));
        QCOMPARE(cell(&window, 1, 2)->text(), QStringLiteral("536"));   // 280 °C
        QCOMPARE(writtenBlocks(&window), blocks);
        cell(&window, 2, 2)->setText("451");   // typed in °F: 232.8 °C, sent as 233
        clickButton(&window, "pushButton_6");
        QCOMPARE(child<QLabel>(&window, "label_21")->text(), QStringLiteral("温度设定（°C）"));
        QCOMPARE(cell(&window, 2, 2)->text(), QStringLiteral("233"));
        cell(&window, 2, 2)->setText(celsius[5]);
        QCOMPARE(writtenBlocks(&window), blocks);
    }

    // The unit is remembered for the next start, where the program remembers choices.
    void unitIsRemembered()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("settings"));
        QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
        MainWindow::setRemembersChoices(true);
        {
            MainWindow first;
            QVERIFY(testsupport::waitForDeviceIdle(first.controller()));
            clickButton(&first, "pushButton_7");
        }
        {
            MainWindow next;
            QVERIFY(testsupport::waitForDeviceIdle(next.controller()));
            QCOMPARE(child<QLabel>(&next, "label_21")->text(), QStringLiteral("温度设定（°F）"));
            clickButton(&next, "pushButton_6");
        }
        MainWindow::setRemembersChoices(false);
        MainWindow last;
        QVERIFY(testsupport::waitForDeviceIdle(last.controller()));
        QCOMPARE(child<QLabel>(&last, "label_21")->text(), QStringLiteral("温度设定（°C）"));
    }

    // A curve out to CSV, into another group, and copied: the dialog shows
    // and holds what the file and the copy gave it.
    void curveCsvAndCopy()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        clickButton(&window, "toolButton_8");
        auto *dialog = qobject_cast<lineDlg *>(openCurveDialog.data());
        QVERIFY(dialog);
        const CurvePointsRow m1 = curveTable[0];
        QVERIFY(curveHeld[0]);
        const QString path = dir.filePath("m1.csv");
        setCurveFileChooser([path](QWidget *, bool, const QString &) { return path; });
        child<QAbstractButton>(dialog, "exportCsvButton")->click();
        child<QAbstractButton>(dialog, "radioButton_4")->click();   // M4, read from the device
        QVERIFY(waitForDeviceIdle(window.controller()));
        QVERIFY(curveTable[3] != m1);
        child<QAbstractButton>(dialog, "importCsvButton")->click();
        QCOMPARE(curveTable[3], m1);
        dialog->copyShownCurveTo(4);
        QCOMPARE(curveTable[4], m1);
        QVERIFY(curveHeld[3] && curveHeld[4]);
        // The copy is what the write button sends.
        child<QAbstractButton>(dialog, "toolButton_2")->click();
        QVERIFY(waitForDeviceIdle(window.controller()));
        for (int j = 0; j < 10; ++j)
            QCOMPARE(qint32(device().profile().curves[4][size_t(j)]), m1[size_t(j)]);

        // A curve above the device's 80 W is drawn at its own values and
        // marked, and kept as it is.
        QFile csv(path);
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("0,500\n1,10\n2,10\n3,10\n4,10\n5,10\n6,10\n7,10\n8,10\n9,500\n");
        csv.close();
        child<QAbstractButton>(dialog, "importCsvButton")->click();
        QCOMPARE(curveTable[4][0], 500);
        const auto series = child<QChartView>(dialog, "widget")->chart()->series();
        auto *above = qobject_cast<QScatterSeries *>(series.value(2));
        QVERIFY(above);
        QCOMPARE(above->count(), 2);
        QCOMPARE(above->at(0), QPointF(0, 500));
        QCOMPARE(above->at(1), QPointF(9, 500));
        // The imported curve was not written: closing asks, and discarding
        // brings back the copy that was.
        int asked = 0;
        setUnsavedCurveQuestion([&asked](QWidget *, int) {
            ++asked;
            return UnsavedCurveAnswer::Discard;
        });
        dialog->close();
        setUnsavedCurveQuestion(nullptr);
        QCOMPARE(asked, 1);
        QCOMPARE(curveTable[4], m1);
    }
};

QTEST_MAIN(TestProfilePage)
#include "tst_profilepage.moc"
