// Which image folder the program uses for where it was started, and how the
// per-user folder is filled.

#include "desktop/datafolder.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeFile(const QString &path, const QByteArray &content, const QDateTime &modified)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.flush();   // or closing would stamp it with the time of now
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

private slots:
    // w: the working directory has imageformats/; s: a shipped folder exists;
    // u: the per-user folder can be made; k: it already holds a slot picture the
    // user saved and an icon older than the shipped one.
    void choice_data()
    {
        QTest::addColumn<QString>("places");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("started beside its pictures") << "w s u" << "relative";
        QTest::newRow("started elsewhere, first time") << "s u" << "user";
        QTest::newRow("started elsewhere again") << "s u k" << "user";
        QTest::newRow("no per-user folder possible") << "s" << "shipped";
        QTest::newRow("nothing anywhere") << "" << "relative";
    }
    void choice()
    {
        QFETCH(QString, places);
        QFETCH(QString, chosen);
        const QStringList has = places.split(' ', Qt::SkipEmptyParts);
        QTemporaryDir root;
        DataPlaces at;
        at.workingDirectory = root.filePath("work");
        QDir().mkpath(at.workingDirectory + (has.contains("w") ? "/imageformats" : ""));
        const QString shipped = root.filePath("share/imageformats");
        at.shippedFolders = QStringList{root.filePath("bin/imageformats"), shipped};   // the first is missing
        const QDateTime release = QDateTime::currentDateTime().addDays(-1);
        if (has.contains("s")) {
            writeFile(shipped + "/USB_ON.jpg", "on, new", release);
            writeFile(shipped + "/page4.bmp", "shipped slot picture", release);
        }
        // Where the per-user folder cannot be made, a file stands in its way.
        at.userFolder = root.filePath(has.contains("u") ? "home/imageformats" : "file/imageformats");
        if (!has.contains("u"))
            writeFile(root.filePath("file"), "", release);
        if (has.contains("k")) {
            writeFile(at.userFolder + "/page4.bmp", "saved by the user", release.addDays(-1));
            writeFile(at.userFolder + "/USB_ON.jpg", "on, old", release.addDays(-1));
        }

        const QString folder = chooseImageFolder(at);
        QCOMPARE(folder, chosen == "relative" ? QStringLiteral("imageformats")
                         : chosen == "user"   ? at.userFolder
                                              : shipped);
        QCOMPARE(QDir(at.workingDirectory).isEmpty(), !has.contains("w"));
        if (chosen == "user") {
            QCOMPARE(readFile(folder + "/USB_ON.jpg"), QByteArray("on, new"));
            QCOMPARE(readFile(folder + "/page4.bmp"),
                     has.contains("k") ? QByteArray("saved by the user") : QByteArray("shipped slot picture"));
        }
        if (chosen == "relative" && has.contains("u"))
            QVERIFY(!QFileInfo::exists(at.userFolder));
    }
};

QTEST_MAIN(TestDataFolder)
#include "tst_datafolder.moc"
