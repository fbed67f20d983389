#include "app/dialogpointers.h"

QPointer<QDialog> openCurveDialog;
QPointer<QDialog> openImageEditor;

void closeDialog(const QPointer<QDialog> &p)
{
    if (p)
        p->close();
}
