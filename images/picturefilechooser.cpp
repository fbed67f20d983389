#include "images/picturefilechooser.h"

#include "desktop/recentfolders.h"

#include <QCoreApplication>
#include <QFileDialog>

namespace {

PictureFileChooser &replacement()
{
    static PictureFileChooser chooser;
    return chooser;
}

} // namespace

QString choosePictureFile(QWidget *parent)
{
    if (replacement())
        return replacement()(parent);
    const QString chosen =
        QFileDialog::getOpenFileName(parent, QCoreApplication::translate("editDlg", "Open files"),
                                     recentFolder(QStringLiteral("pictures")),
                                     QStringLiteral("Binary Files (*.bmp);;All Files (*.*)"));
    rememberFolderOf(QStringLiteral("pictures"), chosen);
    return chosen;
}

void setPictureFileChooser(PictureFileChooser chooser)
{
    replacement() = std::move(chooser);
}
