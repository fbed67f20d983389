#pragma once
// The folder each kind of file dialog showed last, kept in the program's
// settings so that the next dialog of that kind opens there.

#include <QString>

// Empty when none was kept or the folder has gone since; the dialog then
// opens where it would by itself.
QString recentFolder(const QString &kind);
// Keeps the folder of a file the user chose in a dialog of this kind.
void rememberFolderOf(const QString &kind, const QString &chosenFile);
