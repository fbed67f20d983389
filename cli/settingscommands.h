#pragma once
// The commands that read and write the device's output settings: the power
// curves, the working-mode table, and whole profile files.

#include "settings/powercurves.h"

#include <QString>

class CommandContext;

int runCurveRead(CommandContext &context);
int runCurveWrite(CommandContext &context);
int runSettingsWrite(CommandContext &context);
int runProfileApply(CommandContext &context);

// "M1".."M5" (any case) as 0..4; -1 for anything else.
int curveIndex(const QString &name);

// "P0,P1,...,P9": exactly ten whole numbers 0-65535. False, with the reason
// in problem, for anything else.
bool parseCurvePoints(const QString &text, CurvePointsRow &points, QString &problem);
