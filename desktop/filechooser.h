#pragma once
// The file dialogs of the program: "which file?" to open and "where to?" to
// save, each opening in the folder the last file of its purpose was chosen
// in. The dialogs themselves are replaceable, so that tests and automated
// runs answer them without a modal window; the folder is kept either way.

#include <QString>

#include <functional>

class QWidget;

// What the user is asked.
struct FileQuestion
{
    // Which folder is kept and offered: "profiles", "pictures", "curves",
    // "firmware", "log".
    QString purpose;
    QString title;
    // In the dialog's own form, e.g. "CSV 文件 (*.csv);;所有文件 (*)".
    QString filter;
    // The file name offered when saving; empty when opening.
    QString suggestedName;
    // Where the dialog opens: the purpose's folder as last kept (with the
    // suggested name in it), or just the suggested name when none is kept.
    // Filled in by the choosers below.
    QString startPath;
};

// Returns the chosen path, or a null string when the user cancelled.
using FileChooser = std::function<QString(QWidget *parent, const FileQuestion &question)>;

QString chooseFileToOpen(QWidget *parent, FileQuestion question);
QString chooseFileToSave(QWidget *parent, FileQuestion question);

// Replace the dialogs; an empty function puts the real dialog back.
void setFileToOpenChooser(FileChooser chooser);
void setFileToSaveChooser(FileChooser chooser);
