#include "images/imageslot.h"

#include <QBuffer>
#include <QCoreApplication>

ApplicationBlock slotQueryBlock(int slot)
{
    ApplicationBlock block = makeApplicationBlock(Protocol::OpRead, Protocol::ItemSlotQuery);
    block[2] = quint8(slot & 0xFF);
    return block;
}

SlotGeometry decodeSlotGeometry(const ReplyBuffer &reply)
{
    SlotGeometry geometry;
    geometry.imageWidth = reply[5] << 8 | reply[6];
    geometry.imageHeight = reply[7] << 8 | reply[8];
    geometry.screenType = reply[9];
    return geometry;
}

QString slotImagePath(int slot)
{
    return imageFolder() + QStringLiteral("/page") + QString::number(slot) + QStringLiteral(".bmp");
}

bool isUsableSlotSize(int width, int height)
{
    return width >= 1 && height >= 1 && width <= LargestSlotSide && height <= LargestSlotSide;
}

QString unusableSlotSizeText(int width, int height)
{
    return QCoreApplication::translate("Pictures", "槽位尺寸无效：%1×%2").arg(width).arg(height);
}

QImage throughBmpFile(const QImage &picture)
{
    return storedAsBmp(picture).picture;
}

StoredPicture storedAsBmp(const QImage &picture)
{
    StoredPicture stored;
    QBuffer buffer(&stored.bmp);
    buffer.open(QIODevice::WriteOnly);
    if (picture.save(&buffer, "bmp"))
        stored.picture.loadFromData(stored.bmp, "bmp");
    else
        stored.bmp.clear();
    if (stored.picture.isNull())
        stored.picture = picture;
    return stored;
}
