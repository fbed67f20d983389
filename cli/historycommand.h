#pragma once
// tesselctl history: the service history of every unit, or of one.

class CommandContext;

int runHistory(CommandContext &context);
