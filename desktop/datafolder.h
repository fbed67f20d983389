#pragma once
// Where the program keeps its files: the status icons and device pictures it
// shows and the slot pictures it saves, all in one folder named "imageformats".
//
// Started in a folder that holds one (build/bin/, or wherever the user keeps
// it), the program uses that folder by its relative name, as it always has.
// Started anywhere else (a double click, a terminal in the home folder) it
// uses a per-user folder, filled on first start from the folder installed or
// built beside the program, so the pictures show and slot pictures are saved
// where the user may write, never into the working directory.

#include <QString>
#include <QStringList>

// The folder in use; "imageformats", relative to the working directory, until
// the program chooses another with useImageFolder().
QString imageFolder();
void useImageFolder(const QString &folder);

// What the choice depends on.
struct DataPlaces
{
    QString workingDirectory;
    // imageformats/ folders that came with the program, best first: built or
    // unpacked beside it, then installed.
    QStringList shippedFolders;
    // The per-user imageformats/ folder.
    QString userFolder;
};

// The places of this program on this system. Needs the application object,
// whose name the per-user folder follows.
DataPlaces dataPlaces();

// The folder to use: "imageformats" when the working directory has one;
// otherwise the per-user folder, created and seeded from the first shipped
// folder that exists; a shipped folder itself when the per-user one cannot be
// made; "imageformats" when there is nothing at all.
QString chooseImageFolder(const DataPlaces &places);

// Copies each file of `from` that `to` lacks, and a newer copy of each picture
// the program ships. Slot pictures already in `to` are the user's and are never
// replaced. False when a file could not be copied.
bool seedImageFolder(const QString &from, const QString &to);

// The per-user folder of the program's own files, shared by the window and
// tesselctl (~/.local/share/tessel-control on Linux); empty when the system
// names none. Not created here.
QString userDataFolder();

// The udev rule that lets the logged-in user open the device on Linux.
QString udevRuleFileName();
// That rule where it came with the program (beside it or installed), or empty.
QString shippedUdevRule();
