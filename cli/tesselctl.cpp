#include "cli/tesselctl.h"

#include "cli/allcommand.h"
#include "cli/commandcontext.h"
#include "cli/commandline.h"
#include "cli/console.h"
#include "cli/devicecommands.h"
#include "cli/exitcodes.h"
#include "cli/historycommand.h"
#include "cli/settingscommands.h"
#include "cli/udevrule.h"
#include "cli/upgradecommand.h"
#include "cli/uploadcommand.h"

namespace {

using Command = int (*)(CommandContext &);

Command commandFor(const QString &name)
{
    const std::pair<const char *, Command> table[] = {
        {"list", runList},
        {"info", runInfo},
        {"slots", runSlots},
        {"upload", runUpload},
        {"upgrade", runUpgrade},
        {"curve read", runCurveRead},
        {"curve write", runCurveWrite},
        {"settings write", runSettingsWrite},
        {"profile apply", runProfileApply},
        {"history", runHistory},
        {"print-udev-rule", runPrintUdevRule},
    };
    for (const auto &entry : table) {
        if (name == QLatin1String(entry.first))
            return entry.second;
    }
    return nullptr;
}

} // namespace

int runTesselctl(const QString &program, const QStringList &arguments, Console &console)
{
    const ParsedCommandLine parsed = parseCommandLine(program, arguments);
    switch (parsed.outcome) {
    case ParseOutcome::Help:
    case ParseOutcome::Version:
        console.out(parsed.text);
        return ExitSuccess;
    case ParseOutcome::UsageError:
        console.err(parsed.text + QLatin1Char('\n'));
        return ExitUsage;
    case ParseOutcome::Run:
        break;
    }
    const Command command = commandFor(parsed.options.command);
    if (!command) {
        console.err(QStringLiteral("%1: unknown command '%2'\n").arg(program, parsed.options.command));
        return ExitUsage;
    }
    if (parsed.options.all)
        return runOnAll(console, parsed.options, command);
    if (parsed.options.watch)
        return runWatch(console, parsed.options, command);
    CommandContext context(console, parsed.options);
    return command(context);
}
