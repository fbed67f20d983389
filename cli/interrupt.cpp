#include "cli/interrupt.h"

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> interrupted{false};
std::atomic<bool> held{false};

void noteInterrupt(int)
{
    interrupted.store(true);
}

} // namespace

void deferInterrupts()
{
    if (held.load())
        return;
    interrupted.store(false);
    std::signal(SIGINT, noteInterrupt);
}

void restoreInterrupts()
{
    if (held.load())
        return;
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

void holdInterrupts()
{
    interrupted.store(false);
    held.store(true);
    std::signal(SIGINT, noteInterrupt);
}

void releaseInterrupts()
{
    held.store(false);
    std::signal(SIGINT, SIG_DFL);
}

bool interruptsHeld()
{
    return held.load();
}
