#include "desktop/filechooser.h"

#include "desktop/recentfolders.h"

#include <QDir>
#include <QFileDialog>

namespace {

FileChooser &openReplacement()
{
    static FileChooser chooser;
    return chooser;
}

FileChooser &saveReplacement()
{
    static FileChooser chooser;
    return chooser;
}

QString startPath(const FileQuestion &question)
{
    const QString folder = recentFolder(question.purpose);
    if (folder.isEmpty())
        return question.suggestedName;
    return question.suggestedName.isEmpty() ? folder : QDir(folder).filePath(question.suggestedName);
}

// The dialog, or its replacement; a chosen file's folder is kept for the next
// question of the same purpose, a cancel keeps the folder there was.
QString ask(QWidget *parent, FileQuestion &question, const FileChooser &replacement,
            QString (*dialog)(QWidget *, const QString &, const QString &, const QString &, QString *,
                              QFileDialog::Options))
{
    question.startPath = startPath(question);
    const QString chosen = replacement ? replacement(parent, question)
                                       : dialog(parent, question.title, question.startPath, question.filter,
                                                nullptr, QFileDialog::Options());
    rememberFolderOf(question.purpose, chosen);
    return chosen;
}

} // namespace

QString chooseFileToOpen(QWidget *parent, FileQuestion question)
{
    return ask(parent, question, openReplacement(), &QFileDialog::getOpenFileName);
}

QString chooseFileToSave(QWidget *parent, FileQuestion question)
{
    return ask(parent, question, saveReplacement(), &QFileDialog::getSaveFileName);
}

void setFileToOpenChooser(FileChooser chooser)
{
    openReplacement() = std::move(chooser);
}

void setFileToSaveChooser(FileChooser chooser)
{
    saveReplacement() = std::move(chooser);
}
