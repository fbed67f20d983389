#include "cli/interrupt.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> interrupted{false};

void noteInterrupt(int)
{
    interrupted.store(true);
}

} // namespace

void deferInterrupts()
{
    interrupted.store(false);
    std::signal(SIGINT, noteInterrupt);
}

void restoreInterrupts()
{
    std::signal(SIGINT, SIG_DFL);
}

bool interruptRequested()
{
    return interrupted.load();
}

void requestInterrupt()
{
    interrupted.store(true);
}
