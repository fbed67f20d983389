#pragma once
// The picture files under tests/data/pictures (tools/make-picture-corpus
// writes them) and what a user should get from each: the picture, by its size
// and four corners, or the refusal and its reason. The guard, ADD, the slot
// file and tesselctl upload are each tested against this one table.

#include "images/picturefile.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QVector>

#include <array>

namespace picturecorpus {

struct Entry
{
    const char *file;
    PictureRefusal refusal;         // None: the picture is taken
    QSize size;                     // of the picture, upright; the stated size when too large
    std::array<QRgb, 4> corners;    // top left, top right, bottom left, bottom right
};

inline QString path(const char *file)
{
    return QStringLiteral(TESSEL_PICTURE_CORPUS "/") + QLatin1String(file);
}

inline const QVector<Entry> &entries()
{
    constexpr QRgb R = 0xffff0000, G = 0xff00ff00, B = 0xff0000ff, W = 0xffffffff, K = 0xff000000;
    const std::array<QRgb, 4> quadrants{R, G, B, W};
    const std::array<QRgb, 4> none{};
    const QSize small(16, 8);
    const QSize photo(64, 32);
    using P = PictureRefusal;
    static const QVector<Entry> all{
        // One-bit: index 0 is white in the colour table.
        {"bmp-1bit-bottomup.bmp", P::None, small, {K, W, W, K}},
        {"bmp-1bit-topdown.bmp", P::None, small, {K, W, W, K}},
        {"bmp-4bit-bottomup.bmp", P::None, small, quadrants},
        {"bmp-4bit-topdown.bmp", P::None, small, quadrants},
        {"bmp-8bit-bottomup.bmp", P::None, small, quadrants},
        {"bmp-8bit-topdown.bmp", P::None, small, quadrants},
        {"bmp-16bit-bottomup.bmp", P::None, small, quadrants},   // five bits a colour: 248 for full
        {"bmp-16bit-topdown.bmp", P::None, small, quadrants},
        {"bmp-24bit-bottomup.bmp", P::None, small, quadrants},
        {"bmp-24bit-topdown.bmp", P::None, small, quadrants},
        {"bmp-32bit-bottomup.bmp", P::None, small, quadrants},   // the unused fourth byte is 0: still opaque
        {"bmp-32bit-topdown.bmp", P::None, small, quadrants},
        {"bmp-rle8.bmp", P::None, small, quadrants},
        // Rows the run-length data never reaches take colour 0 (black), not stale memory.
        {"bmp-rle8-ends-early.bmp", P::None, small, {K, K, B, W}},
        {"bmp-24bit-truncated.bmp", P::Unreadable, QSize(), none},
        // At the size limit but without pixels: refused as cut short, before 256 MB are taken.
        {"bmp-header-8192x8192.bmp", P::Unreadable, QSize(), none},
        {"bmp-header-9000x10.bmp", P::TooLarge, QSize(9000, 10), none},
        {"png-grey.png", P::None, small, {K, 0xff555555, 0xffaaaaaa, W}},
        {"png-indexed.png", P::None, small, quadrants},
        {"png-16bit.png", P::None, small, quadrants},
        // Top right half transparent, bottom right fully.
        {"png-alpha.png", P::None, small, {R, 0x8000ff00, B, 0x00ffffff}},
        {"png-interlaced.png", P::None, small, quadrants},
        {"png-named.jpg", P::None, small, quadrants},
        {"png-1x1.png", P::None, QSize(1, 1), {R, R, R, R}},
        {"png-8192x1.png", P::None, QSize(8192, 1), {K, W, K, W}},
        {"png-1x8192.png", P::None, QSize(1, 8192), {K, K, W, W}},
        {"png-8193x1.png", P::TooLarge, QSize(8193, 1), none},
        {"png-truncated.png", P::Unreadable, QSize(), none},
        {"jpeg-baseline.jpg", P::None, photo, quadrants},
        {"jpeg-progressive.jpg", P::None, photo, quadrants},
        {"jpeg-grey.jpg", P::None, photo, {K, 0xff555555, 0xffaaaaaa, W}},
        // Stored 64 x 32 with orientation 6: upright it is 32 x 64, its stored top row on the right.
        {"jpeg-exif-rotated.jpg", P::None, QSize(32, 64), {B, R, W, G}},
        {"jpeg-named.bmp", P::None, photo, quadrants},
        {"jpeg-truncated.jpg", P::Unreadable, QSize(), none},
        {"gif.gif", P::None, small, quadrants},
        {"empty.png", P::Empty, QSize(), none},
        {"not-a-picture.png", P::NotAPicture, QSize(), none},
    };
    return all;
}

// The reason the user reads, as the editor words it.
inline QString expectedProblem(const Entry &entry)
{
    switch (entry.refusal) {
    case PictureRefusal::Empty: return QStringLiteral("图片文件是空的");
    case PictureRefusal::NotAPicture: return QStringLiteral("文件不是图片");
    case PictureRefusal::TooLarge:
        return QStringLiteral("图片 %1×%2 大于 8192×8192").arg(entry.size.width()).arg(entry.size.height());
    case PictureRefusal::Unreadable: return QStringLiteral("图片文件不完整或已损坏");
    default: return QString();
    }
}

// The four corners of a picture, in the order of Entry::corners.
inline std::array<QRgb, 4> cornersOf(const QImage &picture)
{
    const int right = picture.width() - 1;
    const int bottom = picture.height() - 1;
    return {picture.pixel(0, 0), picture.pixel(right, 0), picture.pixel(0, bottom), picture.pixel(right, bottom)};
}

// A colour as it shows over a white background.
inline QRgb overWhite(QRgb colour)
{
    const int a = qAlpha(colour);
    const auto mix = [a](int c) { return (c * a + 255 * (255 - a)) / 255; };
    return qRgb(mix(qRed(colour)), mix(qGreen(colour)), mix(qBlue(colour)));
}

// Close enough for JPEG and five-bit colours, far from any other corner
// colour. Compared as they cover the background: a fully transparent pixel has
// no colour to compare.
inline bool near(QRgb a, QRgb b)
{
    constexpr int Slack = 16;
    a = qPremultiply(a);
    b = qPremultiply(b);
    return qAbs(qRed(a) - qRed(b)) <= Slack && qAbs(qGreen(a) - qGreen(b)) <= Slack
           && qAbs(qBlue(a) - qBlue(b)) <= Slack && qAbs(qAlpha(a) - qAlpha(b)) <= Slack;
}

inline QString corners(const std::array<QRgb, 4> &c)
{
    return QStringLiteral("%1 %2 %3 %4").arg(c[0], 8, 16).arg(c[1], 8, 16).arg(c[2], 8, 16).arg(c[3], 8, 16);
}

// Whether picture shows the expected corners, over white when given.
inline bool showsCorners(const QImage &picture, std::array<QRgb, 4> expected, bool onWhite, QString *said)
{
    const std::array<QRgb, 4> got = cornersOf(picture.convertToFormat(QImage::Format_ARGB32));
    bool all = true;
    for (size_t i = 0; i < got.size(); ++i) {
        if (onWhite)
            expected[i] = overWhite(expected[i]);
        all = all && near(got[i], expected[i]);
    }
    *said = QStringLiteral("corners %1, expected %2").arg(corners(got), corners(expected));
    return all;
}

} // namespace picturecorpus
