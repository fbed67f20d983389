#pragma once
// The language of the window, the log and the command-line tool's device
// messages. Chinese is the language the texts are written in; English comes
// from the embedded translation.

#include <QString>

#include <optional>

enum class Language { Chinese, English };

// "en" or "zh" (as --lang takes them); nothing for any other name.
std::optional<Language> languageNamed(const QString &name);
QString languageCode(Language language);

// The language a locale name asks for: "en", "en_US.UTF-8" … give English;
// "zh_CN", "C", "C.UTF-8", "POSIX" and no locale at all give Chinese, so that a
// machine with no locale set starts as it always has. Any other language reads
// English, the one of the two its speakers more likely know.
Language languageForLocale(const QString &localeName);

// The locale that messages follow: LC_ALL, else LC_MESSAGES, else LANG.
QString messageLocaleName();

// The command-line choice, else the remembered one, else the locale's.
Language chooseLanguage(const QString &option, const QString &remembered, const QString &localeName);

// The choice kept in the program's settings ("en", "zh" or empty).
QString rememberedLanguage();
void rememberLanguage(Language language);

// Makes every tr() of the program answer in language (Chinese removes the
// translation). False when the translation could not be loaded.
bool installLanguage(Language language);

// Qt's own texts in the window (dialog buttons, file dialogs, context menus)
// in language: English as Qt writes them, Chinese from Qt's translation in the
// system's Qt translations folder (qtbase_zh_CN.qm). False when that is not
// installed; Qt's texts then stay English. tesselctl keeps Qt's English.
bool installQtLanguage(Language language);
QString qtTranslationsFolder();
Language installedLanguage();
