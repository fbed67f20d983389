#pragma once
// The question "which firmware file?" put to the user. Behind a replaceable
// function so that tests answer it without a modal dialog.

#include <QString>

#include <functional>

class QWidget;

// Returns the chosen path, or a null string when the user cancelled.
using FirmwareFileChooser = std::function<QString(QWidget *parent)>;

// The file dialog of the Upgrade page: caption "Open files", opening in the
// folder of the last firmware file chosen, binary files first.
QString askForFirmwareFile(QWidget *parent);

// Replaces the chooser; an empty function restores the file dialog.
void setFirmwareFileChooser(FirmwareFileChooser chooser);
