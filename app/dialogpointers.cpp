#include "app/dialogpointers.h"

QPointer<QDialog> openCurveDialog;
QPointer<QDialog> openImageEditor;

bool closeDialog(const QPointer<QDialog> &p)
{
    return !p || p->close();
}
