// The title strip's language entries: Chinese or English, each named in its
// own language so that whoever cannot read the other finds theirs. The choice
// is remembered and takes effect at the next start; a window that changed
// every text at run time would also have to redo every text it has set since.

#include "app/mainwindow.h"
#include "desktop/language.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMessageBox>

void MainWindow::addLanguageMenu()
{
    auto *menu = new QMenu(tr("语言"), this);
    menu->setObjectName(QStringLiteral("languageMenu"));
    auto *group = new QActionGroup(menu);
    const struct
    {
        Language language;
        const char *name;
        const char *objectName;
    } choices[] = {{Language::Chinese, "中文", "languageChineseAction"},
                   {Language::English, "English", "languageEnglishAction"}};
    for (const auto &choice : choices) {
        QAction *action = menu->addAction(QString::fromUtf8(choice.name));
        action->setObjectName(QLatin1String(choice.objectName));
        action->setCheckable(true);
        action->setChecked(installedLanguage() == choice.language);
        group->addAction(action);
        const Language language = choice.language;
        connect(action, &QAction::triggered, this, [this, language] {
            if (remembersChoices())
                rememberLanguage(language);
            auto *box = new QMessageBox(QMessageBox::Information, tr("语言"),
                                        language == installedLanguage() ? tr("已在使用此语言。")
                                                                        : tr("语言将在下次启动时更改。"),
                                        QMessageBox::Ok, this);
            box->setObjectName(QStringLiteral("languageChangedBox"));
            box->setAttribute(Qt::WA_DeleteOnClose);
            box->open();
        });
    }
    QAction *entry = menu->menuAction();
    entry->setObjectName(QStringLiteral("languageMenuAction"));
    ui->widget_1title->addAction(entry);
}
