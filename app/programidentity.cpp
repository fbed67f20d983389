#include "app/programidentity.h"

#include <QApplication>

QString programTitle()
{
    return QStringLiteral("Tessel Control");
}

QString programVersion()
{
    return QStringLiteral(TESSEL_VERSION);
}

QIcon programIcon()
{
    return QIcon(QStringLiteral(":/icon/tessel-control.png"));
}

void applyProgramIdentity()
{
    QCoreApplication::setOrganizationName(QStringLiteral("Tessel"));
    QCoreApplication::setApplicationName(QStringLiteral("tessel-control"));
    QCoreApplication::setApplicationVersion(programVersion());
    // Lets the desktop (Wayland above all) match the windows to the installed entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tessel-control"));
    QApplication::setWindowIcon(programIcon());
}
