#include "cli/commandcontext.h"

#include "cli/console.h"
#include "cli/deviceaccess.h"
#include "cli/exitcodes.h"
#include "device/devicesession.h"

CommandContext::CommandContext(Console &console, const CliOptions &options)
    : console(console), options(options), sink(console, options), device(sink)
{
    device.setDevicePath(options.devicePath);
    device.keepHistory(options.recordFile, [this](const QString &line) { remark(line); });
}

void CommandContext::print(const QString &text)
{
    sink.makeRoom();
    console.out(text);
}

void CommandContext::report(const QString &line)
{
    if (options.quiet)
        return;
    sink.endProgress();
    console.out(line + QLatin1Char('\n'));
}

void CommandContext::remark(const QString &line)
{
    if (options.quiet)
        return;
    sink.makeRoom();
    console.err(line + QLatin1Char('\n'));
}

int CommandContext::fail(int code, const QString &line)
{
    sink.endProgress();
    console.err(options.program + QStringLiteral(": ") + line + QLatin1Char('\n'));
    return code;
}

bool CommandContext::openDevice(int &code, DeviceJob kind)
{
    const QByteArray path = options.devicePath;
    const QString program = options.program;
    // Why an open failed is asked of the system on the device thread too, at once.
    device.skipHistoryOfNextJob();
    const JobOutcome opened = device.run(kind, [path, program](JobContext &job) {
        job.session.setDevicePath(path);
        if (job.session.open())
            return JobResult{true, QVariant()};
        return JobResult{false, unreachableDeviceText(path, program)};
    }, false);
    if (opened.success)
        return true;
    code = opened.interrupted ? interrupted(QStringLiteral("nothing more was sent"))
                              : fail(ExitNoDevice, opened.result.toString());
    return false;
}

int CommandContext::interrupted(const QString &consequence)
{
    return fail(ExitInterrupted, QStringLiteral("interrupted; %1").arg(consequence));
}

QString CommandContext::lastDeviceLine() const
{
    return sink.lines.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(sink.lines.last());
}
