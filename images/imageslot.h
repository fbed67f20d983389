#pragma once
// An image slot of the device: the picture geometry it reports, and the slot
// picture file the tool keeps in its image folder.

#include "desktop/datafolder.h"
#include "device/protocol_images.h"
#include "device/reports.h"

#include <QImage>
#include <QString>

// The colour screen's type and the boot screen's slot, as the slots' callers name them.
using Protocol::BootScreenSlot;
using Protocol::ColourScreenType;

// What the slot query answers; a device that stays silent gets a 128 x 128
// colour picture.
struct SlotGeometry
{
    int imageWidth = 128;
    int imageHeight = 128;
    int screenType = ColourScreenType;
};

// A slot picture has 1 to 1024 pixels per side on any screen of the family.
// Anything else in a reply is garbage, and must not size a picture: a
// 62523 x 36940 "slot" would take gigabytes.
constexpr int LargestSlotSide = 1024;
bool isUsableSlotSize(int width, int height);
// "槽位尺寸无效：W×H"
QString unusableSlotSizeText(int width, int height);

// The request for a slot's geometry: 'r', item 0x0B, the slot's low 8 bits.
ApplicationBlock slotQueryBlock(int slot);

// Width and height travel big-endian at reply offsets 5-8, the screen type at 9.
SlotGeometry decodeSlotGeometry(const ReplyBuffer &reply);

// "page<slot>.bmp" in the image folder (imageformats/ of the working
// directory, or the per-user folder; see desktop/datafolder.h).
QString slotImagePath(int slot);

// The picture as its slot picture file (BMP) would give it back: written and
// read as BMP in memory; the picture itself when either step fails. The device
// gets the same bytes whether or not the file itself could be written.
QImage throughBmpFile(const QImage &picture);

// The same, with the file's bytes kept: the slot file can then be written
// without encoding the picture a second time. bmp is empty when it could not
// be encoded.
struct StoredPicture
{
    QImage picture;
    QByteArray bmp;
};
StoredPicture storedAsBmp(const QImage &picture);
