// Firmware upgrade of a 256 KiB file against the emulated device, the window
// shown on its Upgrade page.
//  1. No link latency: the program's own cost per chunk (everything but the
//     fixed 1000 ms settle after the erase and the openDevice pauses).
//  2. 1 ms per report, as a full-speed HID endpoint: the total against the
//     ideal of 1 ms x reports + the fixed waits.
// Usage: build/bin/bench_firmwareupgrade   (run from build/bin; offscreen by default)

#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "firmware/firmwarefilechooser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>

#include <cstdio>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;

namespace {

constexpr int FileSize = 256 * 1024;
constexpr double SettleMs = 1000.0;
constexpr double OpenPauseMs = 100.0;

struct Run
{
    double totalMs = 0;
    int reports = 0;
    int chunks = 0;
    int failedOpens = 0;
    double writeStageUs = 0;   // first chunk to jump, from the device's record
    bool complete = false;
};

Run upgrade(MainWindow &window, int latencyUs)
{
    auto &device = EmulatedDevice::instance();
    device.reset();
    device.setLatencyMicros(latencyUs);
    device.clearRecord();
    auto *start = window.findChild<QPushButton *>(QStringLiteral("pushButton"));

    QElapsedTimer timer;
    timer.start();
    start->click();
    Run run;
    run.totalMs = double(timer.nsecsElapsed()) / 1e6;

    qint64 firstChunkAt = -1;
    qint64 jumpAt = -1;
    for (const Exchange &e : device.record()) {
        if (e.kind == Exchange::Open && e.result != 0)
            ++run.failedOpens;
        if (e.kind != Exchange::Write)
            continue;
        ++run.reports;
        const quint8 code = quint8(e.bytes.at(1));
        if (code == 0x01) {
            ++run.chunks;
            if (firstChunkAt < 0)
                firstChunkAt = e.atMicros;
        }
        if (code == 0x02)
            jumpAt = e.atMicros;
    }
    run.writeStageUs = double(jumpAt - firstChunkAt);
    run.complete = jumpAt >= 0;
    return run;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("firmware.bin"));
    {
        QByteArray bytes = EmulatedDevice::instance().profile().name.leftJustified(48, '\0', true);
        for (int i = 48; i < FileSize; ++i)
            bytes += char((i * 131 + 7) & 0xFF);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }

    MainWindow window;
    window.show();
    window.findChild<QStackedWidget *>(QStringLiteral("stackedWidget"))->setCurrentIndex(1);
    setFirmwareFileChooser([path](QWidget *) { return path; });
    window.findChild<QPushButton *>(QStringLiteral("openFirmwareFilePushButton"))->click();

    const Run fast = upgrade(window, 0);
    const double fixedFast = SettleMs + fast.failedOpens * OpenPauseMs;
    std::printf("file %d bytes: %d chunks, %d reports, upgrade %s\n", FileSize, fast.chunks, fast.reports,
                fast.complete ? "complete" : "FAILED");
    std::printf("no latency:  total %.1f ms, outside the fixed %.0f ms: %.1f ms = %.2f us per chunk"
                " (write stage alone %.2f us per chunk)\n",
                fast.totalMs, fixedFast, fast.totalMs - fixedFast,
                (fast.totalMs - fixedFast) * 1000.0 / fast.chunks, fast.writeStageUs / fast.chunks);

    const Run slow = upgrade(window, 1000);
    const double ideal = slow.reports * 1.0 + SettleMs + slow.failedOpens * OpenPauseMs;
    std::printf("1 ms/report: total %.1f ms, ideal %.1f ms (%d reports + fixed waits): %+.2f %%\n",
                slow.totalMs, ideal, slow.reports, (slow.totalMs - ideal) * 100.0 / ideal);
    return fast.complete && slow.complete ? 0 : 1;
}
