// The pure part of the power curves: hit testing, the dragged value and the
// bytes of the curve exchange.

#include "settings/powercurves.h"

#include <QtTest>

namespace {

QByteArray bytesOf(const ApplicationBlock &block)
{
    return QByteArray(reinterpret_cast<const char *>(block.data()), int(block.size()));
}

} // namespace

class TestPowerCurves : public QObject
{
    Q_OBJECT

private slots:
    void hitTest_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("point");
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
