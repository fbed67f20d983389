// Picture upload against the emulated device, with the main window and its
// log pane as in the program: a 240 x 280 colour picture (3,736 reports) and
// the boot animation (13,336 reports), first with no link latency, then with
// 1 ms per report, seven times each (three with the latency). Prints the
// median's total time, time per report (and the range over the rounds), where
// the median's time went (UPLOAD's own call, up to the first report, the
// reports, after the last one), the 99th percentile of the gaps
// between data reports and peak memory; then 40 boot animations in one run,
// with the peak memory and the last upload's cost against the first.
// Usage: bench_imageupload [latency-us ...]   (default: 0 1000; it works in a
// scratch directory of its own)

#include "app/dialogpointers.h"
#include "app/mainwindow.h"
#include "app/memoryreuse.h"
#include "emulator/emulateddevice.h"
#include "editors/editdlg.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
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

// Processor time of the whole program (every thread) so far, in microseconds:
// on a machine shared with other work the wall time moves with their load,
// the processor time much less.
qint64 processorMicros()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (qint64(usage.ru_utime.tv_sec) + usage.ru_stime.tv_sec) * 1000000 + usage.ru_utime.tv_usec
           + usage.ru_stime.tv_usec;
}

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Lets the event loop run until the device thread has finished its job and
// the window has heard its end. The window's thread sleeps between events as
// in the program: processEvents() with a time limit drops WaitForMoreEvents
// and would spin, taking a core from the device thread.
void waitForDevice(MainWindow &window)
{
    while (window.controller().isBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
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

struct Upload
{
    int reports = 0;
    double ms = 0;
    double perReport = 0;   // us
    double processorPerReport = 0; // us, every thread
    double p99Gap = 0;      // us
    // ms: UPLOAD's own call; from the click to the first report written; from
    // the first report to the last; from the last report to the window
    // hearing the end.
    double clickMs = 0;
    double toFirstMs = 0;
    double streamMs = 0;
    double afterLastMs = 0;
};

double micros(std::chrono::steady_clock::duration d)
{
    return double(std::chrono::duration_cast<std::chrono::nanoseconds>(d).count()) / 1e3;
}

// One upload of a picture of size to slot, timed from UPLOAD to its return.
Upload run(MainWindow &window, const char *what, int slot, const QSize &size, int latencyMicros)
{
    auto &device = EmulatedDevice::instance();
    device.reset();
    const auto epoch = std::chrono::steady_clock::now();
    device.setLatencyMicros(latencyMicros);
    window.openSlotEditor(slot, QString());
    waitForDevice(window);
    auto *editor = qobject_cast<editDlg *>(openImageEditor.data());
    if (!editor) {
        std::printf("%s: no editor opened\n", what);
        return {};
    }
    editor->setPicture(gradient(size.width(), size.height()));
    // The editor is on screen before anyone can press its UPLOAD.
    QCoreApplication::processEvents();
    device.clearRecord();

    QElapsedTimer timer;
    const qint64 processorBefore = processorMicros();
    timer.start();
    const double clickAt = micros(std::chrono::steady_clock::now() - epoch);
    editor->uploadImage();
    const qint64 clickNanos = timer.nsecsElapsed();
    waitForDevice(window);
    const qint64 nanos = timer.nsecsElapsed();
    const qint64 processor = processorMicros() - processorBefore;

    Upload upload;
    upload.reports = device.count(EmulatedDevice::Exchange::Write);
    upload.ms = nanos / 1e6;
    upload.perReport = upload.reports ? nanos / 1e3 / upload.reports : 0.0;
    upload.processorPerReport = upload.reports ? double(processor) / upload.reports : 0.0;
    upload.p99Gap = p99GapMicros();
    // Where the time went: the device's record stamps each write since its
    // reset, which was taken as the epoch here.
    qint64 firstWrite = -1;
    qint64 lastWrite = -1;
    for (const auto &e : device.record()) {
        if (e.kind != EmulatedDevice::Exchange::Write)
            continue;
        if (firstWrite < 0)
            firstWrite = e.atMicros;
        lastWrite = e.atMicros;
    }
    upload.clickMs = clickNanos / 1e6;
    upload.toFirstMs = (firstWrite - clickAt) / 1e3;
    upload.streamMs = (lastWrite - firstWrite) / 1e3;
    upload.afterLastMs = upload.ms - (lastWrite - clickAt) / 1e3;
    editor->close();
    return upload;
}

// The median of several uploads (by time), with the range of the time per
// report: a shared machine's scheduling moves single runs by a few per cent,
// and the first round of each kind pays for warming up. With a link latency
// an upload takes seconds and moves less.
int rounds(int latencyMicros)
{
    return latencyMicros > 0 ? 3 : 7;
}

void report(const char *what, int latencyMicros, std::vector<Upload> uploads)
{
    std::sort(uploads.begin(), uploads.end(), [](const Upload &a, const Upload &b) { return a.ms < b.ms; });
    const Upload &median = uploads[uploads.size() / 2];
    std::vector<double> processor;
    for (const Upload &u : uploads)
        processor.push_back(u.processorPerReport);
    std::sort(processor.begin(), processor.end());
    std::printf("%-22s latency %4d us: %6d reports, %9.1f ms, %7.2f us/report (%.2f-%.2f), processor %.2f us/report "
                "(%.2f-%.2f), p99 gap %6.1f us",
                what, latencyMicros, median.reports, median.ms, median.perReport, uploads.front().perReport,
                uploads.back().perReport, processor[processor.size() / 2], processor.front(), processor.back(),
                median.p99Gap);
    if (latencyMicros > 0 && median.reports > 0) {
        const auto over = [&](const Upload &u) { return 100.0 * (u.ms / (u.reports * latencyMicros / 1000.0) - 1.0); };
        std::printf(", %+.2f %% (%+.2f to %+.2f) against %d ms", over(median), over(uploads.front()),
                    over(uploads.back()), median.reports * latencyMicros / 1000);
    }
    std::printf(", peak memory %ld KiB\n", peakKilobytes());
    std::printf("%-22s   the median's time: UPLOAD's call %.2f ms, to the first report %.2f ms, the reports %.2f ms, "
                "after the last %.2f ms\n",
                "", median.clickMs, median.toFirstMs, median.streamMs, median.afterLastMs);
}

} // namespace

int main(int argc, char *argv[])
{
    keepFreedMemoryForReuse();   // as the program does
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
        std::vector<Upload> colour, boot;
        for (int round = 0; round < rounds(latency); ++round) {
            colour.push_back(run(window, "colour", 4, QSize(240, 280), latency));
            boot.push_back(run(window, "boot", 1, QSize(240, 40), latency));
        }
        report("colour 240x280 slot 4", latency, colour);
        report("boot animation slot 1", latency, boot);
    }
    // A service bench uploading all day: forty boot animations in one run.
    constexpr int Uploads = 40;
    double first = 0;
    double last = 0;
    for (int i = 0; i < Uploads; ++i) {
        last = run(window, "boot animation", 1, QSize(240, 40), 0).perReport;
        if (i == 0)
            first = last;
    }
    std::printf("%d boot animations in one run: first %.2f us/report, last %.2f us/report (x%.2f), peak memory %ld KiB\n",
                Uploads, first, last, first > 0 ? last / first : 0.0, peakKilobytes());
    window.close();
    return 0;
}
