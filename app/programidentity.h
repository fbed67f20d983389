#pragma once
// What the program is called and how it looks to the desktop: the names that
// also place its settings and data folder, its version and its icon.

#include <QIcon>
#include <QString>

QString programTitle();   // "Tessel Control", the main window's title
QString programVersion();
QIcon programIcon();

// Names, version and organisation of the application (QSettings and the data
// folders follow them), its desktop entry, and the icon every window shows.
// Call once, right after the application object is made.
void applyProgramIdentity();
