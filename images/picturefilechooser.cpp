#include "images/picturefilechooser.h"

#include "desktop/filechooser.h"

#include <QCoreApplication>

namespace {

FileChooser forward(PictureFileChooser chooser)
{
    if (!chooser)
        return {};
    return [chooser](QWidget *parent, const FileQuestion &) { return chooser(parent); };
}

} // namespace

QString choosePictureFile(QWidget *parent)
{
    return chooseFileToOpen(
        parent, {QStringLiteral("pictures"), QCoreApplication::translate("editDlg", "Open files"),
                 QCoreApplication::translate("editDlg", "图片 (*.png *.jpg *.jpeg *.bmp *.gif);;位图 (*.bmp);;所有文件 (*.*)"),
                 QString(), QString()});
}

QString chooseExportFile(QWidget *parent)
{
    return chooseFileToSave(parent,
                            {QStringLiteral("pictures"), QCoreApplication::translate("editDlg", "Export picture"),
                             QCoreApplication::translate("editDlg", "PNG 图片 (*.png);;BMP 图片 (*.bmp)"), QString(),
                             QString()});
}

void setPictureFileChooser(PictureFileChooser chooser)
{
    setFileToOpenChooser(forward(std::move(chooser)));
}

void setExportFileChooser(PictureFileChooser chooser)
{
    setFileToSaveChooser(forward(std::move(chooser)));
}
