// tesselctl against the emulated device with no link latency:
//  1. whole runs of the tesselctl-emulated program, as a script sees them
//     (start, the command, exit), median of several;
//  2. the same commands run in this process, without the program's start.
// upload sends a 240 x 280 picture to slot 4; upgrade writes a 256 KiB file,
// which includes the fixed 1000 ms the device gets to restart as its bootloader.
// Usage: build/bin/bench_tesselctl   (run from build/bin)

#include "cli/console.h"
#include "cli/tesselctl.h"
#include "emulator/emulateddevice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int FirmwareSize = 256 * 1024;

class SilentConsole : public Console
{
public:
    void out(const QString &) override {}
    void err(const QString &) override {}
    bool errIsTerminal() const override { return false; }
    bool inIsTerminal() const override { return false; }
    std::optional<QString> readLine() override { return std::nullopt; }
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double timeRuns(int runs, const std::function<bool()> &run)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!run()) {
            std::fprintf(stderr, "run failed\n");
            return -1;
        }
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return median(times);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString picture = dir.filePath("picture.png");
    QImage image(240, 280, QImage::Format_RGB32);
    for (int y = 0; y < 280; ++y)
        for (int x = 0; x < 240; ++x)
            image.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF));
    image.save(picture);
    const QString firmware = dir.filePath("firmware.bin");
    QByteArray bytes = QByteArray("VELTRA-MINI").leftJustified(48, '\0');
    for (int i = 48; i < FirmwareSize; ++i)
        bytes += char(i * 31);
    QFile file(firmware);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    file.close();

    const QString program = QCoreApplication::applicationDirPath() + "/tesselctl-emulated";
    const auto process = [&](const QStringList &arguments) {
        return [=] { return QProcess::execute(program, arguments) == 0; };
    };
    const auto inProcess = [](const QStringList &arguments) {
        return [=] {
            emu::EmulatedDevice::instance().reset();
            SilentConsole console;
            return runTesselctl("tesselctl", arguments, console) == 0;
        };
    };
    const QStringList upload{"upload", "--slot", "4", "--quiet", picture};
    const QStringList upgrade{"upgrade", "--yes", "--quiet", firmware};

    std::printf("tesselctl-emulated, no latency, median wall time\n");
    std::printf("  upload 240 x 280 to slot 4:  program %8.1f ms   in process %8.1f ms\n",
                timeRuns(9, process(upload)), timeRuns(9, inProcess(upload)));
    std::printf("  upgrade 256 KiB:             program %8.1f ms   in process %8.1f ms  (1000 ms of it the settle)\n",
                timeRuns(3, process(upgrade)), timeRuns(3, inProcess(upgrade)));
    return 0;
}
