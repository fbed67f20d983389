#pragma once
// The questions "which CSV file?" of the curve dialog's import and export,
// opening in the folder the last curve file was chosen in
// (desktop/filechooser.h). The setter replaces both dialogs, so tests answer
// them without a modal window.

#include <QString>

#include <functional>

class QWidget;

// saving: the file is to be written (suggested is the offered name); else read.
// Returns the chosen path, or an empty string when the user cancelled.
using CurveFileChooser = std::function<QString(QWidget *parent, bool saving, const QString &suggested)>;

QString askForCurveFile(QWidget *parent, bool saving, const QString &suggested);

// Replaces the chooser; an empty function restores the file dialog.
void setCurveFileChooser(CurveFileChooser chooser);
