#include "firmware/firmwarefilechooser.h"

#include "desktop/filechooser.h"

#include <QCoreApplication>

QString askForFirmwareFile(QWidget *parent)
{
    return chooseFileToOpen(parent,
                            {QStringLiteral("firmware"), QCoreApplication::translate("MainWindow", "Open files"),
                             QCoreApplication::translate("MainWindow", "固件文件 (*.bin);;所有文件 (*.*)"), QString(),
                             QString()});
}

void setFirmwareFileChooser(FirmwareFileChooser chooser)
{
    if (!chooser) {
        setFileToOpenChooser({});
        return;
    }
    setFileToOpenChooser([chooser](QWidget *parent, const FileQuestion &) { return chooser(parent); });
}
