// The window in English: every page, dialog, question and log line that a
// walk through the program shows reads without Chinese characters (the
// device's own name excepted). In both languages (and, as a second CTest
// entry, at 150 % scale) no text is cut off. And without the translation, the
// texts are the ones the window has always shown.

#include "app/dialogpointers.h"
#include "cjk.h"
#include "app/mainwindow.h"
#include "desktop/language.h"
#include "emulator/emulateddevice.h"
#include "firmware/firmwarefilechooser.h"
#include "editors/editdlg.h"
#include "images/myview.h"
#include "settings/chartview.h"
#include "testsupport.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtCharts/QAbstractAxis>
#include <QtTest>

using emu::EmulatedDevice;
using namespace testsupport;

namespace {

// Every text a person sees on the visible windows: captions, contents, tool
// tips, table cells and headers, list entries, chart titles.
QStringList visibleTexts()
{
    QStringList texts;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (!top->isVisible())
            continue;
        texts << top->windowTitle();
        QList<QWidget *> widgets = top->findChildren<QWidget *>();
        widgets.prepend(top);
        for (QWidget *w : widgets) {
            if (!w->isVisibleTo(top) && w != top)
                continue;
            texts << w->toolTip();
            if (auto *label = qobject_cast<QLabel *>(w))
                texts << label->text();
            else if (auto *button = qobject_cast<QAbstractButton *>(w))
                texts << button->text();
            else if (auto *edit = qobject_cast<QLineEdit *>(w))
                texts << edit->text() << edit->placeholderText();
            else if (auto *text = qobject_cast<QTextEdit *>(w))
                texts << text->toPlainText();
            else if (auto *group = qobject_cast<QGroupBox *>(w))
                texts << group->title();
            else if (auto *bar = qobject_cast<QProgressBar *>(w))
                texts << bar->text();
            else if (auto *combo = qobject_cast<QComboBox *>(w)) {
                for (int i = 0; i < combo->count(); ++i)
                    texts << combo->itemText(i);
            } else if (auto *table = qobject_cast<QTableWidget *>(w)) {
                for (int c = 0; c < table->columnCount(); ++c)
                    if (auto *item = table->horizontalHeaderItem(c))
                        texts << item->text();
                for (int r = 0; r < table->rowCount(); ++r) {
                    if (auto *item = table->verticalHeaderItem(r))
                        texts << item->text();
                    for (int c = 0; c < table->columnCount(); ++c)
                        if (auto *item = table->item(r, c))
                            texts << item->text() << item->toolTip();
                }
            } else if (auto *chart = qobject_cast<QChartView *>(w)) {
                texts << chart->chart()->title();
                for (QAbstractAxis *axis : chart->chart()->axes())
                    texts << axis->titleText();
            }
        }
    }
    return texts;
}

// Buttons and one-line labels whose text is wider than they are: a
// translation that does not fit is cut off on the screen. Of every visible
// window, or of only.
QStringList clippedTexts(QWidget *only = nullptr)
{
    QStringList clipped;
    for (QWidget *top : QApplication::topLevelWidgets()) {
        if (!top->isVisible() || (only && top != only))
            continue;
        for (QWidget *w : top->findChildren<QWidget *>()) {
            // The status line elides by design; a widget of no width shows nothing.
            if (!w->isVisibleTo(top) || w->width() == 0 || w->objectName() == QLatin1String("serviceStatusLabel"))
                continue;
            QString text;
            if (auto *label = qobject_cast<QLabel *>(w)) {
                if (label->wordWrap() || label->text().contains('\n'))
                    continue;
                text = label->text();
            } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
                text = button->text();
            }
            if (!text.isEmpty() && w->sizeHint().width() > w->width())
                clipped << QStringLiteral("%1 \"%2\": needs %3 px, has %4")
                               .arg(w->objectName(), text)
                               .arg(w->sizeHint().width())
                               .arg(w->width());
        }
    }
    return clipped;
}

} // namespace

class TestEnglishWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QStringList questions; // the text of every message box answered
    QTimer answerer;
    QString deviceName;

    // Texts with Chinese in them, with where they were seen.
    QStringList chinese(const QStringList &texts, const QString &where) const
    {
        QStringList found;
        for (QString text : texts) {
            if (!deviceName.isEmpty())
                text.remove(deviceName);
            if (hasCjk(text))
                found << where + QStringLiteral(": ") + text;
        }
        return found;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(installLanguage(Language::English));
        deviceName = QString::fromLatin1(EmulatedDevice::instance().profile().name);
        // Answers every question at once, Yes where there is one, and keeps its text.
        connect(&answerer, &QTimer::timeout, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            questions << box->windowTitle() << box->text() << box->informativeText();
            for (QAbstractButton *b : box->buttons())
                questions << b->text();
            QAbstractButton *yes = box->button(QMessageBox::Yes);
            (yes ? yes : box->buttons().first())->click();
        });
        answerer.start(10);
    }
    void cleanup() { installLanguage(Language::English); }
    void cleanupTestCase() { installLanguage(Language::Chinese); }

    void everyPageAndDialogReadsWhole_data()
    {
        QTest::addColumn<bool>("english");
        QTest::newRow("English") << true;
        QTest::newRow("Chinese") << false;
    }
    void everyPageAndDialogReadsWhole()
    {
        QFETCH(bool, english);
        QVERIFY(installLanguage(english ? Language::English : Language::Chinese));
        EmulatedDevice::instance().reset();
        questions.clear();
        QStringList found;
        auto look = [&](const QString &where) {
            if (english)
                found << chinese(visibleTexts(), where);
            for (const QString &text : clippedTexts())
                found << where + QStringLiteral(": cut off: ") + text;
        };

        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        look("start");
        child<QAbstractButton>(&window, "m_btn_Settings")->click();
        look("help");
        window.setServiceMode(true);
        child<QAbstractButton>(&window, "serviceDevicesButton")->click();
        look("devices");   // while the device is read: the held buttons say why
        QVERIFY(waitForDeviceIdle(window.controller()));

        // Firmware: a file for this device, the question, the upgrade, the backup offer.
        QByteArray firmware = EmulatedDevice::instance().profile().name.leftJustified(48, '\0', true);
        firmware += QByteArray(2000, char(0x5A));
        const QString path = dir.filePath("firmware.bin");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(firmware);
        file.close();
        child<QAbstractButton>(&window, "serviceFirmwareButton")->click();
        setFirmwareFileChooser([path](QWidget *) { return path; });
        child<QAbstractButton>(&window, "openFirmwareFilePushButton")->click();
        setFirmwareFileChooser({});
        look("firmware chosen");
        child<QAbstractButton>(&window, "pushButton")->click();
        QVERIFY(waitForDeviceIdle(window.controller()));
        QTest::qWait(200);
        // The backup offered back (Yes) is written before the settings page goes on.
        QVERIFY(waitForDeviceIdle(window.controller()));
        look("firmware written");

        // Settings and curves: the write (with its range question), the curve dialog.
        child<QAbstractButton>(&window, "serviceSettingsButton")->click();
        child<QAbstractButton>(&window, "toolButton_2")->click();
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        look("settings written");
        child<QAbstractButton>(&window, "toolButton_8")->click();
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QVERIFY(openCurveDialog);
        look("curve dialog");
        openCurveDialog->close();

        // Slots: the page, an editor and its drawing board.
        child<QAbstractButton>(&window, "serviceSlotsButton")->click();
        look("slots");
        window.openSlotEditor(2, QString());
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        auto *editor = qobject_cast<editDlg *>(openImageEditor.data());
        QVERIFY(editor);
        look("editor");
        editor->openDrawingBoard();
        look("drawing board");
        // Closed as a user closes it, its question answered Yes.
        answerer.stop();
        QTimer::singleShot(0, this, [this] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            questions << box->windowTitle() << box->text();
            for (QAbstractButton *b : box->buttons()) {
                questions << b->text();
                if (box->buttonRole(b) == QMessageBox::YesRole)
                    b->click();
            }
        });
        QVERIFY(editor->newestDrawingBoard()->close());
        answerer.start(10);
        editor->close();

        // The title strip's menu: the About box and the language entry.
        child<QAction>(&window, "aboutAction")->trigger();
        look("about box");
        child<QAction>(&window, "languageEnglishAction")->trigger();
        look("language box");

        // The walk went where it meant to: the upgrade, its backup offer, the write.
        const QStringList log = logMessages(&window);
        QVERIFY(!questions.isEmpty());
        if (english) {
            QVERIFY2(log.contains("Firmware written!"), qPrintable(log.join('\n')));
            QVERIFY(questions.join('\n').contains("Start the upgrade?"));
            QVERIFY(questions.join('\n').contains("Write them back to the device now?"));
            found << chinese(log, "log");
            found << chinese(questions, "question");
        } else {
            QVERIFY2(log.contains(QStringLiteral("写固件数据成功！")), qPrintable(log.join('\n')));
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join('\n')));
    }

    // The editor's labels and buttons hold their texts in either language,
    // for the smallest and the largest slot sizes.
    void editorTextsFit_data()
    {
        QTest::addColumn<bool>("english");
        QTest::addColumn<QSize>("slotSize");
        for (const bool english : {false, true})
            for (const QSize &size : {QSize(8, 8), QSize(240, 280), QSize(1024, 1024)})
                QTest::addRow("%s %dx%d", english ? "English" : "Chinese", size.width(), size.height())
                    << english << size;
    }
    void editorTextsFit()
    {
        QFETCH(bool, english);
        QFETCH(QSize, slotSize);
        QVERIFY(installLanguage(english ? Language::English : Language::Chinese));
        editDlg editor(4, slotSize.width(), slotSize.height(), 0x54, nullptr);
        editor.show();
        const QStringList clipped = clippedTexts(&editor);
        QVERIFY(installLanguage(Language::English));
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join('\n')));
    }

    // The title strip's entry is remembered for the next start (only by the
    // program as its users start it), and the running window stays as it is.
    void languageEntryIsRemembered_data()
    {
        QTest::addColumn<bool>("remembers");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("kept");
        QTest::newRow("Chinese chosen") << true << "languageChineseAction" << "zh";
        QTest::newRow("English chosen") << true << "languageEnglishAction" << "en";
        QTest::newRow("tests keep nothing") << false << "languageChineseAction" << "";
    }
    void languageEntryIsRemembered()
    {
        QFETCH(bool, remembers);
        QFETCH(QString, action);
        QFETCH(QString, kept);
        QTemporaryDir settings;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
        MainWindow::setRemembersChoices(remembers);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        QVERIFY(child<QAction>(&window, "languageEnglishAction")->isChecked());
        child<QAction>(&window, qPrintable(action))->trigger();
        MainWindow::setRemembersChoices(false);
        QCOMPARE(rememberedLanguage(), kept);
        QCOMPARE(installedLanguage(), Language::English);
        QCOMPARE(child<QAbstractButton>(&window, "toolButton_5")->text(), QStringLiteral("Load (3)"));
    }

    // Chinese is the source: no translation, the window's own texts.
    void withoutTheTranslationTheTextsAreUnchanged()
    {
        QVERIFY(installLanguage(Language::Chinese));
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.setServiceMode(true);
        QCOMPARE(child<QAbstractButton>(&window, "serviceDevicesButton")->text(), QStringLiteral("设备信息"));
        QCOMPARE(child<QAbstractButton>(&window, "toolButton_5")->text(), QStringLiteral("加载文件（3）"));
        QVERIFY(installLanguage(Language::English));
        MainWindow english;
        QVERIFY(testsupport::waitForDeviceIdle(english.controller()));
        english.setServiceMode(true);
        QCOMPARE(child<QAbstractButton>(&english, "serviceDevicesButton")->text(), QStringLiteral("Device"));
    }
};

QTEST_MAIN(TestEnglishWindow)
#include "tst_englishwindow.moc"
