// The device thread against the emulated device, without a window.
//
// 1. Cost per report at no link latency: a 240 x 280 colour upload (3,736
//    reports) and the boot animation (13,336), run directly on this thread
//    and through a DeviceController (its lines counted by a receiver, as a
//    page would take them); median of three, µs per report.
// 2. The longest gap between two turns of this thread's event loop (a 5 ms
//    QTimer records them) while the emulated device is silent with real
//    time-outs: the device query at start (four items, 3 s each), a slot
//    query, a colour upload's acknowledgement wait (10 s), and a stalled
//    write (held 2 s). Through the controller, and the slot query also run
//    directly on this thread, as the window does today.
// 3. The colour upload with 1 ms per report, directly and through the
//    controller: its total against 1 ms x reports (per cent over), median of 3.
// 4. Idle: 10 s of this thread's event loop with a device attached and the
//    presence watch running (a listing a second), nothing else: processor
//    time of the whole process (every thread) as a per cent of one core. The
//    window's DeviceWatch on this thread against a DeviceController.
// Usage: bench_devicecontroller [--no-gaps] [--no-latency] [--no-idle]

#include "device/deviceactivity.h"
#include "control/devicecontroller.h"
#include "device/devicesession.h"
#include "device/devicewatch.h"
#include "device/jobsink.h"
#include "emulator/emulateddevice.h"
#include "images/slotquery.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>
#include <sys/resource.h>

using emu::EmulatedDevice;
using Exchange = EmulatedDevice::Exchange;

namespace {

EmulatedDevice &device()
{
    return EmulatedDevice::instance();
}

QImage gradient(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x * y) & 0xFF));
    return picture;
}

struct CountingSink : JobSink
{
    qint64 lines = 0;
    bool log(const QString &) override
    {
        ++lines;
        return true;
    }
};

// Runs until finished, returning the wall time in µs.
double throughController(DeviceController &controller, const std::function<bool(DeviceController &)> &start)
{
    qint64 lines = 0;
    bool done = false;
    QMetaObject::Connection a = QObject::connect(&controller, &DeviceController::logLine, [&] { ++lines; });
    QMetaObject::Connection b = QObject::connect(&controller, &DeviceController::finished, [&] { done = true; });
    QElapsedTimer timer;
    timer.start();
    start(controller);
    while (!done)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double us = timer.nsecsElapsed() / 1000.0;
    QObject::disconnect(a);
    QObject::disconnect(b);
    return us;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void perReport()
{
    std::printf("cost per report, no latency (median of 3):\n");
    struct Case
    {
        const char *name;
        PictureTarget target;
        QImage picture;
    };
    const std::vector<Case> cases{{"colour 240 x 280", {2, 240, 280, 0x54}, gradient(240, 280)},
                                  {"boot animation", {1, 240, 40, 0x54}, gradient(240, 40)}};
    for (const Case &c : cases) {
        std::vector<double> direct, threaded;
        int reports = 0;
        for (int round = 0; round < 3; ++round) {
            device().reset();
            {
                DeviceSession session;
                CountingSink sink;
                QElapsedTimer timer;
                timer.start();
                uploadPicture(session, sink, c.target, c.picture);
                direct.push_back(timer.nsecsElapsed() / 1000.0);
            }
            reports = device().count(Exchange::Write);
            device().reset();
            DeviceController controller;
            threaded.push_back(throughController(controller, [&](DeviceController &ctl) {
                return ctl.startPictureUpload(c.target, c.picture);
            }));
        }
        std::printf("  %-18s %5d reports   direct %.2f µs/report   controller %.2f µs/report\n", c.name, reports,
                    median(direct) / reports, median(threaded) / reports);
    }
}

// The longest time between two timeouts of a 5 ms timer, less the 5 ms.
class GapMeter
{
public:
    GapMeter()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            const qint64 now = clock.nsecsElapsed();
            if (last >= 0)
                longest = std::max(longest, now - last);
            last = now;
        });
        clock.start();
        timer.start(5);
    }
    double longestMs() const { return std::max<qint64>(longest - 5000000, 0) / 1e6; }

private:
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = -1;
    qint64 longest = 0;
};

