#pragma once
// Test-side helpers for the image tests: a scratch working directory, a
// sink that records what an encoder hands over, and decoders that rebuild
// pictures from the reports the emulated device received.

#include "app/dialogpointers.h"
#include "images/editdlg.h"
#include "images/imagereportsink.h"

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QVector>

namespace imagetest {

// Slot files land in a fresh working directory with an empty imageformats/;
// the editors a test opened are deleted when it ends.
class ScratchDirectory
{
public:
    ScratchDirectory() : programDir(QDir::currentPath()) {}
    void enter(const QStringList &keptIcons = {})
    {
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path() + "/imageformats");
        for (const QString &icon : keptIcons)
            QFile::copy(programDir + "/imageformats/" + icon, dir.path() + "/imageformats/" + icon);
        QDir::setCurrent(dir.path());
    }
    void leave()
    {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<editDlg *>(w))
                delete w;
        }
        openImageEditor = nullptr;
        QDir::setCurrent(programDir);
    }
    QString path() const { return dir.path(); }

private:
    QTemporaryDir dir;
    QString programDir;
};

// Every pixel different enough to show a misplaced byte.
inline QImage pattern(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb((x * 5) & 0xFF, (y * 3) & 0xFF, (x ^ y) & 0xFF));
    return picture;
}

struct RecordingSink : ImageReportSink
{
    QVector<int> counters;
    QVector<ApplicationBlock> data;
    QVector<ApplicationBlock> ends;
    QVector<int> progressValues;
    int failAtData = -1;   // dataReport number that fails, -1 for none

    bool dataReport(int counter, const ApplicationBlock &block) override
    {
        counters << counter;
        data << block;
        return data.size() - 1 != failAtData;
    }
    bool endReport(const ApplicationBlock &block) override
    {
        ends << block;
        return true;
    }
    void progress(int value) override { progressValues << value; }
};

inline QByteArray bytesOf(const ApplicationBlock &block, int from, int n)
{
    return QByteArray(reinterpret_cast<const char *>(block.data()) + from, n);
}

// The 54 data bytes of every data report (phase 2) followed by the end
// report's, from whole 64-byte reports as the device received them.
inline QByteArray dataStream(const QVector<QByteArray> &reports)
{
    QByteArray stream;
    for (const QByteArray &r : reports) {
        if (r.size() >= 61 && (quint8(r[6]) == 0x02 || quint8(r[6]) == 0x03))
            stream += r.mid(7, 54);
    }
    return stream;
}

// Colour picture from a blue-green-red stream.
inline QImage decodeColour(const QByteArray &stream, int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int k = 0; k < width * height; ++k) {
        const int at = 3 * k;
        picture.setPixel(k % width, k / width,
                         qRgb(quint8(stream.at(at + 2)), quint8(stream.at(at + 1)), quint8(stream.at(at))));
    }
    return picture;
}

// One-bit picture (white = set bit) from 8-row column bytes.
inline QImage decodeMono(const QByteArray &stream, int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const quint8 column = quint8(stream.at((y / 8) * width + x));
            picture.setPixel(x, y, (column >> (y % 8)) & 1 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
        }
    return picture;
}

} // namespace imagetest
