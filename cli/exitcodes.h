#pragma once
// What tesselctl's exit status tells a script.

enum ExitCode {
    ExitSuccess = 0,
    ExitUsage = 1,       // unknown command or option, a missing or bad argument, an upgrade not confirmed
    ExitNoDevice = 2,    // no device attached, or attached but not accessible
    ExitDeviceError = 3, // time-out, write failure, model mismatch, device gone mid-job
    ExitBadInput = 4,    // a file missing, unreadable or invalid; curve values that are not ten whole watts
    ExitInterrupted = 130, // Ctrl+C during the firmware write stage or a reading job or picture upload
};
