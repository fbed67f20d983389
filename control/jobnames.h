#pragma once
// The two names of each kind of device job, kept beside the kinds so that a
// new job is named where it is declared: what the window tells the user it is
// busy with, and the fixed English word of the service history's rows.

#include "control/devicejob.h"

#include <QString>

// Translated, for the held buttons' "busy with" tool tip.
QString jobTitle(DeviceJob kind);
// Not translated: a history row's job column, which scripts read.
QString jobHistoryName(DeviceJob kind);
