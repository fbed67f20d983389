#include "firmware/firmwarefilechooser.h"

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
    return QFileDialog::getOpenFileName(parent, QCoreApplication::translate("MainWindow", "Open files"), QString(),
                                        QStringLiteral("Binary Files (*.bin);;All Files (*.*)"));
}

void setFirmwareFileChooser(FirmwareFileChooser chooser)
{
    replacement() = std::move(chooser);
}
