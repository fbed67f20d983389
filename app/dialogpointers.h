#pragma once
// The newest power-curve dialog and image editor, shared by the whole program:
// the navigation and close handlers close the dialog each one points to.
// Guarded pointers, so a dialog that was deleted reads as null.

#include <QDialog>
#include <QPointer>

extern QPointer<QDialog> openCurveDialog;
extern QPointer<QDialog> openImageEditor;

// Closes the dialog p points to, if there is one. False when it stays open
// (an editor whose unsaved picture the user kept).
bool closeDialog(const QPointer<QDialog> &p);
