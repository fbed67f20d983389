// The table's numeric entry: what it shows, what it reads back and how its
// buttons step and hold the limits.

#include "settings/my_spinbox.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

using namespace testsupport;

class TestMySpinbox : public QObject
{
    Q_OBJECT

private slots:
    // The start value is kept but not shown; typed text is read unclamped.
    void showsAndReads()
    {
        my_spinbox box(200, 0, 1000, 1);
        auto *edit = child<QLineEdit>(&box, "lineEdit");
        QCOMPARE(box.size(), QSize(217, 38));
        QCOMPARE(edit->geometry(), QRect(60, 10, 101, 21));
        QCOMPARE(edit->text(), QStringLiteral("0"));
        QCOMPARE(box.value(), 0.0f);
        box.setValue(0.0005f);
        QCOMPARE(edit->text(), QStringLiteral("0.0005"));
        box.setValue(1234567.0f);
        QCOMPARE(edit->text(), QStringLiteral("1.23457e+06"));
        edit->setText(QStringLiteral("5000"));
        QCOMPARE(box.value(), 5000.0f);
        edit->setText(QStringLiteral("abc"));
        QCOMPARE(box.value(), 0.0f);
    }

    void buttons_data()
    {
        QTest::addColumn<float>("minimum");
        QTest::addColumn<float>("maximum");
        QTest::addColumn<float>("step");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("afterDown");
        QTest::addColumn<QString>("afterUp");
        QTest::newRow("inside") << 0.0f << 1000.0f << 1.0f << "200" << "199" << "201";
        QTest::newRow("at maximum") << 0.0f << 1000.0f << 1.0f << "1000" << "999" << "1000";
        QTest::newRow("at minimum") << 0.0f << 1000.0f << 1.0f << "0" << "0" << "1";
        QTest::newRow("tcr at minimum") << 0.0005f << 0.008f << 0.00001f << "0.0005" << "0.0005" << "0.00051";
        QTest::newRow("tcr at maximum") << 0.0005f << 0.008f << 0.00001f << "0.008" << "0.00799" << "0.008";
        QTest::newRow("hundredths") << 0.0f << 1.0f << 0.01f << "0.05" << "0.04" << "0.06";
        QTest::newRow("typed above maximum") << 0.0f << 1000.0f << 1.0f << "5000" << "4999" << "1000";
        QTest::newRow("typed below minimum") << 10.0f << 1000.0f << 1.0f << "3" << "10" << "4";
        QTest::newRow("not a number") << 0.0f << 1000.0f << 1.0f << "abc" << "0" << "1";
    }
    void buttons()
    {
        QFETCH(float, minimum);
        QFETCH(float, maximum);
        QFETCH(float, step);
        QFETCH(QString, text);
        QFETCH(QString, afterDown);
        QFETCH(QString, afterUp);
        my_spinbox box(0, minimum, maximum, step);
        auto *edit = child<QLineEdit>(&box, "lineEdit");
        edit->setText(text);
        child<QToolButton>(&box, "toolButton")->click();
        QCOMPARE(edit->text(), afterDown);
        edit->setText(text);
        child<QToolButton>(&box, "toolButton_2")->click();
        QCOMPARE(edit->text(), afterUp);
    }
};

QTEST_MAIN(TestMySpinbox)
#include "tst_myspinbox.moc"
