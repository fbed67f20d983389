#pragma once
// The questions "which profile file?" for loading and saving, opening in the
// folder the last profile was chosen in (desktop/filechooser.h). The setter
// replaces both dialogs, so tests answer them without a modal window.

#include <QString>

#include <functional>

class QWidget;

// Returns the chosen path, or an empty string when the user cancelled.
// suggested is the file name offered when saving (empty when loading).
using ProfileFileChooser = std::function<QString(QWidget *parent, const QString &suggested)>;

QString askForProfileToLoad(QWidget *parent);
QString askForProfileToSave(QWidget *parent, const QString &suggested);

// Replace the choosers; empty functions restore the file dialogs.
void setProfileFileChoosers(ProfileFileChooser load, ProfileFileChooser save);
