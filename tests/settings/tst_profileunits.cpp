// Degrees Fahrenheit, the table against the device's ranges, the defaults
// within them, and a power curve as CSV.

#include "settings/curvecsv.h"
#include "settings/settingsranges.h"
#include "settings/temperatureunits.h"

#include <QtTest>

#include <limits>

class TestProfileUnits : public QObject
{
    Q_OBJECT

private slots:
    // Every Celsius value the wire carries, shown in whole degrees Fahrenheit,
    // comes back as itself; the shown value is the nearest whole degree and
    // grows with the Celsius value.
    void fahrenheitSweep()
    {
        int previous = std::numeric_limits<int>::min();
        for (qint32 celsius = 0; celsius <= 65535; ++celsius) {
            const int fahrenheit = celsiusToFahrenheit(celsius);
            qint32 back = -1;
            if (!fahrenheitToCelsius(fahrenheit, back) || back != celsius)
                QFAIL(qPrintable(QStringLiteral("%1 °C shown as %2 °F reads back as %3").arg(celsius).arg(fahrenheit).arg(back)));
            if (fahrenheit <= previous || std::abs(fahrenheit - (celsius * 1.8 + 32)) > 0.4 + 1e-9)
                QFAIL(qPrintable(QStringLiteral("%1 °C shown as %2 °F").arg(celsius).arg(fahrenheit)));
            previous = fahrenheit;
        }
    }

    void fahrenheitTyped_data()
    {
        QTest::addColumn<double>("fahrenheit");
        QTest::addColumn<int>("celsius");   // -1: refused
        QTest::newRow("freezing") << 32.0 << 0;
        QTest::newRow("just below freezing rounds to 0") << 31.5 << 0;
        QTest::newRow("below 0 °C") << 31.0 << -1;
        QTest::newRow("33 °F is nearer 1 °C") << 33.0 << 1;
        QTest::newRow("half a degree rounds up") << 32.9 << 1;
        QTest::newRow("top of the wire") << 117995.0 << 65535;
        QTest::newRow("past the wire") << 117995.9 << -1;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << -1;
    }
    void fahrenheitTyped()
    {
        QFETCH(double, fahrenheit);
        QFETCH(int, celsius);
        qint32 wire = -1;
        QCOMPARE(fahrenheitToCelsius(fahrenheit, wire), celsius >= 0);
        QCOMPARE(wire, celsius);
    }

    // Every wattage 30 and temperature 200 (TCR 390), then the changes of a
    // row, against 5-80 W and 100-300 °C unless a row says otherwise.
    void ranges_data()
    {
        QTest::addColumn<QString>("changes");   // "row,column=value;..."
        QTest::addColumn<int>("powerHigh");
        QTest::addColumn<int>("celsiusHigh");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("all inside") << "" << 80 << 300 << QStringList();
        QTest::newRow("edges are inside") << "0,1=5;1,1=80;2,2=100;3,2=300" << 80 << 300 << QStringList();
        QTest::newRow("wattage above") << "1,1=1000" << 80 << 300
                                       << QStringList{"NI200 功率设定（W）：1000，设备范围 5–80 W"};
        QTest::newRow("wattage below, temperatures out, in reading order")
            << "6,2=400;0,1=4;2,2=99" << 80 << 300
            << QStringList{"PWR 功率设定（W）：4，设备范围 5–80 W", "TI 温度设定（°C）：99，设备范围 100–300 °C",
                           "TCR2 温度设定（°C）：400，设备范围 100–300 °C"};
        QTest::newRow("ranges unknown") << "1,1=1000;2,2=999" << 0 << 300 << QStringList();
        QTest::newRow("no Celsius range: temperatures not judged")
            << "1,1=1000;2,2=999" << 80 << 0 << QStringList{"NI200 功率设定（W）：1000，设备范围 5–80 W"};
        QTest::newRow("cells without numbers and the TCR ignored") << "0,2=999;4,1=999;4,2=999;3,3=65535" << 80
                                                                   << 300 << QStringList();
    }
    void ranges()
    {
        QFETCH(QString, changes);
        QFETCH(int, powerHigh);
        QFETCH(int, celsiusHigh);
        QFETCH(QStringList, texts);
        SettingsValues values{};
        for (auto &row : values)
            row = {0, 30, 200, 390};
        for (const QString &change : changes.split(';', Qt::SkipEmptyParts)) {
            const QStringList parts = change.split(QRegularExpression("[,=]"));
            values[size_t(parts[0].toInt())][size_t(parts[1].toInt())] = parts[2].toInt();
        }
        ScreenAndRanges ranges;
        ranges.powerLow = 5;
        ranges.powerHigh = powerHigh;
        ranges.celsiusLow = 100;
        ranges.celsiusHigh = celsiusHigh;
        QStringList shown;
        for (const OutOfRangeCell &cell : cellsOutOfRange(values, ranges))
            shown << outOfRangeText(cell);
        QCOMPARE(shown, texts);
    }

