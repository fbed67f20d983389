#include "images/picturefile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

QImage readChecked(QImageReader &reader)
{
    // Size first, from the file's header: decoding is only tried for a picture
    // of sane dimensions.
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > LargestPictureSide || size.height() > LargestPictureSide)
        return QImage();
    return reader.read();
}

} // namespace

QImage readPictureFile(const QString &path, QString *problem)
{
    const QFileInfo info(path);
    QString why;
    if (!info.exists())
        why = QStringLiteral("图片文件不存在");
    else if (!info.isFile())
        why = QStringLiteral("图片文件不是普通文件");
    if (!why.isEmpty()) {
        if (problem)
            *problem = why;
        return QImage();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (problem)
            *problem = QStringLiteral("图片文件无法读取");
        return QImage();
    }
    // The suffix is tried first, as for a reader given the file name; the
    // content decides when it does not fit.
    QImageReader reader(&file, info.suffix().toLatin1());
    return readChecked(reader);
}

QImage readPicture(QIODevice *device)
{
    QImageReader reader(device);
    return readChecked(reader);
}
