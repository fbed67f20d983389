// The picture conversions behind ADD and DEVICE VIEW: fitting a large photo to
// a 240 x 280 slot (each fit), Floyd–Steinberg on the slot's picture, and the
// device view the editor rebuilds after every change (colour slot, one-bit
// slot, boot animation). Prints ms per run, the median of several.
// Usage: bench_pictureconversion [runs]   (default 9)

#include "images/dithering.h"
#include "images/picturefit.h"
#include "images/streampreview.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double medianMs(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QImage photo(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb((x * 255) / width, (y * 255) / height, (x ^ y) & 0xFF));
    return picture;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 9;
    const QImage large = photo(4000, 3000);
    const QSize slot(240, 280);
    const struct
    {
        const char *name;
        PictureFit fit;
    } fits[] = {{"stretch", PictureFit::Stretch}, {"contain", PictureFit::Contain}, {"cover", PictureFit::Cover}};
    for (const auto &f : fits)
        std::printf("fit 4000 x 3000 to 240 x 280, %-8s %8.2f ms\n", f.name,
                    medianMs(runs, [&] { fitPicture(large, slot, f.fit, Qt::white); }));
    const QImage picture = fitPicture(large, slot, PictureFit::Cover, Qt::white);
    std::printf("floyd-steinberg, 240 x 280          %8.2f ms\n",
                medianMs(runs, [&] { ditherForOneBit(picture, Dithering::FloydSteinberg); }));
    std::printf("device view, colour 240 x 280       %8.2f ms\n",
                medianMs(runs, [&] { colourStreamPreview(picture, 240, 280); }));
    std::printf("device view, one-bit 240 x 280      %8.2f ms\n",
                medianMs(runs, [&] { oneBitStreamPreview(ditherForOneBit(picture, Dithering::FloydSteinberg)); }));
    const QImage strip = fitPicture(large, QSize(240, 40), PictureFit::Cover, Qt::white);
    std::printf("device view, boot animation         %8.2f ms\n",
                medianMs(runs, [&] { bootAnimationPreview(strip); }));
    return 0;
}
