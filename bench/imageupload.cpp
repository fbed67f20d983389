// Picture upload against the emulated device, with the main window and its
// log pane as in the program: a 240 x 280 colour picture (3,736 reports) and
// the boot animation (13,336 reports), first with no link latency, then with
// 1 ms per report. Prints total time, time per report, the 99th percentile of
// the gaps between data reports and peak memory; then 40 boot animations in
// one run, with the peak memory and the last upload's cost against the first.
// Usage: bench_imageupload [latency-us ...]   (default: 0 1000; it works in a
// scratch directory of its own)

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "images/editdlg.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>
#include <sys/resource.h>

using emu::EmulatedDevice;

namespace {

QPixmap gradient(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x * y) & 0xFF));
    return QPixmap::fromImage(picture);
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The 99th percentile of the time between one data report's write and the next.
double p99GapMicros()
{
    std::vector<qint64> gaps;
    qint64 previous = -1;
    for (const auto &e : EmulatedDevice::instance().record()) {
        if (e.kind != EmulatedDevice::Exchange::Write)
            continue;
        if (previous >= 0)
            gaps.push_back(e.atMicros - previous);
        previous = e.atMicros;
    }
    if (gaps.empty())
        return 0;
    std::sort(gaps.begin(), gaps.end());
    return double(gaps[gaps.size() * 99 / 100]);
}

// Microseconds per report of one upload.
double run(MainWindow &window, const char *what, int slot, const QSize &size, int latencyMicros, bool quiet = false)
{
    auto &device = EmulatedDevice::instance();
    device.reset();
    device.setLatencyMicros(latencyMicros);
    window.openSlotEditor(slot, QString());
    auto *editor = qobject_cast<editDlg *>(openImageEditor.data());
    if (!editor) {
        std::printf("%s: no editor opened\n", what);
        return 0;
    }
    editor->setPicture(gradient(size.width(), size.height()));
    // The editor is on screen before anyone can press its UPLOAD.
    QCoreApplication::processEvents();
    device.clearRecord();

    QElapsedTimer timer;
    timer.start();
    editor->uploadImage();
    const qint64 nanos = timer.nsecsElapsed();

    const int reports = device.count(EmulatedDevice::Exchange::Write);
    const double ms = nanos / 1e6;
    const double perReport = reports ? nanos / 1e3 / reports : 0.0;
    editor->close();
    if (quiet)
        return perReport;
    std::printf("%-22s latency %4d us: %6d reports, %9.1f ms, %7.2f us/report, p99 gap %6.1f us", what,
                latencyMicros, reports, ms, perReport, p99GapMicros());
    if (latencyMicros > 0 && reports > 0)
        std::printf(", %+.2f %% against %d ms", 100.0 * (ms / (reports * latencyMicros / 1000.0) - 1.0),
                    reports * latencyMicros / 1000);
    std::printf(", peak memory %ld KiB\n", peakKilobytes());
    return perReport;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Uploads write slot pictures into imageformats/; keep them out of the
    // folder beside the programs.
    QTemporaryDir scratch;
    if (!scratch.isValid() || !QDir().mkpath(scratch.filePath("imageformats"))
        || !QDir::setCurrent(scratch.path())) {
        std::fprintf(stderr, "no scratch directory\n");
        return 1;
    }
    EmulatedDevice::instance().reset();
    MainWindow window;
    window.show();
    QCoreApplication::processEvents();

    QList<int> latencies{0, 1000};
    if (argc > 1) {
        latencies.clear();
        for (int i = 1; i < argc; ++i)
            latencies << QByteArray(argv[i]).toInt();
    }
    for (int latency : latencies) {
        run(window, "colour 240x280 slot 4", 4, QSize(240, 280), latency);
        run(window, "boot animation slot 1", 1, QSize(240, 40), latency);
    }
    // A service bench uploading all day: forty boot animations in one run.
    constexpr int Uploads = 40;
    double first = 0;
    double last = 0;
    for (int i = 0; i < Uploads; ++i) {
        last = run(window, "boot animation", 1, QSize(240, 40), 0, true);
        if (i == 0)
            first = last;
    }
    std::printf("%d boot animations in one run: first %.2f us/report, last %.2f us/report (x%.2f), peak memory %ld KiB\n",
                Uploads, first, last, first > 0 ? last / first : 0.0, peakKilobytes());
    window.close();
    return 0;
}
