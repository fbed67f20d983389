#include "app/profilefilechooser.h"

#include <QFileDialog>
#include <QCoreApplication>

namespace {

// In the window's language, so read when a dialog opens.
QString filter()
{
    return QCoreApplication::translate("MainWindow", "Tessel 配置文件 (*.tessel.json);;JSON 文件 (*.json);;所有文件 (*)");
}

ProfileFileChooser &loadChooser()
{
    static ProfileFileChooser chooser;
    return chooser;
}

ProfileFileChooser &saveChooser()
{
    static ProfileFileChooser chooser;
    return chooser;
}

} // namespace

QString askForProfileToLoad(QWidget *parent)
{
    if (const ProfileFileChooser &chooser = loadChooser())
        return chooser(parent, QString());
    return QFileDialog::getOpenFileName(parent, QCoreApplication::translate("MainWindow", "加载配置文件"), QString(), filter());
}

QString askForProfileToSave(QWidget *parent, const QString &suggested)
{
    if (const ProfileFileChooser &chooser = saveChooser())
        return chooser(parent, suggested);
    return QFileDialog::getSaveFileName(parent, QCoreApplication::translate("MainWindow", "保存配置文件"), suggested, filter());
}

void setProfileFileChoosers(ProfileFileChooser load, ProfileFileChooser save)
{
    loadChooser() = std::move(load);
    saveChooser() = std::move(save);
}
