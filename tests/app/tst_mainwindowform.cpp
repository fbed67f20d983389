// The main window's form on its own, and the wiring of its slots by name.

#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "testsupport.h"
#include "ui_mainwindow.h"

#include <QMetaMethod>
#include <QtTest>

using namespace testsupport;

class TestMainWindowForm : public QObject
{
    Q_OBJECT

private slots:
    void formAloneStartState()
    {
        QMainWindow window;
        Ui::MainWindow ui;
        ui.setupUi(&window);
        QCOMPARE(ui.stackedWidget->currentIndex(), 0);
        const QWidget *pages[] = {ui.page_15, ui.page_16, ui.widget_12, ui.page_18};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(ui.stackedWidget->widget(i), pages[i]);
        for (QLabel *label : {ui.lab_dev_name, ui.lab_dev_version, ui.lab_dev_size, ui.lab_dev_power,
                              ui.lab_dev_wendu, ui.lab_dev_support})
            QCOMPARE(label->text(), QStringLiteral("-"));
        QCOMPARE(ui.progressBar_updata->value(), 24);
        QCOMPARE(ui.progressBar_img4->text(), QStringLiteral("0%"));
        QCOMPARE(window.size(), QSize(1000, 605));
    }

    void collapsedTitleButtonsTakeNoWidth()
    {
        QMainWindow window;
        Ui::MainWindow ui;
        ui.setupUi(&window);
        window.show();
        for (QWidget *w : std::initializer_list<QWidget *>{ui.title_a1, ui.toolButton_3, ui.pushButton_2,
                                                           ui.pushButton_3, ui.pushButton_4, ui.pushButton_5,
                                                           ui.label_18})
            QVERIFY2(w->width() == 0, qPrintable(w->objectName()));
        for (QWidget *w : std::initializer_list<QWidget *>{ui.toolButton_2_title_mini, ui.toolButton_2_title_max,
                                                           ui.toolButton_2_title_close})
            QVERIFY2(w->width() > 0, qPrintable(w->objectName()));
        QVERIFY(!ui.pushButton_4->isDefault());
    }

    // On the HELP page only the product-link panel takes clicks.
    void productPanelCoversTheSettings()
    {
        QMainWindow window;
        Ui::MainWindow ui;
        ui.setupUi(&window);
        ui.stackedWidget->setCurrentIndex(2);
        window.show();
        QCOMPARE(ui.widget_12->children().last(), ui.widget_13);
        QVERIFY(ui.widget_13->autoFillBackground());
        for (QWidget *control : std::initializer_list<QWidget *>{ui.toolButton_2, ui.toolButton_5, ui.toolButton_6,
                                                                 ui.toolButton_7, ui.toolButton_8, ui.tableWidget,
                                                                 ui.pushButton_6, ui.pushButton_7, ui.label_27}) {
            const QPoint centre = control->mapTo(ui.widget_12, control->rect().center());
            QWidget *hit = ui.widget_12->childAt(centre);
            QVERIFY2(hit == ui.widget_13 || ui.widget_13->isAncestorOf(hit), qPrintable(control->objectName()));
        }
        for (QWidget *link : {ui.toolButton_9, ui.toolButton_20})
            QCOMPARE(ui.widget_12->childAt(link->geometry().center() + ui.widget_13->pos()), link);
    }

    // Every "on_<object>_<signal>" slot of the window reaches a control of that name and signal.
    void everySlotFindsItsControl()
    {
        emu::EmulatedDevice::instance().reset();
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        const QMetaObject *meta = window.metaObject();
        int wired = 0;
        for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
            const QMetaMethod slot = meta->method(i);
            const QString name = QString::fromLatin1(slot.name());
            if (!name.startsWith(QLatin1String("on_")))
                continue;
            const int split = name.lastIndexOf(QLatin1Char('_'));
            const QString object = name.mid(3, split - 3);
            const QByteArray signal = name.mid(split + 1).toLatin1();
            QObject *control = window.findChild<QObject *>(object);
            QVERIFY2(control, qPrintable(name));
            bool hasSignal = false;
            for (int s = 0; s < control->metaObject()->methodCount(); ++s) {
                const QMetaMethod m = control->metaObject()->method(s);
                hasSignal |= m.methodType() == QMetaMethod::Signal && m.name() == signal
                             && m.parameterTypes() == slot.parameterTypes();
            }
            QVERIFY2(hasSignal, qPrintable(name));
            ++wired;
        }
        // 28 from the start, and the settings page's load, save, defaults, °C and °F.
        QCOMPARE(wired, 33);
    }
};

QTEST_MAIN(TestMainWindowForm)
#include "tst_mainwindowform.moc"
