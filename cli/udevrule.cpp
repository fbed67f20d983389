#include "cli/udevrule.h"

#include "cli/commandcontext.h"
#include "cli/exitcodes.h"
#include "udevruletext.h"

int runPrintUdevRule(CommandContext &context)
{
    context.print(QString::fromUtf8(UdevRuleText));
    return ExitSuccess;
}
