#pragma once
// Reading a picture file that the user chose, without trusting it: only a
// regular file is opened (a named pipe would block, a device node never end),
// and its size is read from the header before anything is decoded, so a
// hostile file cannot make the tool allocate gigabytes.

#include <QImage>
#include <QString>

class QIODevice;

// Pictures with more pixels than this per side are refused undecoded.
constexpr int LargestPictureSide = 8192;

// The picture in the file at path, or a null image. problem, when given, gets
// the reason the file was refused, in words for the user: missing, not a
// regular file, not a picture, larger than 8192 × 8192, unreadable.
QImage readPictureFile(const QString &path, QString *problem = nullptr);

// The picture a device holds, with the same size check.
QImage readPicture(QIODevice *device, QString *problem = nullptr);
