#include "firmware/firmwarefilechooser.h"

#include "desktop/recentfolders.h"

#include <QCoreApplication>

#include <QFileDialog>

namespace {

FirmwareFileChooser &replacement()
{
    static FirmwareFileChooser chooser;
    return chooser;
}

} // namespace

QString askForFirmwareFile(QWidget *parent)
{
    if (const FirmwareFileChooser &chooser = replacement())
        return chooser(parent);
    const QString chosen =
        QFileDialog::getOpenFileName(parent, QCoreApplication::translate("MainWindow", "Open files"),
                                     recentFolder(QStringLiteral("firmware")),
                                     QCoreApplication::translate("MainWindow", "固件文件 (*.bin);;所有文件 (*.*)"));
    rememberFolderOf(QStringLiteral("firmware"), chosen);
    return chosen;
}

void setFirmwareFileChooser(FirmwareFileChooser chooser)
{
    replacement() = std::move(chooser);
}
