#pragma once
// print-udev-rule: the rule file the package installs, as built in.

class CommandContext;

int runPrintUdevRule(CommandContext &context);
