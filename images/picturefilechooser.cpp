#include "images/picturefilechooser.h"

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
    return QFileDialog::getOpenFileName(parent, QCoreApplication::translate("editDlg", "Open files"), QString(),
                                        QStringLiteral("Binary Files (*.bmp);;All Files (*.*)"));
}

void setPictureFileChooser(PictureFileChooser chooser)
{
    replacement() = std::move(chooser);
}
