// The profile file: written and read back, every kind of bad file refused
// with the place in the file named, merging, and reading from disk.

#include "settings/profile.h"

#include <QtTest>

#include <sys/stat.h>

namespace {

// One distinct value per number cell, the ends of the range among them;
// zero where the table takes no number.
SettingsValues sampleTable()
{
    SettingsValues values{};
    for (int row = 0; row < SettingsRows; ++row) {
        const qint32 sample[] = {0, row == 0 ? 65535 : 10 + row, row == 1 ? 0 : 200 + row,
                                 row == 1 ? 65535 : row == 2 ? 1 : 380 + row};
        for (int column = 0; column < SettingsColumns; ++column)
            values[size_t(row)][size_t(column)] = settingsCellTakesNumber(row, column) ? sample[column] : 0;
    }
    return values;
}

QString cellPath(int row, int column)
{
    static const char *const keys[] = {"", "watts", "celsius", "tcr"};
    return QStringLiteral("settings.%1.%2").arg(QLatin1String(settingsRows()[size_t(row)].name), QLatin1String(keys[column]));
}

// The sample file with the value at a dotted path replaced, or removed when
// the value is undefined.
QJsonObject changed(const QJsonObject &object, QStringList keys, const QJsonValue &value)
{
    QJsonObject result = object;
    const QString key = keys.takeFirst();
    if (!keys.isEmpty())
        result.insert(key, changed(object.value(key).toObject(), keys, value));
    else if (value.isUndefined())
        result.remove(key);
    else
        result.insert(key, value);
    return result;
}

QByteArray sampleFileWith(const QString &path, const QJsonValue &value)
{
    Profile profile;
    profile.settings = sampleTable();
    profile.deviceName = QStringLiteral("VELTRA-MINI");
    for (int curve = 0; curve < CurveCount; ++curve)
        profile.curves[size_t(curve)] = CurvePointsRow{};
    const QJsonObject sample = QJsonDocument::fromJson(profileToJson(profile)).object();
    return QJsonDocument(changed(sample, path.split(QLatin1Char('.')), value)).toJson();
}

} // namespace

