#include "images/pictureexport.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>
#include <QCoreApplication>

namespace {

bool isBmp(const QString &fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0;
}

QString fail(QString *problem, const QString &why)
{
    if (problem)
        *problem = why;
    return QString();
}

} // namespace

QString exportFileName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(QLatin1String("png"), Qt::CaseInsensitive) == 0 || isBmp(path))
        return path;
    return path + QStringLiteral(".png");
}

QString exportPicture(const QImage &picture, const QString &path, QString *problem)
{
    if (picture.isNull())
        return fail(problem, QCoreApplication::translate("Pictures", "没有图片可导出"));
    const QString fileName = exportFileName(path);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return fail(problem, QCoreApplication::translate("Pictures", "无法写入 %1").arg(fileName));
    QImageWriter writer(&file, isBmp(fileName) ? "bmp" : "png");
    if (!writer.write(picture) || !file.commit())
        return fail(problem, QCoreApplication::translate("Pictures", "无法写入 %1").arg(fileName));
    return fileName;
}
