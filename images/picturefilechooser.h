#pragma once
// The file dialogs behind the editor's ADD and EXPORT buttons, opening in the
// folder the last picture was chosen in (desktop/filechooser.h); replaceable
// so that an automated run can answer them without a modal window.

#include <QString>

#include <functional>

class QWidget;

// Asks for a picture file; a null string when the user cancels.
QString choosePictureFile(QWidget *parent);
// Asks where to save the picture (PNG or BMP); a null string when the user cancels.
QString chooseExportFile(QWidget *parent);

// Replaces a dialog (an empty function puts the real dialog back).
using PictureFileChooser = std::function<QString(QWidget *parent)>;
void setPictureFileChooser(PictureFileChooser chooser);
void setExportFileChooser(PictureFileChooser chooser);
