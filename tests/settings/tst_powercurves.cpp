// The pure part of the power curves: hit testing, the dragged value, the
// drawn line and the bytes of the curve exchange.

#include "settings/curvedragmodel.h"

#include <QtTest>

namespace {

QByteArray bytesOf(const ApplicationBlock &block)
{
    return QByteArray(reinterpret_cast<const char *>(block.data()), int(block.size()));
}

} // namespace

Q_DECLARE_METATYPE(CurvePointsRow)

class TestPowerCurves : public QObject
{
    Q_OBJECT

private slots:
    void hitTest_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("point");
        QTest::newRow("just left of point 0") << 39 << -1;
        QTest::newRow("left edge of point 0") << 40 << 0;
        QTest::newRow("right edge of point 0") << 60 << 0;
        QTest::newRow("just outside point 0") << 61 << -1;
        QTest::newRow("between points 0 and 1") << 87 << -1;
        QTest::newRow("point 9") << 725 << 9;
        QTest::newRow("past point 9") << 736 << -1;
    }
    void hitTest()
    {
        QFETCH(int, x);
        QFETCH(int, point);
        QCOMPARE(curvePointAt(x), point);
    }

    void draggedValue_data()
    {
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("watts");
        QTest::newRow("152 W, top") << 152 << 40 << 152;
        QTest::newRow("152 W, above the plot") << 152 << -20 << 152;
        QTest::newRow("152 W, middle") << 152 << 188 << 76;
        QTest::newRow("152 W, below the plot") << 152 << 390 << 0;
        QTest::newRow("80 W, top gives the full 80") << 80 << 40 << 80;
        QTest::newRow("80 W, one pixel down") << 80 << 41 << 79;
        QTest::newRow("16-bit scale, top") << 65535 << 40 << 65535;
    }
    void draggedValue()
    {
        QFETCH(int, top);
        QFETCH(int, y);
        QFETCH(int, watts);
        QCOMPARE(draggedWatts(y, top), watts);
    }

    // A drag holds the point in the pressed column and keeps the axis top it
    // started with, so the point follows the pointer even when it held the
    // axis up; the axis may change once the point is let go.
    void dragAlongTheAxis_data()
    {
        QTest::addColumn<int>("powerHigh");
        QTest::addColumn<CurvePointsRow>("points");
        QTest::addColumn<int>("pressX");
        QTest::addColumn<int>("toY");
        QTest::addColumn<int>("held");
        QTest::addColumn<int>("watts");
        QTest::addColumn<int>("topDuring");
        QTest::addColumn<int>("topAfter");
        const CurvePointsRow flat{30, 30, 30, 30, 30, 30, 30, 30, 30, 30};
        const CurvePointsRow peak5{30, 30, 30, 30, 30, 160, 30, 30, 30, 30};
        const CurvePointsRow peak9{30, 30, 30, 30, 30, 30, 30, 30, 30, 160};
        QTest::newRow("80 W device, to the top") << 80 << flat << 50 << 40 << 0 << 80 << 80 << 80;
        QTest::newRow("unknown top drags on 152 W") << 0 << flat << 275 << 188 << 3 << 76 << 152 << 152;
        QTest::newRow("above the plot clamps at the top") << 80 << flat << 725 << -50 << 9 << 80 << 80 << 80;
        QTest::newRow("between points holds none") << 80 << flat << 87 << 100 << -1 << -1 << 80 << 80;
        QTest::newRow("peak dragged down keeps its axis until let go")
            << 80 << peak5 << 425 << 336 << 5 << 0 << 160 << 80;
        QTest::newRow("another point's peak holds the axis") << 80 << peak9 << 50 << 188 << 0 << 80 << 160 << 160;
    }
    void dragAlongTheAxis()
    {
        QFETCH(int, powerHigh);
        QFETCH(CurvePointsRow, points);
        QFETCH(int, pressX);
        QFETCH(int, toY);
        QFETCH(int, held);
        QFETCH(int, watts);
        QFETCH(int, topDuring);
        QFETCH(int, topAfter);
        CurveDragModel drag(powerHigh);
        QCOMPARE(drag.press(pressX, points), held >= 0);
        QCOMPARE(drag.heldPoint(), held);
        QCOMPARE(drag.dragTo(toY, points), watts);
        if (held >= 0)
            points[size_t(held)] = watts;
        QCOMPARE(drag.chartTop(points), topDuring);
        QCOMPARE(drag.release(), held >= 0);
        QCOMPARE(drag.heldPoint(), -1);
        QCOMPARE(drag.chartTop(points), topAfter);
    }

    // The drawn line goes through every point at its own second and, between
    // two seconds, rises or falls one way only, within the two points' values:
    // no dip below a flat stretch, no bump above a peak.
    void lineBetweenNeighbours_data()
    {
        QTest::addColumn<CurvePointsRow>("points");
        QTest::newRow("flat") << CurvePointsRow{30, 30, 30, 30, 30, 30, 30, 30, 30, 30};
        QTest::newRow("one spike on zero") << CurvePointsRow{0, 0, 0, 80, 0, 0, 0, 0, 0, 0};
        QTest::newRow("step up then flat") << CurvePointsRow{10, 10, 10, 10, 80, 80, 80, 80, 80, 80};
        QTest::newRow("zigzag") << CurvePointsRow{0, 80, 0, 80, 0, 80, 0, 80, 0, 80};
        QTest::newRow("steep start, slow rise") << CurvePointsRow{0, 1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 65535};
        QTest::newRow("above the device's top") << CurvePointsRow{35, 200, 120, 90, 90, 500, 30, 30, 28, 26};
    }
    void lineBetweenNeighbours()
    {
        QFETCH(CurvePointsRow, points);
        constexpr int Samples = 15;
        const QVector<QPointF> line = curveLine(points, Samples);
        QCOMPARE(line.size(), 9 * Samples + 1);
        for (int j = 0; j < 10; ++j)
            QCOMPARE(line[j * Samples], QPointF(j, points[size_t(j)]));
        for (int i = 1; i < line.size(); ++i) {
            const int k = (i - 1) / Samples;   // the stretch from second k to k + 1
            const double low = qMin(points[size_t(k)], points[size_t(k + 1)]);
            const double high = qMax(points[size_t(k)], points[size_t(k + 1)]);
            const double step = line[i].y() - line[i - 1].y();
            const double way = points[size_t(k + 1)] - points[size_t(k)];
            QVERIFY2(line[i].x() > line[i - 1].x() && line[i].y() >= low && line[i].y() <= high && step * way >= 0,
                     qPrintable(QStringLiteral("sample %1 at %2 s: %3 W").arg(i).arg(line[i].x()).arg(line[i].y())));
        }
    }

    void writeRequest()
    {
        const CurvePointsRow points{300, 0, 255, 256, 65535, 1, 2, 3, 4, 80};
        QByteArray expected(63, '\0');
        expected.replace(0, 24, QByteArray::fromHex("770a1509" "012c" "0000" "00ff" "0100" "ffff"
                                                    "0001" "0002" "0003" "0004" "0050"));
        QCOMPARE(bytesOf(curveWriteRequest(2, points)), expected);
    }

    // Only offsets 6 to 25 carry points, unsigned and high byte first.
    void replyDecoding()
    {
        ReplyBuffer reply;
        reply.fill(0xEE);
        const QByteArray points = QByteArray::fromHex("012c" "0000" "ffff" "0050" "0001" "0100" "00ff" "0002"
                                                      "0003" "0004");
        std::copy(points.begin(), points.end(), reply.begin() + 6);
        QCOMPARE(decodeCurveReply(reply), (CurvePointsRow{300, 0, 65535, 80, 1, 256, 255, 2, 3, 4}));
    }
};

QTEST_APPLESS_MAIN(TestPowerCurves)
#include "tst_powercurves.moc"
