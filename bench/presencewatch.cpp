// What the device watch costs while nothing happens: one look (hid_enumerate
// for 0483:5750 and freeing the list) through the system's hidapi, as the
// real program makes it once a second, in processor time; and what that comes
// to per minute. How many HID devices the system has changes the figure: the
// hidraw backend reads each one's entry in /sys.
// Usage: build/bin/bench_presencewatch [looks]

#include "device/devicelink.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>

#include <cstdio>
#include <ctime>

#include <hidapi.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int looks = argc > 1 ? qMax(1, atoi(argv[1])) : 2000;
    hid_init();
    isDeviceListed();   // the library's own first-call set-up is not part of a look

    QElapsedTimer wall;
    wall.start();
    const std::clock_t cpuStart = std::clock();
    int listed = 0;
    for (int i = 0; i < looks; ++i)
        listed += isDeviceListed() ? 1 : 0;
    const double cpuUs = double(std::clock() - cpuStart) * 1e6 / CLOCKS_PER_SEC / looks;
    const double wallUs = double(wall.nsecsElapsed()) / 1e3 / looks;

    const int hidDevices =
        int(QDir(QStringLiteral("/sys/class/hidraw")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
    std::printf("HID devices on this system: %d; the device listed in %d of %d looks\n", hidDevices, listed, looks);
    std::printf("one look: %.1f us processor time, %.1f us elapsed\n", cpuUs, wallUs);
    std::printf("idle cost at one look a second: %.2f ms processor time per minute (%.4f %% of one core)\n",
                cpuUs * 60 / 1e3, cpuUs / 1e4);
    hid_exit();
    return 0;
}
