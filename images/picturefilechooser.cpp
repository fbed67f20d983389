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
        QCoreApplication::translate("editDlg", "图片 (*.png *.jpg *.jpeg *.bmp *.gif);;位图 (*.bmp);;所有文件 (*.*)"));
    rememberFolderOf(QStringLiteral("pictures"), chosen);
    return chosen;
}

QString chooseExportFile(QWidget *parent)
{
    if (exportReplacement())
        return exportReplacement()(parent);
    return QFileDialog::getSaveFileName(parent, QCoreApplication::translate("editDlg", "Export picture"),
                                        recentFolder(QStringLiteral("pictures")),
                                        QCoreApplication::translate("editDlg", "PNG 图片 (*.png);;BMP 图片 (*.bmp)"));
}

void setPictureFileChooser(PictureFileChooser chooser)
{
    replacement() = std::move(chooser);
}

void setExportFileChooser(PictureFileChooser chooser)
{
    exportReplacement() = std::move(chooser);
}
