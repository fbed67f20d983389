#include "cli/terminalsink.h"

#include "cli/clioptions.h"
#include "cli/console.h"

namespace {

ProgressLine::Style progressStyle(const Console &console, const CliOptions &options)
{
    if (options.quiet)
        return ProgressLine::Style::Off;
    if (console.errIsTerminal())
        return ProgressLine::Style::Bar;
    return options.verbose ? ProgressLine::Style::Steps : ProgressLine::Style::Off;
}

} // namespace

TerminalSink::TerminalSink(Console &console, const CliOptions &options)
    : console(console), verbose(options.verbose), progressLine(console, progressStyle(console, options))
{
}

bool TerminalSink::log(const QString &text)
{
    lines << text;
    if (verbose) {
        progressLine.makeRoom();
        console.err(text + QLatin1Char('\n'));
    }
    return true;
}

void TerminalSink::progress(qint64 value, qint64 maximum)
{
    progressLine.show(value, maximum, reportsWritten);
}