class TestProfile : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip()
    {
        Profile saved;
        saved.settings = sampleTable();
        saved.settings[4] = {0, 7, 7, 7};   // the bypass row is never saved
        saved.deviceName = QStringLiteral("VELTRA \"MINI\" 测试\\");
        saved.curves[0] = CurvePointsRow{0, 1, 2, 3, 4, 5, 6, 7, 8, 65535};
        saved.curves[3] = CurvePointsRow{30, 30, 28, 26, 25, 25, 25, 25, 25, 25};
        const QByteArray json = profileToJson(saved);
        QVERIFY(!json.contains("BY PASS"));
        QVERIFY(json.startsWith("{\n    \"format\": \"tessel-profile\",\n    \"version\": 1,\n"));
        QVERIFY(json.contains("\"NI200\": {\"watts\": 11, \"celsius\": 0, \"tcr\": 0.65535}"));
        QVERIFY(json.contains("\"TI\": {\"watts\": 12, \"celsius\": 202, \"tcr\": 0.00001}"));

        const ProfileLoad load = loadProfile(json, ProfileMode::Complete);
        QVERIFY2(load.ok(), qPrintable(load.error));
        saved.settings[4] = {0, 0, 0, 0};
        QCOMPARE(load.profile.settings, saved.settings);
        QCOMPARE(load.profile.cells, allSettingsCells());
        QCOMPARE(load.profile.deviceName, saved.deviceName);
        QCOMPARE(load.profile.firmwareVersion, std::optional<QString>());
        QCOMPARE(load.profile.curves, saved.curves);
        QCOMPARE(profileToJson(load.profile), json);
    }

    // Every TCR the wire can carry comes back as the same wire value.
    void tcrSweep()
    {
        const int tcrRows[] = {1, 2, 3, 5, 6};
        Profile profile;
        for (int wire = 0; wire <= 65535;) {
            for (int row : tcrRows)
                profile.settings[size_t(row)][TcrColumn] = qMin(wire++, 65535);
            const ProfileLoad load = loadProfile(profileToJson(profile), ProfileMode::Complete);
            QVERIFY2(load.ok(), qPrintable(load.error));
            QCOMPARE(load.profile.settings, profile.settings);
        }
    }

    void refused_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QJsonValue>("value");   // undefined: removed
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("mergeLoads");    // a missing field, which merging allows
        const QJsonValue removed(QJsonValue::Undefined);
        const QString invalid = QStringLiteral("配置文件无效：");
        QTest::newRow("wattage above range") << "settings.NI200.watts" << QJsonValue(70000)
                                             << invalid + "settings.NI200.watts：70000 超出 0–65535" << false;
        QTest::newRow("negative wattage") << "settings.PWR.watts" << QJsonValue(-1)
                                          << invalid + "settings.PWR.watts：-1 超出 0–65535" << false;
        QTest::newRow("fraction") << "settings.TI.celsius" << QJsonValue(1.5)
                                  << invalid + "settings.TI.celsius：1.5 不是整数" << false;
        QTest::newRow("number as text") << "settings.SS.watts" << QJsonValue("12")
                                        << invalid + "settings.SS.watts：应为整数，不是文本" << false;
        QTest::newRow("true") << "settings.TCR1.celsius" << QJsonValue(true)
                              << invalid + "settings.TCR1.celsius：应为整数，不是真假值" << false;
        QTest::newRow("tcr too large") << "settings.NI200.tcr" << QJsonValue(0.655355)
                                       << invalid + "settings.NI200.tcr：0.655355 超出 0–0.65535" << false;
        QTest::newRow("tcr negative") << "settings.SS.tcr" << QJsonValue(-0.001)
                                      << invalid + "settings.SS.tcr：-0.001 超出 0–0.65535" << false;
        QTest::newRow("row not an object") << "settings.TI" << QJsonValue(5)
                                           << invalid + "settings.TI：应为对象，不是数字" << false;
        QTest::newRow("cell missing") << "settings.SS.tcr" << removed << invalid + "settings.SS.tcr：缺少此项" << true;
        QTest::newRow("row missing") << "settings.TCR2" << removed << invalid + "settings.TCR2：缺少此项" << true;
        QTest::newRow("settings missing") << "settings" << removed << invalid + "settings：缺少此项" << true;
        QTest::newRow("another format") << "format" << QJsonValue("tessel-curve")
                                        << invalid + "format：应为 tessel-profile" << false;
        QTest::newRow("format missing") << "format" << removed << invalid + "format：缺少此项" << false;
        QTest::newRow("version as text") << "version" << QJsonValue("1")
                                         << invalid + "version：应为整数，不是文本" << false;
        QTest::newRow("version 0") << "version" << QJsonValue(0) << invalid + "version：没有版本 0" << false;
        QTest::newRow("newer version") << "version" << QJsonValue(2)
                                       << "配置文件版本 2 比本程序新（本程序读取版本 1），请更新程序" << false;
        QTest::newRow("nine points") << "curves.M2" << QJsonValue(QJsonArray{1, 2, 3, 4, 5, 6, 7, 8, 9})
                                     << invalid + "curves.M2：应为 10 个数值，实为 9 个" << false;
        QTest::newRow("point above range") << "curves.M5" << QJsonValue(QJsonArray{0, 0, 0, 0, 0, 0, 0, 0, 0, 65536})
                                           << invalid + "curves.M5[9]：65536 超出 0–65535" << false;
        QTest::newRow("point as text") << "curves.M1" << QJsonValue(QJsonArray{0, "5", 0, 0, 0, 0, 0, 0, 0, 0})
                                       << invalid + "curves.M1[1]：应为整数，不是文本" << false;
        QTest::newRow("curve not a list") << "curves.M4" << QJsonValue(25)
                                          << invalid + "curves.M4：应为数组，不是数字" << false;
        QTest::newRow("device name a number") << "device.name" << QJsonValue(7)
                                              << invalid + "device.name：应为文本，不是数字" << false;
    }
    void refused()
    {
        QFETCH(QString, path);
        QFETCH(QJsonValue, value);
        QFETCH(QString, error);
        QFETCH(bool, mergeLoads);
        const QByteArray file = sampleFileWith(path, value);
        const ProfileLoad complete = loadProfile(file, ProfileMode::Complete);
        QCOMPARE(complete.error, error);
        QVERIFY(complete.errorPath.startsWith(path));
        QCOMPARE(loadProfile(file, ProfileMode::Merge).ok(), mergeLoads);
    }

    // Whole files: extra fields, a byte order mark and exactly 1 MB are fine.
    void wholeFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");   // empty: loads as the sample table
        QByteArray oneMegaByte = "\xEF\xBB\xBF" + sampleFileWith("settings.BY PASS", QJsonObject{{"watts", 1}});
        oneMegaByte.append(QByteArray(int(MaxProfileFileSize) - oneMegaByte.size(), ' '));
        QTest::newRow("extra field") << sampleFileWith("settings.PWR.celsius", 99) << "";
        QTest::newRow("1 MB, byte order mark, bypass row") << oneMegaByte << "";
        QTest::newRow("a byte above 1 MB") << oneMegaByte + ' ' << "配置文件超过 1 MB，未读取";
        QTest::newRow("empty") << QByteArray() << "配置文件无效：不是 JSON（第 1 字节处出错）";
        QTest::newRow("cut short") << QByteArray("{\"format\": \"tessel-profile\", ")
                                   << "配置文件无效：不是 JSON（第 30 字节处出错）";
        QTest::newRow("a list") << QByteArray("[1, 2]") << "配置文件无效：内容应为 JSON 对象";
    }
    void wholeFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const ProfileLoad load = loadProfile(bytes, ProfileMode::Merge);
        QCOMPARE(load.error, error);
        if (load.ok())
            QCOMPARE(load.profile.settings, sampleTable());
    }

    // Cells the file leaves out keep the current table's values and are not
    // marked as loaded; the others come from the file.
    void merge_data()
    {
        QTest::addColumn<QString>("removed");
        QTest::newRow("nothing") << "";
        QTest::newRow("one cell") << "settings.NI200.tcr";
        QTest::newRow("a row") << "settings.TCR1";
        QTest::newRow("the whole table") << "settings";
    }
    void merge()
    {
        QFETCH(QString, removed);
        SettingsValues current{};
        for (auto &row : current)
            row.fill(4242);
        const ProfileLoad load = loadProfile(sampleFileWith(removed.isEmpty() ? "extra" : removed, QJsonValue::Undefined),
                                             ProfileMode::Merge, current);
        QVERIFY2(load.ok(), qPrintable(load.error));
        for (int row = 0; row < SettingsRows; ++row) {
            for (int column = 0; column < SettingsColumns; ++column) {
                const bool fromFile = settingsCellTakesNumber(row, column)
                                      && (removed.isEmpty() || !(cellPath(row, column) + '.').startsWith(removed + '.'));
                QCOMPARE(load.profile.cells[size_t(row)][size_t(column)], fromFile);
                QCOMPARE(load.profile.settings[size_t(row)][size_t(column)],
                         fromFile ? sampleTable()[size_t(row)][size_t(column)] : 4242);
            }
        }
    }

    void fromDisk_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("error");
        QTest::newRow("non-Latin path") << "profile" << "";
        QTest::newRow("folder") << "folder" << "无法读取配置文件：%1 不是普通文件";
        QTest::newRow("FIFO") << "fifo" << "无法读取配置文件：%1 不是普通文件";
        QTest::newRow("nothing there") << "none" << "无法读取配置文件：找不到文件 %1";
        QTest::newRow("1 MB and a byte") << "large" << "无法读取配置文件：文件超过 1 MB";
    }
    void fromDisk()
    {
        QFETCH(QString, kind);
        QFETCH(QString, error);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("配置 профиль.tessel.json"));
        QFile file(path);
        if (kind == "profile" || kind == "large") {
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(sampleFileWith("extra", 0));
            if (kind == "large")
                file.resize(MaxProfileFileSize + 1);
            file.close();
        } else if (kind == "folder") {
            QVERIFY(QDir(dir.path()).mkdir(QFileInfo(path).fileName()));
        } else if (kind == "fifo") {
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        }
        const ProfileLoad load = loadProfileFile(path, ProfileMode::Complete);
        QCOMPARE(load.error, error.contains("%1") ? error.arg(path) : error);
        if (load.ok())
            QCOMPARE(load.profile.settings, sampleTable());
    }

    void fileName_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain") << "VELTRA-MINI" << "VELTRA-MINI-2026-12-07.tessel.json";
        QTest::newRow("spaces and a slash") << "VELTRA MINI / 2" << "VELTRA-MINI-2-2026-12-07.tessel.json";
        QTest::newRow("leads elsewhere") << "../../etc/passwd" << "etc-passwd-2026-12-07.tessel.json";
        QTest::newRow("nothing safe") << "测试\t" << "tessel-2026-12-07.tessel.json";
        QTest::newRow("very long") << QString(100, 'A') << QString(64, 'A') + "-2026-12-07.tessel.json";
    }
    void fileName()
    {
        QFETCH(QString, device);
        QFETCH(QString, name);
        QCOMPARE(defaultProfileFileName(device, QDateTime(QDate(2026, 12, 7), QTime(23, 59))), name);
    }
};

QTEST_APPLESS_MAIN(TestProfile)
#include "tst_profile.moc"
