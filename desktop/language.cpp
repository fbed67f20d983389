#include "desktop/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QTranslator>

namespace {

const char *const LanguageKey = "language";

QTranslator *englishTranslator = nullptr;
// Qt's own texts (dialog buttons, file dialogs, context menus): English as Qt
// writes them, Chinese from Qt's translations.
QTranslator *qtChineseTranslator = nullptr;

void dropTranslator(QTranslator *&translator)
{
    if (!translator)
        return;
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
}

} // namespace

std::optional<Language> languageNamed(const QString &name)
{
    const QString lower = name.trimmed().toLower();
    if (lower == QLatin1String("en"))
        return Language::English;
    if (lower == QLatin1String("zh"))
        return Language::Chinese;
    return std::nullopt;
}

QString languageCode(Language language)
{
    return language == Language::English ? QStringLiteral("en") : QStringLiteral("zh");
}

Language languageForLocale(const QString &localeName)
{
    // "en_US.UTF-8@euro" → "en": the language is what comes before '_', '.' or '@'.
    QString language = localeName.trimmed();
    const int end = language.indexOf(QRegularExpression(QStringLiteral("[_.@-]")));
    if (end >= 0)
        language.truncate(end);
    language = language.toLower();
    if (language.isEmpty() || language == QLatin1String("c") || language == QLatin1String("posix")
        || language == QLatin1String("zh"))
        return Language::Chinese;
    return Language::English;
}

QString messageLocaleName()
{
    for (const char *variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(variable);
        if (!value.isEmpty())
            return value;
    }
    return QString();
}

Language chooseLanguage(const QString &option, const QString &remembered, const QString &localeName)
{
    if (const auto chosen = languageNamed(option))
        return *chosen;
    if (const auto kept = languageNamed(remembered))
        return *kept;
    return languageForLocale(localeName);
}

QString rememberedLanguage()
{
    return QSettings().value(QLatin1String(LanguageKey)).toString();
}

void rememberLanguage(Language language)
{
    QSettings().setValue(QLatin1String(LanguageKey), languageCode(language));
}

QString qtTranslationsFolder()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

bool installQtLanguage(Language language)
{
    dropTranslator(qtChineseTranslator);
    if (language == Language::English)
        return true;
    auto *translator = new QTranslator;
    if (!translator->load(QStringLiteral("qtbase_zh_CN"), qtTranslationsFolder())) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    qtChineseTranslator = translator;
    return true;
}

bool installLanguage(Language language)
{
    dropTranslator(englishTranslator);
    if (language == Language::Chinese)
        return true;
    Q_INIT_RESOURCE(tessel_translations);
    auto *translator = new QTranslator;
    if (!translator->load(QStringLiteral(":/translations/tessel-control_en.qm"))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    englishTranslator = translator;
    return true;
}

Language installedLanguage()
{
    return englishTranslator ? Language::English : Language::Chinese;
}
