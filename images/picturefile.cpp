#include "images/picturefile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QtEndian>

namespace {

PictureFile refused(PictureRefusal why, QSize stated = QSize())
{
    PictureFile file;
    file.refusal = why;
    file.statedSize = stated;
    return file;
}

QByteArray readAt(QIODevice *device, qint64 at, int count)
{
    return device->seek(at) ? device->read(count) : QByteArray();
}

// An uncompressed BMP holds every row its header promises. The reader does not
// check: rows past the end of the file would keep whatever the memory held.
// Run-length pictures are read into a cleared picture instead (see decode).
bool bmpComplete(QIODevice *device)
{
    const QByteArray head = readAt(device, 0, 34);
    if (head.size() < 26)
        return false;
    const auto *p = reinterpret_cast<const uchar *>(head.constData());
    const qint64 pixelsAt = qFromLittleEndian<quint32>(p + 10);
    const quint32 infoSize = qFromLittleEndian<quint32>(p + 14);
    qint64 width = 0;
    qint64 height = 0;
    int bits = 0;
    quint32 compression = 0;
    if (infoSize == 12) {   // the old OS/2 header: 16-bit sides, never compressed
        width = qFromLittleEndian<quint16>(p + 18);
        height = qFromLittleEndian<quint16>(p + 20);
        bits = qFromLittleEndian<quint16>(p + 24);
    } else {
        if (head.size() < 34)
            return false;
        width = qAbs(qint64(qFromLittleEndian<qint32>(p + 18)));
        height = qAbs(qint64(qFromLittleEndian<qint32>(p + 22)));
        bits = qFromLittleEndian<quint16>(p + 28);
        compression = qFromLittleEndian<quint32>(p + 30);
    }
    const bool runLength = compression == 1 || compression == 2;
    if (runLength)
        return true;
    const qint64 rowBytes = (width * bits + 31) / 32 * 4;
    return pixelsAt + rowBytes * height <= device->size();
}

// A PNG runs chunk by chunk to its end chunk; a file cut short would only make
// the decoder complain on standard error.
bool pngComplete(QIODevice *device)
{
    const qint64 size = device->size();
    qint64 at = 8;   // past the signature
    while (at + 8 <= size) {
        const QByteArray head = readAt(device, at, 8);
        if (head.size() < 8)
            return false;
        const qint64 length = qFromBigEndian<quint32>(head.constData());
        at += 12 + length;   // length, type, data, check sum
        if (at > size)
            return false;
        if (head.mid(4) == "IEND")
            return true;
    }
    return false;
}

// A JPEG's compressed pixels end with the end-of-picture marker. The decoder
// fills a picture cut short with grey and calls it read.
bool jpegComplete(QIODevice *device)
{
    // Past the segments before the pixels, each with its length (an EXIF
    // thumbnail inside one has markers of its own).
    qint64 at = 2;
    for (;;) {
        const QByteArray marker = readAt(device, at, 4);
        if (marker.size() < 2 || uchar(marker[0]) != 0xFF)
            return false;
        const uchar kind = uchar(marker[1]);
        if (kind == 0xFF) {   // fill byte
            ++at;
            continue;
        }
        if (kind == 0xDA)   // start of the compressed pixels
            break;
        if (marker.size() < 4)
            return false;
        at += 2 + qFromBigEndian<quint16>(marker.constData() + 2);
    }
    // In the compressed data a 0xFF byte is followed by 0x00 or a restart
    // marker, so FF D9 is the end marker wherever it appears.
    device->seek(at);
    const QByteArray end("\xFF\xD9");
    bool lastWasFF = false;   // the marker may straddle two blocks
    while (!device->atEnd()) {
        const QByteArray block = device->read(64 * 1024);
        if (block.isEmpty())
            return false;
        if ((lastWasFF && uchar(block[0]) == 0xD9) || block.contains(end))
            return true;
        lastWasFF = uchar(block[block.size() - 1]) == 0xFF;
    }
    return false;
}

// Looks ahead without disturbing the reader, which has read the header and
// goes on from where it stopped.
bool complete(QIODevice *device, const QByteArray &format)
{
    if (device->isSequential())
        return true;
    const qint64 readerAt = device->pos();
    bool whole = true;
    if (format == "bmp")
        whole = bmpComplete(device);
    else if (format == "png")
        whole = pngComplete(device);
    else if (format == "jpeg" || format == "jpg")
        whole = jpegComplete(device);
    device->seek(readerAt);
    return whole;
}

PictureFile decode(QIODevice *device)
{
    if (device->isSequential() ? device->peek(1).isEmpty() : device->size() == 0)
        return refused(PictureRefusal::Empty);
    QImageReader reader(device);
    // The content decides the kind, whatever the name says: a PNG saved as
    // ".jpg" is still read, and no decoder is handed a file of another kind.
    reader.setDecideFormatFromContent(true);
    // Phone photos are stored sideways with the turn in their EXIF data.
    reader.setAutoTransform(true);
    if (!reader.canRead())
        return refused(PictureRefusal::NotAPicture);
    const QByteArray format = reader.format();

    // Size first, from the header: decoding is only tried for a picture of
    // sane dimensions. A reader that cannot say the size before decoding is
    // not trusted with the file at all: decoding first could already take
    // gigabytes, and Qt's own readers of BMP, PNG, JPEG, GIF and ICO all can.
    if (!reader.supportsOption(QImageIOHandler::Size))
        return refused(PictureRefusal::NotAPicture);
    // A top-down BMP states its height as a negative number; the picture is
    // as tall as its absolute value.
    const QSize stated = reader.size();
    QSize size(qAbs(stated.width()), qAbs(stated.height()));
    const QSize upright = reader.transformation() & QImageIOHandler::TransformationRotate90 ? size.transposed()
                                                                                            : size;
    if (size.width() > LargestPictureSide || size.height() > LargestPictureSide)
        return refused(PictureRefusal::TooLarge, upright);
    // No size at all: the header is damaged (a top-down BMP's negative
    // height makes the stated size "invalid" too, so that test is no use).
    if (stated == QSize() || size.isEmpty())
        return refused(PictureRefusal::Unreadable);
    if (!complete(device, format))
        return refused(PictureRefusal::Unreadable);

    // The BMP reader leaves pixels that run-length data skips (or never
    // reaches) as it found the memory; given a cleared picture of the right
    // size and kind it fills that one instead.
    QImage picture;
    if (format == "bmp" && reader.imageFormat() != QImage::Format_Invalid) {
        picture = QImage(size, reader.imageFormat());
        picture.fill(0);
    }
    if (!reader.read(&picture) || picture.isNull())
        return refused(PictureRefusal::Unreadable);
    if (picture.width() > LargestPictureSide || picture.height() > LargestPictureSide)
        return refused(PictureRefusal::TooLarge, picture.size());
    PictureFile file;
    file.picture = picture;
    file.statedSize = picture.size();
    return file;
}

} // namespace

