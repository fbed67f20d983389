#pragma once
// Saving the editor's picture to a file of the user's choosing, as PNG or BMP.

#include <QImage>
#include <QString>

// The file name picture is written to for the path the user gave: unchanged
// when it ends in .png or .bmp (any case), else with ".png" added.
QString exportFileName(const QString &path);

// Writes picture to exportFileName(path): BMP for .bmp, PNG otherwise. The
// file appears whole or not at all. The name written, or an empty string with
// problem (when given) saying why.
QString exportPicture(const QImage &picture, const QString &path, QString *problem = nullptr);
