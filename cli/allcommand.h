#pragma once
// tesselctl --all COMMAND and tesselctl watch COMMAND: one command on many
// devices at once, each on its own DeviceController (cli/benchrunner.h).

#include "cli/benchrunner.h"

class Console;

// The command on every device attached now, all at once.
int runOnAll(Console &console, const CliOptions &options, CommandFunction command);

// The command on each device that arrives, listing the devices every
// WatchLookMs, until Ctrl+C, --count devices served or --timeout seconds. A
// device (its path and serial number) that was served is not served again
// until it has left and come back.
int runWatch(Console &console, const CliOptions &options, CommandFunction command);

constexpr int WatchLookMs = 1000;
