#include "desktop/recentfolders.h"

#include <QFileInfo>
#include <QSettings>

namespace {

QString key(const QString &kind)
{
    return QStringLiteral("fileDialogs/") + kind;
}

} // namespace

QString recentFolder(const QString &kind)
{
    const QString folder = QSettings().value(key(kind)).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

void rememberFolderOf(const QString &kind, const QString &chosenFile)
{
    if (chosenFile.isEmpty())
        return;
    QSettings().setValue(key(kind), QFileInfo(chosenFile).absolutePath());
}
