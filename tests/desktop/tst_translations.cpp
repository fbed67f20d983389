// No text left behind: the English translation file, brought up to date with
// the sources by lupdate into a scratch copy, holds a finished translation for
// every text, none left unfinished or for a text the sources no longer have,
// and every translation keeps its placeholders and line breaks and reads in
// Latin script. And no text a user reads bypasses the translator: the window's
// and the core's sources hold no Chinese, and no English sentence, outside
// tr() and translate(), but for a short list of texts meant to stay as they are.

#include "cjk.h"

#include <QDirIterator>
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

// --- Texts outside the translator

// Calls whose string arguments lupdate collects.
const QStringList TranslatingCalls = {"tr", "translate", "QT_TR_NOOP", "QT_TRANSLATE_NOOP", "QT_TRANSLATE_NOOP3",
                                      "QT_TR_N_NOOP", "QT_TRANSLATE_N_NOOP"};
// Messages for the developer, not the user.
const QStringList DeveloperCalls = {"qDebug", "qInfo", "qWarning", "qCritical", "qFatal", "static_assert",
                                    "Q_ASSERT_X"};

// Texts that stay as they are in both languages: the file, a piece of the
// text, and why.
struct Allowed
{
    const char *file;
    const char *text;
    const char *why;
};
const Allowed AllowedTexts[] = {
    {"app/languagemenu.cpp", "中文", "each language is offered in its own words"},
    {"app/main.cpp", "", "the window's command line speaks English, as tesselctl does"},
    {"app/toolkitstart.cpp", "display", "said before the language is chosen, like the command line's words"},
    {"app/logfile.cpp", "Tessel Control %1", "the log file's header is read by whoever supports the user"},
    {"device/openfailure.cpp", "sudo ", "commands are typed as they are"},
    {"control/jobnames.cpp", "", "a history row's job column is read by scripts, in the same words in every language"},
};

struct Bypass
{
    QString file;
    int line;
    QString text;
};

// The source with its comments blanked out (line breaks kept), strings and
// characters left as they are.
QString withoutComments(const QString &source)
{
    QString out = source;
    const int n = source.size();
    for (int i = 0; i < n;) {
        const QChar c = source[i];
        if (c == '"' || c == '\'') {
            int j = i + 1;
            while (j < n && source[j] != c)
                j += source[j] == '\\' ? 2 : 1;
            i = j + 1;
        } else if (c == '/' && i + 1 < n && (source[i + 1] == '/' || source[i + 1] == '*')) {
            const bool line = source[i + 1] == '/';
            int end = line ? source.indexOf('\n', i) : source.indexOf(QLatin1String("*/"), i + 2);
            end = end < 0 ? n : (line ? end : end + 2);
            for (int k = i; k < end; ++k)
                if (out[k] != '\n')
                    out[k] = ' ';
            i = end;
        } else {
            ++i;
        }
    }
    return out;
}

// The name of the call whose parentheses hold position, if any, within its statement.
QString enclosingCall(const QString &code, int position)
{
    int depth = 0;
    for (int i = position - 1; i >= 0; --i) {
        const QChar c = code[i];
        if (c == ')') {
            ++depth;
        } else if (c == '(') {
            if (depth-- == 0) {
                int end = i;
                while (end > 0 && code[end - 1].isSpace())
                    --end;
                int start = end;
                while (start > 0 && (code[start - 1].isLetterOrNumber() || code[start - 1] == '_'))
                    --start;
                return code.mid(start, end - start);
            }
        } else if (depth == 0 && (c == ';' || c == '{' || c == '}')) {
            break;
        }
    }
    return QString();
}

// A text a user would read: Chinese, or English of three words or more. Style
// sheets (with ';' or '{') and single names are neither.
bool readsAsText(const QString &text)
{
    if (hasCjk(text))
        return true;
    if (text.contains(';') || text.contains('{'))
        return false;
    static const QRegularExpression word(QStringLiteral("[A-Za-z]{2,}"));
    int words = 0;
    for (auto it = word.globalMatch(text); it.hasNext(); it.next())
        ++words;
    return words >= 3 && text.contains(' ');
}

// String literals of a C++ source outside the translator that read as text;
// adjacent literals count as one.
QVector<Bypass> bypassesInSource(const QString &file, const QString &source)
{
    const QString code = withoutComments(source);
    QVector<Bypass> found;
    const int n = code.size();
    for (int i = 0; i < n;) {
        const QChar c = code[i];
        if (c == '\'') {
            int j = i + 1;
            while (j < n && code[j] != '\'')
                j += code[j] == '\\' ? 2 : 1;
            i = j + 1;
            continue;
        }
        if (c != '"') {
            ++i;
            continue;
        }
        const int start = i;
        QString text;
        for (;;) {
            int j = i + 1;
            while (j < n && code[j] != '"')
                j += code[j] == '\\' ? 2 : 1;
            text += code.mid(i + 1, j - i - 1);
            i = j + 1;
            int k = i;
            while (k < n && code[k].isSpace())
                ++k;
            if (k >= n || code[k] != '"')
                break;
            i = k;
        }
        const QString call = enclosingCall(code, start);
        if (TranslatingCalls.contains(call) || DeveloperCalls.contains(call) || !readsAsText(text))
            continue;
        found.append({file, int(code.left(start).count('\n')) + 1, text});
    }
    return found;
}

