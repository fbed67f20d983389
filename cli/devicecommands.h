#pragma once
// The reading commands: list, info, slots.

class CommandContext;

int runList(CommandContext &context);
int runInfo(CommandContext &context);
int runSlots(CommandContext &context);
