#pragma once
// The About box: the program's version and the versions of the libraries it
// runs on, as a bug report needs them.

#include <QString>

class QMessageBox;
class QWidget;

QString aboutText();

// Opens the box over parent and returns at once; it deletes itself when closed.
QMessageBox *showAboutBox(QWidget *parent);
