#include "cli/commandcontext.h"

#include "cli/console.h"
#include "cli/deviceaccess.h"
#include "cli/exitcodes.h"

CommandContext::CommandContext(Console &console, const CliOptions &options)
    : console(console), options(options), sink(console, options, session)
{
    session.setDevicePath(options.devicePath);
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

void CommandContext::note(const QString &line)
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

bool CommandContext::openDevice(int &code)
{
    if (session.open())
        return true;
    code = fail(ExitNoDevice, unreachableDeviceText(options.devicePath, options.program));
    return false;
}

QString CommandContext::lastDeviceLine() const
{
    return sink.lines.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(sink.lines.last());
}
