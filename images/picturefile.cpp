#include "images/picturefile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QCoreApplication>

namespace {

QImage refuse(QString *problem, const QString &why)
{
    if (problem)
        *problem = why;
    return QImage();
}

QImage readChecked(QImageReader &reader, QString *problem)
{
    // Size first, from the file's header: decoding is only tried for a picture
    // of sane dimensions.
    if (!reader.canRead())
        return refuse(problem, QCoreApplication::translate("Pictures", "文件不是图片"));
    // A top-down BMP states its height as a negative number; the picture is
    // as tall as its absolute value.
    const QSize stated = reader.size();
    const QSize size(qAbs(stated.width()), qAbs(stated.height()));
    if (size.width() > LargestPictureSide || size.height() > LargestPictureSide)
        return refuse(problem, QCoreApplication::translate("Pictures", "图片大于 %1×%1").arg(LargestPictureSide));
    if (!size.isValid() || size.isEmpty())
        return refuse(problem, QCoreApplication::translate("Pictures", "文件不是图片"));
    QImage picture = reader.read();
    if (picture.isNull())
        return refuse(problem, QCoreApplication::translate("Pictures", "图片文件无法读取"));
    return picture;
}

} // namespace

QImage readPictureFile(const QString &path, QString *problem)
{
    const QFileInfo info(path);
    if (!info.exists())
        return refuse(problem, QCoreApplication::translate("Pictures", "图片文件不存在"));
    if (!info.isFile())
        return refuse(problem, QCoreApplication::translate("Pictures", "图片文件不是普通文件"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(problem, QCoreApplication::translate("Pictures", "图片文件无法读取"));
    // The suffix is tried first, as for a reader given the file name; the
    // content decides when it does not fit.
    QImageReader reader(&file, info.suffix().toLatin1());
    return readChecked(reader, problem);
}

QImage readPicture(QIODevice *device, QString *problem)
{
    QImageReader reader(device);
    return readChecked(reader, problem);
}
