#pragma once
// upload: a picture file to an image slot.

class CommandContext;

int runUpload(CommandContext &context);
