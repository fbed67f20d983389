#pragma once
// How a device job waits. The window keeps handling events while it waits
// (repaints, clicks, the close button); a program without a window just sleeps.

class Waiter
{
public:
    virtual ~Waiter() = default;
    // Lets milliseconds pass.
    virtual void waitMs(unsigned int milliseconds) = 0;
    // A chance for pending events between two reports of a long transfer.
    virtual void processEvents() = 0;
};

// Waits while the application keeps handling events.
class EventLoopWaiter : public Waiter
{
public:
    void waitMs(unsigned int milliseconds) override;
    void processEvents() override;
};

// Waits by sleeping; nothing else runs meanwhile.
class SleepWaiter : public Waiter
{
public:
    void waitMs(unsigned int milliseconds) override;
    void processEvents() override {}
};

// The one event-handling waiter of the program.
Waiter &eventLoopWaiter();
