// The window for keyboards and screen readers: Tab walks every page and both
// dialogs through every control a person sees, in reading order and back,
// each with a name a screen reader can say and a frame around it; the table,
// the slots and the upgrade work from the keyboard alone; the curve chart
// gives its points as text; the title strip's menu can be read.

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
#include "desktop/language.h"
#include "emulator/emulateddevice.h"
#include "firmware/firmwarefilechooser.h"
#include "editors/editdlg.h"
#include "settings/chartview.h"
#include "editors/linedlg.h"
#include "settings/powercurves.h"
#include "settings/unsavedcurvequestion.h"
#include "testsupport.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using emu::EmulatedDevice;
using namespace testsupport;

namespace {

QString spokenName(QWidget *w)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
    return face ? face->text(QAccessible::Name).trimmed() : QString();
}

bool isInteractive(QWidget *w)
{
    if (qobject_cast<QScrollBar *>(w))
        return false;
    // A box's own line edit is reached with its box.
    if (qobject_cast<QLineEdit *>(w) && (qobject_cast<QComboBox *>(w->parentWidget())
                                         || qobject_cast<QAbstractSpinBox *>(w->parentWidget())))
        return false;
    return qobject_cast<QAbstractButton *>(w) || qobject_cast<QLineEdit *>(w) || qobject_cast<QComboBox *>(w)
           || qobject_cast<QAbstractSpinBox *>(w) || qobject_cast<QAbstractItemView *>(w)
           || qobject_cast<QTextEdit *>(w) || qobject_cast<QChartView *>(w);
}

// The table's step buttons: the arrow keys in their number do their work.
bool isStepButton(QWidget *w)
{
    return w->parentWidget() && w->parentWidget()->inherits("my_spinbox") && qobject_cast<QAbstractButton *>(w);
}

// Controls a person sees in window: shown, enabled, of some size, and what a
// click on their middle reaches.
QList<QWidget *> seenControls(QWidget *window)
{
    QList<QWidget *> seen;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisible() || !w->isEnabled() || w->width() <= 0 || w->height() <= 0 || !isInteractive(w)
            || isStepButton(w))
            continue;
        QWidget *hit = window->childAt(w->mapTo(window, w->rect().center()));
        if (hit && (hit == w || w->isAncestorOf(hit)))
            seen << w;
    }
    return seen;
}

// b follows a in reading order: on a later row, or on the same row further right.
bool readsAfter(QWidget *a, QWidget *b)
{
    const QRect ra(a->mapToGlobal(QPoint(0, 0)), a->size());
    const QRect rb(b->mapToGlobal(QPoint(0, 0)), b->size());
    return rb.center().y() > ra.bottom() || (rb.top() < ra.bottom() && rb.bottom() > ra.top() && rb.left() >= ra.left());
}

QWidget *frameIn(QWidget *window)
{
    return window->findChild<QWidget *>(QStringLiteral("focusFrame"), Qt::FindDirectChildrenOnly);
}

