#pragma once
// upgrade: a firmware file through the bootloader.

#include <QByteArray>
#include <QString>

class CommandContext;

int runUpgrade(CommandContext &context);

// The model header against the device's name field as one line: a match, or
// the first offset where they differ.
QString modelComparisonLine(const QByteArray &fileHeader, const QByteArray &deviceField);
