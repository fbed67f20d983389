#pragma once
// The file dialog behind the editor's ADD button, replaceable so that an
// automated run can answer it without a modal window.

#include <QString>

#include <functional>

class QWidget;

// Asks for a picture file; a null string when the user cancels.
QString choosePictureFile(QWidget *parent);

// Replaces the dialog (an empty function puts the real dialog back).
using PictureFileChooser = std::function<QString(QWidget *parent)>;
void setPictureFileChooser(PictureFileChooser chooser);