QString PictureFile::problem() const
{
    switch (refusal) {
    case PictureRefusal::None:
        return QString();
    case PictureRefusal::Missing:
        return QCoreApplication::translate("Pictures", "图片文件不存在");
    case PictureRefusal::NotAFile:
        return QCoreApplication::translate("Pictures", "图片文件不是普通文件");
    case PictureRefusal::CannotOpen:
        return QCoreApplication::translate("Pictures", "图片文件无法读取");
    case PictureRefusal::Empty:
        return QCoreApplication::translate("Pictures", "图片文件是空的");
    case PictureRefusal::NotAPicture:
        return QCoreApplication::translate("Pictures", "文件不是图片");
    case PictureRefusal::TooLarge:
        return QCoreApplication::translate("Pictures", "图片 %1×%2 大于 %3×%3")
            .arg(statedSize.width())
            .arg(statedSize.height())
            .arg(LargestPictureSide);
    case PictureRefusal::Unreadable:
        return QCoreApplication::translate("Pictures", "图片文件不完整或已损坏");
    }
    return QString();
}

PictureFile loadPictureFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return refused(PictureRefusal::Missing);
    if (!info.isFile())
        return refused(PictureRefusal::NotAFile);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(PictureRefusal::CannotOpen);
    return decode(&file);
}

PictureFile loadPicture(QIODevice *device)
{
    return decode(device);
}

QImage readPictureFile(const QString &path, QString *problem)
{
    const PictureFile file = loadPictureFile(path);
    if (problem)
        *problem = file.problem();
    return file.picture;
}

QImage readPicture(QIODevice *device, QString *problem)
{
    const PictureFile file = loadPicture(device);
    if (problem)
        *problem = file.problem();
    return file.picture;
}
