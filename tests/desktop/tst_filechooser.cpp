// The file questions of the profiles, pictures, curves and firmware: each
// opens where the last file of its purpose was chosen, with the offered name
// in that folder; a cancel keeps the folder, and no purpose moves another's.

#include "app/profilefilechooser.h"
#include "desktop/filechooser.h"
#include "firmware/firmwarefilechooser.h"
#include "images/picturefilechooser.h"
#include "settings/curvefilechooser.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Asks the question a caller of the program asks.
QString ask(const QString &caller)
{
    if (caller == "profile load")
        return askForProfileToLoad(nullptr);
    if (caller == "profile save")
        return askForProfileToSave(nullptr, QStringLiteral("mine.tessel.json"));
    if (caller == "picture add")
        return choosePictureFile(nullptr);
    if (caller == "picture export")
        return chooseExportFile(nullptr);
    if (caller == "curve import")
        return askForCurveFile(nullptr, false, QString());
    if (caller == "curve export")
        return askForCurveFile(nullptr, true, QStringLiteral("M3.csv"));
    return askForFirmwareFile(nullptr);
}

} // namespace

class TestFileChooser : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QStringList startPaths;
    QString answer;

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("settings"));
        const FileChooser recording = [this](QWidget *, const FileQuestion &question) {
            startPaths << question.startPath;
            return answer;
        };
        setFileToOpenChooser(recording);
        setFileToSaveChooser(recording);
        QVERIFY(QDir(dir.path()).mkpath("first") && QDir(dir.path()).mkpath("second"));
    }
    void init()
    {
        QSettings().clear();
        startPaths.clear();
    }

    void folderKeptPerPurpose_data()
    {
        QTest::addColumn<QString>("caller");
        QTest::addColumn<QString>("purpose");
        QTest::addColumn<QString>("offered");
        QTest::newRow("profile load") << "profile load" << "profiles" << "";
        QTest::newRow("profile save") << "profile save" << "profiles" << "mine.tessel.json";
        QTest::newRow("picture add") << "picture add" << "pictures" << "";
        QTest::newRow("picture export") << "picture export" << "pictures" << "";
        QTest::newRow("curve import") << "curve import" << "curves" << "";
        QTest::newRow("curve export") << "curve export" << "curves" << "M3.csv";
        QTest::newRow("firmware") << "firmware" << "firmware" << "";
    }
    void folderKeptPerPurpose()
    {
        QFETCH(QString, caller);
        QFETCH(QString, purpose);
        QFETCH(QString, offered);
        const QString first = QDir(dir.filePath("first")).absolutePath();
        const QString inFirst = offered.isEmpty() ? first : first + "/" + offered;

        // Nothing kept yet: the dialog opens where it would by itself.
        answer = first + "/chosen.file";
        QCOMPARE(ask(caller), answer);
        // Cancelled: the folder of the file chosen before stays.
        answer = QString();
        QVERIFY(ask(caller).isNull());
        QVERIFY(ask(caller).isNull());
        QCOMPARE(startPaths, QStringList({offered, inFirst, inFirst}));
        QCOMPARE(QSettings().allKeys(), QStringList{"fileDialogs/" + purpose});

        // Another folder chosen is offered next.
        const QString second = QDir(dir.filePath("second")).absolutePath();
        answer = second + "/other.file";
        ask(caller);
        answer = QString();
        ask(caller);
        QCOMPARE(startPaths.last(), offered.isEmpty() ? second : second + "/" + offered);
    }
};

QTEST_MAIN(TestFileChooser)
#include "tst_filechooser.moc"
