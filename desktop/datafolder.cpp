#include "desktop/datafolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

const char *const ImageFolderName = "imageformats";
// Beside the share/ folder of the prefix the program was configured for.
const char *const ConfiguredDataDir = TESSEL_DATA_DIR;
const char *const ShareSubfolder = "tessel-control";

QString &folderInUse()
{
    static QString folder = QLatin1String(ImageFolderName);
    return folder;
}

// page<slot>.bmp, as the image editor saves it.
bool isSlotPicture(const QString &fileName)
{
    static const QRegularExpression slotFile(QStringLiteral("^page\\d+\\.bmp$"));
    return slotFile.match(fileName).hasMatch();
}

// The program's own data folders, best first, each once: beside the program,
// in the share/ folder of the prefix it sits in, in the one it was configured
// for, and wherever the system's data folders hold one.
QStringList dataDirectories()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    QStringList dirs{programDir, programDir + QStringLiteral("/../share/") + QLatin1String(ShareSubfolder),
                     QString::fromUtf8(ConfiguredDataDir)};
    dirs += QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QLatin1String(ShareSubfolder),
                                      QStandardPaths::LocateDirectory);
    QStringList unique;
    for (const QString &dir : dirs) {
        const QString clean = QDir::cleanPath(dir);
        if (!clean.isEmpty() && !unique.contains(clean))
            unique << clean;
    }
    return unique;
}

} // namespace

QString imageFolder()
{
    return folderInUse();
}

void useImageFolder(const QString &folder)
{
    folderInUse() = folder;
}

QString userDataFolder()
{
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return userData.isEmpty() ? QString()
                              : QDir::cleanPath(userData + QLatin1Char('/') + QLatin1String(ShareSubfolder));
}

DataPlaces dataPlaces()
{
    DataPlaces places;
    places.workingDirectory = QDir::currentPath();
    // The folder the desktop launcher has always copied the pictures to, so
    // slot pictures saved through it stay where they were.
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!userData.isEmpty())
        places.userFolder = QDir::cleanPath(userData + QLatin1Char('/') + QLatin1String(ShareSubfolder)
                                            + QLatin1Char('/') + QLatin1String(ImageFolderName));
    for (const QString &dir : dataDirectories()) {
        const QString folder = dir + QLatin1Char('/') + QLatin1String(ImageFolderName);
        if (folder != places.userFolder)
            places.shippedFolders << folder;
    }
    return places;
}

QString chooseImageFolder(const DataPlaces &places)
{
    if (QFileInfo(QDir(places.workingDirectory).filePath(QLatin1String(ImageFolderName))).isDir())
        return QLatin1String(ImageFolderName);
    QString shipped;
    for (const QString &folder : places.shippedFolders) {
        if (QFileInfo(folder).isDir()) {
            shipped = folder;
            break;
        }
    }
    if (!places.userFolder.isEmpty() && QDir().mkpath(places.userFolder)) {
        if (!shipped.isEmpty())
            seedImageFolder(shipped, places.userFolder);
        return places.userFolder;
    }
    return shipped.isEmpty() ? QLatin1String(ImageFolderName) : shipped;
}

bool seedImageFolder(const QString &from, const QString &to)
{
    bool copiedAll = true;
    const QDir source(from);
    const QDir target(to);
    for (const QFileInfo &file : source.entryInfoList(QDir::Files | QDir::Readable)) {
        const QString destination = target.filePath(file.fileName());
        const QFileInfo existing(destination);
        if (existing.exists()) {
            if (isSlotPicture(file.fileName()) || existing.lastModified() >= file.lastModified())
                continue;
            QFile::remove(destination);
        }
        if (!QFile::copy(file.filePath(), destination))
            copiedAll = false;
    }
    return copiedAll;
}

QString udevRuleFileName()
{
    return QStringLiteral("70-tessel-control.rules");
}

QString shippedUdevRule()
{
    for (const QString &dir : dataDirectories()) {
        const QString rule = dir + QLatin1Char('/') + udevRuleFileName();
        if (QFileInfo(rule).isFile())
            return rule;
    }
    return QString();
}
