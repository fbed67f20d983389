// No text left behind: the English translation file, brought up to date with
// the sources by lupdate into a scratch copy, holds a finished translation for
// every text, none left unfinished or for a text the sources no longer have,
// and every translation keeps its placeholders and line breaks and reads in
// Latin script.

#include "cjk.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <set>

namespace {

struct Message
{
    QString context;
    QString source;
    QString translation;
    QString type;
};

QVector<Message> readTs(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QVector<Message> messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            message = Message{context, {}, {}, {}};
        } else if (xml.name() == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            message.type = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText();
            messages << message;
        }
    }
    return xml.hasError() ? QVector<Message>{} : messages;
}

std::multiset<QString> placeholders(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("%L?\\d{1,2}"));
    std::multiset<QString> found;
    for (auto it = marker.globalMatch(text); it.hasNext();)
        found.insert(it.next().captured());
    return found;
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void everyTextHasAFinishedEnglishTranslation()
    {
        QTemporaryDir scratch;
        const QString ts = scratch.filePath(QStringLiteral("tessel-control_en.ts"));
        QVERIFY(QFile::copy(QStringLiteral(TESSEL_SOURCE_DIR "/translations/tessel-control_en.ts"), ts));
        QFile(ts).setPermissions(QFile::ReadOwner | QFile::WriteOwner);

        // The same scan as tools/update-translations, keeping what it would drop.
        QProcess lupdate;
        lupdate.setWorkingDirectory(QStringLiteral(TESSEL_SOURCE_DIR));
        lupdate.start(QStringLiteral(TESSEL_LUPDATE),
                      {"-I", ".", "-locations", "none", "-source-language", "zh_CN", "-target-language", "en",
                       "-extensions", "cpp,h,ui", "app", "device", "firmware", "settings", "images", "desktop",
                       "cli", "-ts", ts});
        QVERIFY(lupdate.waitForFinished(120000));
        QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
                 lupdate.readAllStandardError().constData());

        const QVector<Message> messages = readTs(ts);
        QVERIFY(messages.size() > 200);
        QStringList faults;
        for (const Message &m : messages) {
            const QString where = m.context + QStringLiteral(" \"") + m.source + QStringLiteral("\": ");
            if (m.type == QLatin1String("unfinished") && m.translation.isEmpty())
                faults << where + QStringLiteral("no translation");
            else if (!m.type.isEmpty())
                faults << where + m.type;
            else if (m.translation.isEmpty())
                faults << where + QStringLiteral("empty");
            else if (placeholders(m.source) != placeholders(m.translation))
                faults << where + QStringLiteral("placeholders differ in \"") + m.translation + '"';
            else if (m.source.count('\n') != m.translation.count('\n'))
                faults << where + QStringLiteral("line breaks differ");
            else if (hasCjk(m.translation))
                faults << where + QStringLiteral("translation not in Latin script");
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
