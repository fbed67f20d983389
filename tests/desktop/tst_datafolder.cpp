// Which image folder the program uses for where it was started, how the
// per-user folder is filled, and the folders the file dialogs come back to.

#include "desktop/datafolder.h"
#include "desktop/recentfolders.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeFile(const QString &path, const QByteArray &content, const QDateTime &modified = {})
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.flush();   // or closing would stamp it with the time of now
    if (modified.isValid())
        QVERIFY(file.setFileTime(modified, QFileDevice::FileModificationTime));
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestDataFolder : public QObject
{
    Q_OBJECT

    QTemporaryDir scratch;

private slots:
    void initTestCase()
    {
        QVERIFY(scratch.isValid());
        // The program's settings go into the scratch folder, never the user's.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(scratch.filePath("config")));
        QCoreApplication::setOrganizationName("Tessel");
        QCoreApplication::setApplicationName("tst_datafolder");
    }

    // places: w = the working directory has imageformats/, s = a shipped folder
    // exists, u = the per-user folder can be made, k = it already holds a saved
    // slot picture and an icon older than the shipped one.
    void choice_data()
    {
        QTest::addColumn<QString>("places");
        QTest::addColumn<QString>("chosen");   // relative, user, shipped
        QTest::newRow("started beside its pictures") << "w s u" << "relative";
        QTest::newRow("started elsewhere, first time") << "s u" << "user";
        QTest::newRow("started elsewhere again") << "s u k" << "user";
        QTest::newRow("no per-user folder possible") << "s" << "shipped";
        QTest::newRow("nothing anywhere") << "" << "relative";
        QTest::newRow("per-user folder, nothing shipped") << "u" << "user";
    }
    void choice()
    {
        QFETCH(QString, places);
        QFETCH(QString, chosen);
        const QStringList has = places.split(' ', Qt::SkipEmptyParts);
        QTemporaryDir root;
        DataPlaces at;
        at.workingDirectory = root.filePath("work");
        QDir().mkpath(at.workingDirectory);
        if (has.contains("w"))
            QDir().mkpath(at.workingDirectory + "/imageformats");
        const QString shipped = root.filePath("share/tessel-control/imageformats");
        at.shippedFolders = QStringList{root.filePath("bin/imageformats"), shipped};   // the first is missing
        const QDateTime release = QDateTime::currentDateTime().addDays(-1);
        if (has.contains("s")) {
            writeFile(shipped + "/USB_ON.jpg", "on, new", release);
            writeFile(shipped + "/device_image_X.png", "x", release);
            writeFile(shipped + "/page4.bmp", "shipped slot picture", release);
        }
        // A regular file where the per-user folder's parent should be.
        at.userFolder = root.filePath(has.contains("u") ? "home/tessel-control/imageformats" : "file/imageformats");
        if (!has.contains("u"))
            writeFile(root.filePath("file"), "not a folder");
        if (has.contains("k")) {
            writeFile(at.userFolder + "/page4.bmp", "saved by the user", release.addDays(-1));
            writeFile(at.userFolder + "/USB_ON.jpg", "on, old", release.addDays(-1));
        }

        const QString folder = chooseImageFolder(at);
        const QString expected = chosen == "relative" ? QStringLiteral("imageformats")
                                 : chosen == "user"   ? at.userFolder
                                                      : shipped;
        QCOMPARE(folder, expected);
        QVERIFY(QDir(at.workingDirectory).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size()
                == (has.contains("w") ? 1 : 0));
        if (chosen == "user" && has.contains("s")) {
            QCOMPARE(readFile(folder + "/USB_ON.jpg"), QByteArray("on, new"));
            QCOMPARE(readFile(folder + "/device_image_X.png"), QByteArray("x"));
            QCOMPARE(readFile(folder + "/page4.bmp"),
                     has.contains("k") ? QByteArray("saved by the user") : QByteArray("shipped slot picture"));
        }
        if (chosen == "relative" && has.contains("u"))
            QVERIFY(!QFileInfo::exists(at.userFolder));
    }

    // A newer picture already in the per-user folder is not replaced by an older shipped one.
    void seedingKeepsNewerFiles()
    {
        QTemporaryDir root;
        const QString from = root.filePath("from"), to = root.filePath("to");
        writeFile(from + "/USB_OFF.jpg", "shipped", QDateTime::currentDateTime().addDays(-2));
        writeFile(to + "/USB_OFF.jpg", "user's own");
        QVERIFY(seedImageFolder(from, to));
        QCOMPARE(readFile(to + "/USB_OFF.jpg"), QByteArray("user's own"));
    }

    void dialogsComeBackToTheirFolder()
    {
        QTemporaryDir root;
        const QString firmware = root.filePath("firmware");
        QDir().mkpath(firmware);
        QCOMPARE(recentFolder("firmware"), QString());
        rememberFolderOf("firmware", firmware + "/v1.bin");
        rememberFolderOf("pictures", QString());   // a cancelled dialog keeps nothing
        QCOMPARE(recentFolder("firmware"), firmware);
        QCOMPARE(recentFolder("pictures"), QString());
        QVERIFY(QDir(firmware).removeRecursively());
        QCOMPARE(recentFolder("firmware"), QString());   // gone since: the dialog's own default
    }
};

QTEST_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
