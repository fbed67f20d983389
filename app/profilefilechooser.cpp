#include "app/profilefilechooser.h"

#include "desktop/filechooser.h"

#include <QCoreApplication>

namespace {

// In the window's language, so read when a dialog opens.
FileQuestion profileQuestion(const char *title, const QString &suggested)
{
    return {QStringLiteral("profiles"), QCoreApplication::translate("MainWindow", title),
            QCoreApplication::translate("MainWindow", "Tessel 配置文件 (*.tessel.json);;JSON 文件 (*.json);;所有文件 (*)"),
            suggested, QString()};
}

} // namespace

QString askForProfileToLoad(QWidget *parent)
{
    return chooseFileToOpen(parent, profileQuestion(QT_TRANSLATE_NOOP("MainWindow", "加载配置文件"), QString()));
}

QString askForProfileToSave(QWidget *parent, const QString &suggested)
{
    return chooseFileToSave(parent, profileQuestion(QT_TRANSLATE_NOOP("MainWindow", "保存配置文件"), suggested));
}

void setProfileFileChoosers(ProfileFileChooser load, ProfileFileChooser save)
{
    const auto forward = [](ProfileFileChooser chooser) {
        return chooser ? FileChooser([chooser](QWidget *parent, const FileQuestion &question) {
            return chooser(parent, question.suggestedName);
        })
                       : FileChooser();
    };
    setFileToOpenChooser(forward(std::move(load)));
    setFileToSaveChooser(forward(std::move(save)));
}