// WCAG contrast of two colours.
double contrast(QRgb a, QRgb b)
{
    auto luminance = [](QRgb c) {
        auto channel = [](int v) {
            const double s = v / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    QString firmwareFile()
    {
        QByteArray firmware = EmulatedDevice::instance().profile().name.leftJustified(48, '\0', true);
        firmware += QByteArray(480, char(0x5A));
        const QString path = dir.filePath("firmware.bin");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(firmware);
        return path;
    }

    // Tab from wherever the focus is until it comes round: the stops in order.
    static QList<QWidget *> walk(QWidget *window, Qt::Key key)
    {
        QList<QWidget *> reached;
        for (int i = 0; i < 300; ++i) {
            QWidget *from = QApplication::focusWidget() ? QApplication::focusWidget() : window;
            QTest::keyClick(from, key);
            QWidget *now = QApplication::focusWidget();
            if (!now || reached.contains(now))
                break;
            reached << now;
        }
        return reached;
    }

    static void pressOn(QWidget *window, const char *name, Qt::Key key)
    {
        QWidget *target = child<QWidget>(window, name);
        QVERIFY2(target, name);
        for (int i = 0; i < 300 && QApplication::focusWidget() != target; ++i)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : window, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), target);
        QTest::keyClick(target, key);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { EmulatedDevice::instance().reset(); }
    void cleanup()
    {
        installLanguage(Language::Chinese);
        setFirmwareFileChooser({});
        setUnsavedCurveQuestion({});
    }

    void tabReachesEveryControlByName_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QString>("place");
        for (bool english : {false, true})
            for (const char *place : {"start", "help", "devices", "firmware", "settings", "slots", "curves", "editor"})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(english ? "en" : "zh", place)))
                    << english << QString::fromLatin1(place);
    }
    void tabReachesEveryControlByName()
    {
        QFETCH(bool, english);
        QFETCH(QString, place);
        QVERIFY(installLanguage(english ? Language::English : Language::Chinese));
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QWidget *walked = &window;
        if (place == "help") {
            child<QAbstractButton>(&window, "m_btn_Settings")->click();
        } else if (place != "start") {
            window.setServiceMode(true);
            const QMap<QString, const char *> buttons{{"devices", "serviceDevicesButton"},
                                                      {"firmware", "serviceFirmwareButton"},
                                                      {"settings", "serviceSettingsButton"},
                                                      {"curves", "serviceSettingsButton"},
                                                      {"slots", "serviceSlotsButton"},
                                                      {"editor", "serviceSlotsButton"}};
            child<QAbstractButton>(&window, buttons[place])->click();
        }
        if (place == "firmware") {
            // Chosen: the start button is enabled and the file shown.
            const QString path = firmwareFile();
            setFirmwareFileChooser([path](QWidget *) { return path; });
            child<QAbstractButton>(&window, "openFirmwareFilePushButton")->click();
        } else if (place == "curves") {
            child<QAbstractButton>(&window, "toolButton_8")->click();
            walked = openCurveDialog.data();
        } else if (place == "editor") {
            window.openSlotEditor(2, QString());
            QVERIFY(waitForDeviceIdle(window.controller()));
            walked = openImageEditor.data();
        }
        QVERIFY(walked);
        walked->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(walked));

        if (QApplication::focusWidget())
            QApplication::focusWidget()->clearFocus();
        const QList<QWidget *> reached = walk(walked, Qt::Key_Tab);
        QStringList faults;
        for (QWidget *control : seenControls(walked)) {
            // A group of radio buttons is one stop; the arrow keys choose within it.
            auto *radio = qobject_cast<QRadioButton *>(control);
            const bool inReach = std::any_of(reached.begin(), reached.end(), [control, radio](QWidget *stop) {
                return stop == control || control->isAncestorOf(stop)
                       || (radio && radio->autoExclusive() && qobject_cast<QRadioButton *>(stop)
                           && stop->parentWidget() == radio->parentWidget());
            });
            if (!inReach)
                faults << QStringLiteral("out of Tab reach: %1").arg(control->objectName());
        }
        QWidget *frame = frameIn(walked);
        QVERIFY(frame);
        for (int i = 0; i < reached.size(); ++i) {
            QWidget *stop = reached[i];
            if (spokenName(stop).isEmpty())
                faults << QStringLiteral("no accessible name: %1").arg(stop->objectName());
            if (i > 0 && stop->parentWidget() == reached[i - 1]->parentWidget() && !readsAfter(reached[i - 1], stop))
                faults << QStringLiteral("out of reading order: %1 after %2")
                              .arg(stop->objectName(), reached[i - 1]->objectName());
        }
        // Every label a person reads is named too (for a label, by its text).
        for (QLabel *label : walked->findChildren<QLabel *>())
            if (label->isVisible() && label->width() > 0 && !label->text().isEmpty() && spokenName(label).isEmpty())
                faults << QStringLiteral("label without a name: %1").arg(label->objectName());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        QVERIFY(reached.size() >= 2);

        // The frame is round the control the keyboard reached.
        QWidget *last = QApplication::focusWidget();
        QVERIFY(frame->isVisible());
        QVERIFY(frame->geometry().contains(QRect(last->mapTo(walked, QPoint(0, 0)), last->size()) & walked->rect()));
        // Shift+Tab goes the same way back.
        QList<QWidget *> back = walk(walked, Qt::Key_Backtab);
        std::reverse(back.begin(), back.end());
        QCOMPARE(back, reached);

        if (openImageEditor)
            openImageEditor->close();
        if (openCurveDialog)
            openCurveDialog->close();
    }

    // A click puts no frame round what it reached; the start looks as it always did.
    void noFrameWithoutTheKeyboard()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QWidget *link = child<QWidget>(&window, "m_btn_Devices");
        link->setFocus(Qt::MouseFocusReason);
        QVERIFY(!frameIn(&window)->isVisible());
        QTest::keyClick(link, Qt::Key_Tab);
        QVERIFY(frameIn(&window)->isVisible());
    }

    // The working-mode table: Tab stops at each number, the arrow keys step
    // it as its buttons do, and its name says which mode and setting it is.
    void tableNumbersStepWithTheArrowKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("shown");
        QTest::newRow("up") << int(Qt::Key_Up) << "201";
        QTest::newRow("down") << int(Qt::Key_Down) << "199";
        QTest::newRow("typed") << int(Qt::Key_5) << "5";
    }
    void tableNumbersStepWithTheArrowKeys()
    {
        QFETCH(int, key);
        QFETCH(QString, shown);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        window.setServiceMode(true);
        child<QAbstractButton>(&window, "serviceSettingsButton")->click();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto *table = child<QTableWidget>(&window, "tableWidget");
        QLineEdit *edit = table->cellWidget(0, 1)->findChild<QLineEdit *>("lineEdit");
        edit->setText("200");
        QList<QWidget *> reached;
        for (int i = 0; i < 100 && QApplication::focusWidget() != edit; ++i)
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), edit);
        QTest::keyClick(edit, Qt::Key(key));
        QCOMPARE(edit->text(), shown);
        QVERIFY2(spokenName(edit).contains(table->item(0, 0)->text()), qPrintable(spokenName(edit)));
        QVERIFY(spokenName(edit).contains(child<QLabel>(&window, "label_20")->text()));
        // The next Tab goes on to the next number, not to another cell of the table.
        QTest::keyClick(edit, Qt::Key_Tab);
        QWidget *next = QApplication::focusWidget();
        QVERIFY(next != edit && qobject_cast<QLineEdit *>(next) && table->isAncestorOf(next));
    }

    // The slots and the upgrade from the keyboard alone: Tab to the button,
    // Return or Space, and the questions answered from the keyboard.
    void slotsAndUpgradeFromTheKeyboard_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("key");
        QTest::newRow("slot 2 by Return") << "serviceSlotsButton" << "toolButton_10" << int(Qt::Key_Return);
        QTest::newRow("slot by its number") << "serviceSlotsButton" << "toolButton_15" << int(Qt::Key_Space);
        QTest::newRow("upgrade") << "serviceFirmwareButton" << "pushButton" << int(Qt::Key_Return);
        QTest::newRow("settings write") << "serviceSettingsButton" << "toolButton_2" << int(Qt::Key_Enter);
    }
    void slotsAndUpgradeFromTheKeyboard()
    {
        QFETCH(QString, page);
        QFETCH(QString, button);
        QFETCH(int, key);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        window.setServiceMode(true);
        child<QAbstractButton>(&window, qPrintable(page))->click();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QTimer answer;
        // Y once per question: its button takes a moment to press itself.
        QPointer<QMessageBox> answered;
        connect(&answer, &QTimer::timeout, this, [&answered] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (box && box != answered) {
                answered = box;
                QTest::keyClick(box, Qt::Key_Y);
            }
        });
        answer.start(20);
        if (button == "pushButton") {
            const QString path = firmwareFile();
            setFirmwareFileChooser([path](QWidget *) { return path; });
            pressOn(&window, "openFirmwareFilePushButton", Qt::Key_Space);
            QVERIFY(child<QWidget>(&window, "pushButton")->isEnabled());
        } else if (button == "toolButton_15") {
            QTest::keyClicks(child<QLineEdit>(&window, "lineEdit_2"), "7");
        }
        pressOn(&window, qPrintable(button), Qt::Key(key));
        QVERIFY(waitForDeviceIdle(window.controller()));
        const QStringList log = logMessages(&window);
        if (page == "serviceSlotsButton") {
            QVERIFY(waitForDeviceIdle(window.controller()));
            auto *editor = qobject_cast<editDlg *>(openImageEditor.data());
            QVERIFY(editor);
            QVERIFY2(editor->windowTitle().contains(button == "toolButton_10" ? "2" : "7"),
                     qPrintable(editor->windowTitle()));
            editor->close();
        } else if (page == "serviceFirmwareButton") {
            QVERIFY2(log.contains(QStringLiteral("写固件数据成功！")), qPrintable(log.join('\n')));
        } else {
            QCOMPARE(child<QLabel>(&window, "serviceStatusLabel")->toolTip(), QStringLiteral("设置已写入设备"));
        }
    }

    // The chart's ten points as text, following the shown curve.
    void curveChartGivesItsPointsAsText()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        window.setServiceMode(true);
        child<QAbstractButton>(&window, "serviceSettingsButton")->click();
        child<QAbstractButton>(&window, "toolButton_8")->click();
        auto *dialog = qobject_cast<lineDlg *>(openCurveDialog.data());
        QVERIFY(dialog);
        auto *chart = dialog->findChild<QChartView *>();
        for (int target : {3, 1}) {
            curveTable[size_t(dialog->shownCurve())] = {5, 10, 15, 20, 25, 30, 35, 40, 45, 1234};
            dialog->copyShownCurveTo(target);
            QCOMPARE(spokenName(chart), QStringLiteral("功率曲线 M%1").arg(target + 1));
            QCOMPARE(chart->accessibleDescription(),
                     QStringLiteral("0 秒：5 W，1 秒：10 W，2 秒：15 W，3 秒：20 W，4 秒：25 W，5 秒：30 W，"
                                    "6 秒：35 W，7 秒：40 W，8 秒：45 W，9 秒：1234 W"));
        }
        QVERIFY(chart->focusPolicy() & Qt::TabFocus);
        setUnsavedCurveQuestion([](QWidget *, int) { return UnsavedCurveAnswer::Discard; });
        dialog->close();
    }

    // The title strip's menu: its words stand out from its ground.
    void titleMenuIsLegible()
    {
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QImage shown;
        QRect entry;
        QList<QRgb> words;
        QTimer::singleShot(50, this, [&shown, &entry, &words] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            shown = menu->grab().toImage();
            words << menu->palette().color(QPalette::Text).rgb() << menu->palette().color(QPalette::WindowText).rgb();
            entry = menu->actionGeometry(menu->actions().first()).adjusted(3, 3, -3, -3);
            menu->close();
        });
        QWidget *strip = child<QWidget>(&window, "widget_1title");
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 10), strip->mapToGlobal(QPoint(20, 10)));
        QApplication::sendEvent(strip, &click);
        QVERIFY(!shown.isNull());
        // The words are drawn in the menu's text colour; the ground is the
        // commonest colour within the first entry.
        QHash<QRgb, int> counts;
        for (int y = entry.top(); y <= entry.bottom(); ++y)
            for (int x = entry.left(); x <= entry.right(); ++x)
                ++counts[shown.pixel(x, y) | 0xFF000000];
        QRgb ground = counts.begin().key();
        for (auto it = counts.begin(); it != counts.end(); ++it)
            if (it.value() > counts.value(ground))
                ground = it.key();
        for (QRgb text : words)
            QVERIFY2(contrast(ground, text) >= 4.5, qPrintable(QString::number(contrast(ground, text))));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
