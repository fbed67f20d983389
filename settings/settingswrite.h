#pragma once
// Writing the working-mode table: settings blocks 1 and 2, unanswered.

#include "settings/settingsblocks.h"

class DeviceSession;
class JobSink;

// Opens the device (its answer is shown as reachability), sends both blocks
// and closes it. False when the device could not be opened, or when a block
// did not go out whole (logged; the other block is sent all the same).
bool writeSettings(DeviceSession &session, JobSink &sink, const SettingsValues &values);