    // The defaults within the device's ranges once they are known.
    void defaults_data()
    {
        QTest::addColumn<QList<int>>("ranges");   // power low, high, Celsius low, high
        QTest::addColumn<int>("watts");
        QTest::addColumn<int>("celsius");
        QTest::newRow("ranges unknown") << QList<int>{0, 0, 0, 0} << 200 << 280;
        QTest::newRow("80 W, 100-316 °C") << QList<int>{5, 80, 100, 316} << 80 << 280;
        QTest::newRow("300 W, 100-250 °C") << QList<int>{5, 300, 100, 250} << 200 << 250;
        QTest::newRow("above the defaults") << QList<int>{250, 300, 300, 400} << 250 << 300;
        QTest::newRow("power known, Celsius not") << QList<int>{5, 80, 0, 0} << 80 << 280;
        QTest::newRow("a range upside down is ignored") << QList<int>{90, 80, 100, 316} << 200 << 280;
    }
    void defaults()
    {
        QFETCH(QList<int>, ranges);
        QFETCH(int, watts);
        QFETCH(int, celsius);
        ScreenAndRanges device;
        device.powerLow = ranges[0];
        device.powerHigh = ranges[1];
        device.celsiusLow = ranges[2];
        device.celsiusHigh = ranges[3];
        const SettingsValues values = defaultSettingsValues(device);
        for (const auto &row : values)
            QCOMPARE(row, (std::array<qint32, SettingsColumns>{0, watts, celsius, 50}));
        QVERIFY(cellsOutOfRange(values, device).isEmpty() || ranges[0] > ranges[1]);
    }

    void csvRoundTrip()
    {
        const CurvePointsRow points{0, 65535, 30, 30, 28, 26, 25, 25, 25, 1};
        const QByteArray csv = curveToCsv(points);
        QCOMPARE(csv, QByteArray("0,0\n1,65535\n2,30\n3,30\n4,28\n5,26\n6,25\n7,25\n8,25\n9,1\n"));
        const CurveCsvLoad load = curveFromCsv(csv);
        QVERIFY2(load.ok(), qPrintable(load.error));
        QCOMPARE(load.points, points);
    }

    // The ten points 0, 10, ... 90 written in different ways.
    void csvRead_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("error");   // empty: reads as 0, 10, ... 90
        QByteArray lines[10];
        for (int s = 0; s < 10; ++s)
            lines[s] = QByteArray::number(s) + ',' + QByteArray::number(10 * s);
        auto joined = [&](const QByteArray &end, int from = 0, int to = 10) {
            QByteArray csv;
            for (int s = from; s < to; ++s)
                csv += lines[s] + end;
            return csv;
        };
        const QString bad = QStringLiteral("曲线文件无效：");
        QTest::newRow("LF") << joined("\n") << "";
        QTest::newRow("CRLF") << joined("\r\n") << "";
        QTest::newRow("no end after the last line") << joined("\n").chopped(1) << "";
        QTest::newRow("spaces and byte order mark")
            << "\xEF\xBB\xBF" + joined("\n").replace(",", " , ").replace("\n", "  \n ").chopped(1) << "";
        QTest::newRow("nine lines") << joined("\n", 0, 9) << bad + "应为 10 行，实为 9 行";
        QTest::newRow("a blank line at the end") << joined("\n") + "\n" << bad + "应为 10 行，实为 11 行";
        QTest::newRow("a header") << "second,watts\n" + joined("\n", 0, 9) << bad + "第 1 行：秒数应为 0，实为“second”";
        QTest::newRow("seconds swapped") << joined("\n").replace("3,30\n4,40", "4,40\n3,30")
                                         << bad + "第 4 行：秒数应为 3，实为“4”";
        QTest::newRow("negative") << joined("\n").replace("5,50", "5,-50") << bad + "第 6 行：功率“-50”不是整数";
        QTest::newRow("decimal") << joined("\n").replace("5,50", "5,50.5") << bad + "第 6 行：功率“50.5”不是整数";
        QTest::newRow("above 65535") << joined("\n").replace("9,90", "9,0000065536")
                                     << bad + "第 10 行：功率 0000065536 超出 0–65535";
        QTest::newRow("semicolons") << joined("\n").replace(",", ";") << bad + "第 1 行：应为“秒,功率”两项";
        QTest::newRow("empty") << QByteArray() << bad + "文件是空的";
        QTest::newRow("byte order mark and blank lines only") << QByteArray("\xEF\xBB\xBF\n \r\n") << bad + "文件是空的";
    }
    void csvRead()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QString, error);
        const CurveCsvLoad load = curveFromCsv(csv);
        QCOMPARE(load.error, error);
        if (load.ok())
            QCOMPARE(load.points, (CurvePointsRow{0, 10, 20, 30, 40, 50, 60, 70, 80, 90}));
    }
};

QTEST_APPLESS_MAIN(TestProfileUnits)
#include "tst_profileunits.moc"