// Texts of a form kept from the translator (notr="true") that read as text.
QVector<Bypass> bypassesInForm(const QString &file, const QString &form)
{
    static const QRegularExpression kept(QStringLiteral("<string notr=\"true\">([^<]*)</string>"));
    QVector<Bypass> found;
    for (auto it = kept.globalMatch(form); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        if (readsAsText(match.captured(1)))
            found.append({file, int(form.left(match.capturedStart()).count('\n')) + 1, match.captured(1)});
    }
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
                       "-extensions", "cpp,h,ui", "app", "control", "device", "editors", "firmware", "settings",
                       "images", "desktop", "cli", "-ts", ts});
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

    // The scan itself: what it takes for text, and what it leaves alone.
    void scanFindsTextsOutsideTheTranslator_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("Chinese in tr") << "label->setText(tr(\"设备离线\"));" << QStringList();
        QTest::newRow("Chinese outside") << "label->setText(QStringLiteral(\"设备离线\"));" << QStringList{"设备离线"};
        QTest::newRow("translate with a context")
            << "QCoreApplication::translate(\"Device\", \"The device is gone for now\")" << QStringList();
        QTest::newRow("a sentence in an argument of a translated text")
            << "tr(\"%1\").arg(QStringLiteral(\"Connect the device first\"))"
            << QStringList{"Connect the device first"};
        QTest::newRow("a sentence in two pieces")
            << "show(\"Connect the \"\n     \"device first\");" << QStringList{"Connect the device first"};
        QTest::newRow("a sentence marked for later") << "{QT_TRANSLATE_NOOP(\"editDlg\", \"Fit the picture here\")}"
                                                     << QStringList();
        QTest::newRow("a warning for the developer") << "qWarning(\"could not read the file\");" << QStringList();
        QTest::newRow("a comment") << "// Say \"no device here today\"\nint a; /* \"设备\" */" << QStringList();
        QTest::newRow("a style sheet") << "setStyleSheet(\"QPushButton { color: white; border: none; }\");"
                                       << QStringList();
        QTest::newRow("names and keys") << "value(\"format\"); open(\"PNG (*.png)\"); c = '\"';"
                                        << QStringList();
    }
    void scanFindsTextsOutsideTheTranslator()
    {
        QFETCH(QString, code);
        QFETCH(QStringList, found);
        QStringList texts;
        for (const Bypass &bypass : bypassesInSource(QStringLiteral("example.cpp"), code))
            texts << bypass.text;
        QCOMPARE(texts, found);
    }

    void noTextBypassesTheTranslator()
    {
        const QDir root(QStringLiteral(TESSEL_SOURCE_DIR));
        QVector<Bypass> found;
        int files = 0;
        // The window and the core; tesselctl's own words are English by design.
        for (const char *folder : {"app", "control", "device", "editors", "firmware", "settings", "images", "desktop"}) {
            QDirIterator it(root.filePath(QLatin1String(folder)), {"*.cpp", "*.h", "*.ui"}, QDir::Files);
            while (it.hasNext()) {
                QFile file(it.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                const QString name = root.relativeFilePath(file.fileName());
                const QString content = QString::fromUtf8(file.readAll());
                found += name.endsWith(QLatin1String(".ui")) ? bypassesInForm(name, content)
                                                              : bypassesInSource(name, content);
                ++files;
            }
        }
        QVERIFY(files > 100);
        QStringList faults;
        std::set<const Allowed *> used;
        for (const Bypass &bypass : found) {
            const Allowed *allowed = nullptr;
            for (const Allowed &entry : AllowedTexts)
                if (bypass.file == QLatin1String(entry.file) && bypass.text.contains(QString::fromUtf8(entry.text)))
                    allowed = &entry;
            if (allowed)
                used.insert(allowed);
            else
                faults << QStringLiteral("%1:%2: \"%3\" does not go through the translator")
                              .arg(bypass.file).arg(bypass.line).arg(bypass.text);
        }
        // An entry nothing needs any more goes, so that the list stays short.
        for (const Allowed &entry : AllowedTexts)
            if (!used.count(&entry))
                faults << QStringLiteral("%1: nothing matches the allowed \"%2\" (%3)")
                              .arg(QLatin1String(entry.file), QString::fromUtf8(entry.text), QLatin1String(entry.why));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "tst_translations.moc"
