#pragma once
// Reading a picture file that the user chose, without trusting it: only a
// regular file is opened (a named pipe would block, a device node never end),
// its kind is told from its content, and its size is read from the header
// before anything is decoded, so a hostile file cannot make the tool allocate
// gigabytes. A file cut short is refused rather than shown with made-up rows.

#include <QImage>
#include <QSize>
#include <QString>

class QIODevice;

// Pictures with more pixels than this per side are refused undecoded.
constexpr int LargestPictureSide = 8192;

// Why a picture file was not taken.
enum class PictureRefusal {
    None,          // taken
    Missing,       // no such file
    NotAFile,      // a folder, pipe or device node
    CannotOpen,    // the file cannot be opened for reading
    Empty,         // zero bytes
    NotAPicture,   // no picture format this program reads
    TooLarge,      // a side over LargestPictureSide; statedSize says how large
    Unreadable,    // cut short or damaged: the pixels cannot all be decoded
};

struct PictureFile
{
    QImage picture;   // upright: an EXIF orientation is already applied
    PictureRefusal refusal = PictureRefusal::None;
    QSize statedSize;   // the size the header states, upright; set from TooLarge on

    // The reason in words for the user (translated); empty when taken.
    QString problem() const;
};

// The picture in the file at path, or the reason it was refused.
PictureFile loadPictureFile(const QString &path);

// The picture a device holds, with the same checks.
PictureFile loadPicture(QIODevice *device);

// The picture in the file at path, or a null image. problem, when given, gets
// the reason the file was refused, in words for the user.
QImage readPictureFile(const QString &path, QString *problem = nullptr);

// The picture a device holds, with the same checks.
QImage readPicture(QIODevice *device, QString *problem = nullptr);
