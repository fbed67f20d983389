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

PictureFileChooser &exportReplacement()
{
    static PictureFileChooser chooser;
    return chooser;
}

} // namespace

QString choosePictureFile(QWidget *parent)
{
    if (replacement())
        return replacement()(parent);
    const QString chosen = QFileDialog::getOpenFileName(
        parent, QCoreApplication::translate("editDlg", "Open files"), recentFolder(QStringLiteral("pictures")),
        QStringLiteral("Images (*.png *.jpg *.jpeg *.bmp *.gif);;Binary Files (*.bmp);;All Files (*.*)"));
    rememberFolderOf(QStringLiteral("pictures"), chosen);
    return chosen;
}

QString chooseExportFile(QWidget *parent)
{
    if (exportReplacement())
        return exportReplacement()(parent);
    return QFileDialog::getSaveFileName(parent, QCoreApplication::translate("editDlg", "Export picture"),
                                        recentFolder(QStringLiteral("pictures")),
                                        QStringLiteral("PNG (*.png);;BMP (*.bmp)"));
}

void setPictureFileChooser(PictureFileChooser chooser)
{
    replacement() = std::move(chooser);
}

void setExportFileChooser(PictureFileChooser chooser)
{
    exportReplacement() = std::move(chooser);
}
