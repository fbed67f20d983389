// The two settings blocks and the number each cell puts on the wire.

#include "settings/settingsblocks.h"

#include <QtTest>

namespace {

QByteArray bytes(const ApplicationBlock &block)
{
    return QByteArray(reinterpret_cast<const char *>(block.data()), int(block.size()));
}

} // namespace

class TestSettingsBlocks : public QObject
{
    Q_OBJECT

private slots:
    // One distinct number per cell (r * 1000 + c * 101), the bypass row (4xxx)
    // included: every record in its place, big-endian, reserved bytes zero,
    // nothing of the bypass row anywhere.
    void everyCellInItsPlace()
    {
        SettingsValues values{};
        for (int r = 0; r < SettingsRows; ++r)
            for (int c = 1; c < SettingsColumns; ++c)
                values[size_t(r)][size_t(c)] = r * 1000 + c * 101;
        QCOMPARE(bytes(settingsBlock1(values)),
                 QByteArray::fromHex("77081B 01 0065 02 044D 04B2 00 0517 03 0835 089A 00 08FF 04 0C1D 0C82 00 0CE7")
                     + QByteArray(33, '\0'));
        QCOMPARE(bytes(settingsBlock2(values)),
                 QByteArray::fromHex("770910 05 13ED 1452 00 14B7 06 17D5 183A 00 189F") + QByteArray(44, '\0'));
    }

    void cellWireValue_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("wire");   // -1: cannot be sent
        QTest::newRow("wattage truncated") << 1 << "200.9" << 200;
        QTest::newRow("tcr 0.0039 rounded") << 3 << "0.0039" << 390;
        QTest::newRow("tcr largest") << 3 << "0.65535" << 65535;
        QTest::newRow("just too large") << 1 << "65536" << -1;
        QTest::newRow("tcr too large") << 3 << "0.7" << -1;
        QTest::newRow("slightly negative") << 2 << "-0.5" << -1;
        QTest::newRow("empty") << 2 << "" << -1;
        QTest::newRow("nan") << 3 << "nan" << -1;
        QTest::newRow("beyond float") << 1 << "1e40" << -1;
    }
    void cellWireValue()
    {
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(int, wire);
        qint32 value = -1;
        QCOMPARE(settingsWireValue(column, text, value), wire >= 0);
        QCOMPARE(value, wire);
    }
};

QTEST_MAIN(TestSettingsBlocks)
#include "tst_settingsblocks.moc"