void gaps()
{
    std::printf("longest gap between event-loop turns, device silent, real time-outs:\n");
    const auto silent = [] {
        device().reset();
        device().setTimeoutMode(EmulatedDevice::TimeoutMode::RealWait);
        for (quint8 item = 0x04; item <= 0x0D; ++item)
            device().setReplyFault(item, EmulatedDevice::ReplyFault::NoReply);
    };
    const auto measure = [&](const char *name, const std::function<bool(DeviceController &)> &start,
                             const std::function<void()> &arrange) {
        silent();
        arrange();
        DeviceController controller;
        GapMeter meter;
        const double us = throughController(controller, start);
        std::printf("  %-36s controller: longest gap %6.2f ms over %6.0f ms\n", name, meter.longestMs(), us / 1000);
    };
    measure("device query at start (4 items)", [](DeviceController &c) { return c.startDeviceQuery(); }, [] {});
    measure("slot query", [](DeviceController &c) { return c.startSlotQuery(2); }, [] {});
    measure("colour upload, acknowledgement wait",
            [](DeviceController &c) { return c.startPictureUpload({2, 64, 48, 0x54}, gradient(64, 48)); }, [] {});
    measure("stalled write, held 2 s", [](DeviceController &c) { return c.startSettingsWrite({}); }, [] {
        device().setReplyFault(0x08, EmulatedDevice::ReplyFault::None);
        device().stallCallAt(Exchange::Write, 0);
        QTimer::singleShot(2000, [] { device().releaseStall(); });
    });

    silent();
    GapMeter meter;
    QTimer::singleShot(20, [] {
        DeviceSession session;
        CountingSink sink;
        querySlot(session, sink, 2);
    });
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 3300)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    std::printf("  %-36s on this thread: longest gap %6.2f ms\n", "slot query", meter.longestMs());
}

// The colour upload with a link that takes 1 ms per report: what the program
// adds on top of the link's own time.
void withLatency()
{
    std::printf("colour 240 x 280 with 1 ms per report (median of 3):\n");
    const PictureTarget target{2, 240, 280, 0x54};
    const QImage picture = gradient(240, 280);
    constexpr int LatencyUs = 1000;
    std::vector<double> direct, threaded;
    int reports = 0;
    for (int round = 0; round < 3; ++round) {
        device().reset();
        device().setLatencyMicros(LatencyUs);
        {
            DeviceSession session;
            CountingSink sink;
            QElapsedTimer timer;
            timer.start();
            uploadPicture(session, sink, target, picture);
            direct.push_back(timer.nsecsElapsed() / 1000.0);
        }
        reports = device().count(Exchange::Write);
        device().reset();
        device().setLatencyMicros(LatencyUs);
        DeviceController controller;
        threaded.push_back(throughController(controller, [&](DeviceController &ctl) {
            return ctl.startPictureUpload(target, picture);
        }));
    }
    const double link = reports * double(LatencyUs);
    const auto over = [&](double us) { return 100.0 * (us / link - 1.0); };
    std::printf("  %5d reports, link alone %.0f ms\n", reports, link / 1000);
    std::printf("  direct       %8.1f ms  %+.2f %%\n", median(direct) / 1000, over(median(direct)));
    std::printf("  controller   %8.1f ms  %+.2f %%\n", median(threaded) / 1000, over(median(threaded)));
    device().setLatencyMicros(0);
}

// Processor time of the process (all its threads), in µs.
qint64 processorMicros()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000 + usage.ru_utime.tv_usec
           + usage.ru_stime.tv_usec;
}

// Turns this thread's event loop for ms and gives the processor time the
// process used meanwhile as a per cent of one core.
double idleLoad(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    QElapsedTimer wall;
    const qint64 before = processorMicros();
    wall.start();
    // Sleeps between events, as an application's loop does.
    loop.exec();
    return 100.0 * double(processorMicros() - before) / double(wall.nsecsElapsed() / 1000);
}

void idle()
{
    constexpr int IdleMs = 10000;
    std::printf("idle %d s, device attached, presence watch once a second:\n", IdleMs / 1000);
    {
        device().reset();
        DeviceActivity activity;
        DeviceWatch watch(activity);
        watch.start();
        const double load = idleLoad(IdleMs);
        std::printf("  DeviceWatch on this thread   %.3f %% of one core, %d listings\n", load,
                    device().count(Exchange::Enumerate));
    }
    {
        device().reset();
        DeviceController controller;
        controller.startPresenceWatch();
        const double load = idleLoad(IdleMs);
        std::printf("  DeviceController             %.3f %% of one core, %d listings, present %s\n", load,
                    device().count(Exchange::Enumerate), controller.isPresent() ? "yes" : "no");
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    perReport();
    if (!arguments.contains(QStringLiteral("--no-latency")))
        withLatency();
    if (!arguments.contains(QStringLiteral("--no-gaps")))
        gaps();
    if (!arguments.contains(QStringLiteral("--no-idle")))
        idle();
    device().reset();
    return 0;
}
