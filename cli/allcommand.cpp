#include "cli/allcommand.h"

#include "cli/benchreport.h"
#include "cli/console.h"
#include "cli/deviceaccess.h"
#include "cli/exitcodes.h"
#include "cli/interrupt.h"
#include "device/usbport.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QSet>
#include <QTimer>

namespace {

// How often a Ctrl+C is looked for while the devices work.
constexpr int InterruptPollMs = 50;

BenchDevice benchDevice(const AttachedDevice &attached, int order)
{
    return BenchDevice{attached.path, attached.serial.value_or(QString()), order};
}

// A device as watch tells one arrival from another: by the USB port it sits
// in where the system says, so that a unit restarting during its job (into
// its bootloader, back into its application) is the same unit on whatever
// path and with whatever serial number it comes back; elsewhere by its path
// and serial number.
QString unitKey(const QByteArray &path, const QString &serial)
{
    const QByteArray port = usbPortOf(path);
    if (!port.isEmpty())
        return QStringLiteral("port ") + QString::fromLocal8Bit(port);
    return QString::fromLocal8Bit(path) + QLatin1Char('\n') + serial;
}

} // namespace

int runOnAll(Console &console, const CliOptions &options, CommandFunction command)
{
    const QVector<AttachedDevice> attached = attachedDevices();
    if (attached.isEmpty()) {
        console.err(options.program + QStringLiteral(": no device attached (USB 0483:5750)\n"));
        return ExitNoDevice;
    }
    QElapsedTimer clock;
    clock.start();
    BenchReport report(console, options);
    QEventLoop loop;
    holdInterrupts();
    {
        BenchRunner runner(options, command);
        QObject::connect(&runner, &BenchRunner::deviceDone, &loop, [&](const DeviceRun &run) {
            report.add(run);
            if (runner.running() == 0)
                loop.quit();
        });
        for (int i = 0; i < attached.size(); ++i)
            runner.start(benchDevice(attached.at(i), i));
        loop.exec();
    }
    releaseInterrupts();
    return report.finish(double(clock.nsecsElapsed()) / 1e9);
}

int runWatch(Console &console, const CliOptions &options, CommandFunction command)
{
    QElapsedTimer clock;
    clock.start();
    BenchReport report(console, options);
    QEventLoop loop;
    holdInterrupts();
    if (!options.quiet)
        console.err(QStringLiteral("%1: waiting for devices (USB 0483:5750); Ctrl+C ends\n").arg(options.program));
    {
        BenchRunner runner(options, command);
        QSet<QString> served;   // done, and not seen leaving since
        QSet<QString> busy;
        QHash<QByteArray, QString> keyOfRun;   // by the path a run started on: its unit may move
        int started = 0;
        bool stopping = false;
        const auto stop = [&] {
            stopping = true;
            if (runner.running() == 0)
                loop.quit();
        };
        const auto look = [&] {
            if (stopping)
                return;
            const QVector<AttachedDevice> attached = attachedDevices();
            QSet<QString> listed;
            for (const AttachedDevice &device : attached)
                listed.insert(unitKey(device.path, device.serial.value_or(QString())));
            served.intersect(listed);   // the ones that left may be served again
            for (int i = 0; i < attached.size(); ++i) {
                const BenchDevice device = benchDevice(attached.at(i), i);
                const QString key = unitKey(device.path, device.serial);
                if (served.contains(key) || busy.contains(key))
                    continue;
                if (options.watchCount > 0 && started >= options.watchCount)
                    break;
                busy.insert(key);
                keyOfRun.insert(device.path, key);
                ++started;
                runner.start(device);
            }
        };
        QObject::connect(&runner, &BenchRunner::deviceDone, &loop, [&](const DeviceRun &run) {
            const QString key = keyOfRun.take(run.device.path);
            busy.remove(key);
            served.insert(key);
            report.add(run);
            if (options.watchCount > 0 && report.served() >= options.watchCount)
                stopping = true;
            if (stopping && runner.running() == 0)
                loop.quit();
        });
        QTimer looking;
        QObject::connect(&looking, &QTimer::timeout, &loop, look);
        looking.start(WatchLookMs);
        QTimer interrupts;
        QObject::connect(&interrupts, &QTimer::timeout, &loop, [&] {
            if (!stopping && interruptRequested())
                stop();
        });
        interrupts.start(InterruptPollMs);
        if (options.watchTimeout > 0)
            QTimer::singleShot(int(options.watchTimeout * 1000), &loop, stop);
        look();
        loop.exec();
    }
    releaseInterrupts();
    return report.finish(double(clock.nsecsElapsed()) / 1e9);
}
