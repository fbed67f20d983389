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
// the reason a file that is no regular file was refused ("图片文件不是普通文件"
// and the like); it stays empty for a file that is simply no usable picture.
QImage readPictureFile(const QString &path, QString *problem = nullptr);

// The picture a device holds, with the same size check.
QImage readPicture(QIODevice *device);
