#pragma once
// The console of one device's command on a bench: what the command prints is
// kept, to be said in one piece when the device is done. Nobody watches it
// and nobody answers: no progress bars, and a question gets the end of input.

#include "cli/console.h"

class BufferedConsole : public Console
{
public:
    void out(const QString &text) override { outText += text; }
    void err(const QString &text) override { errText += text; }
    bool errIsTerminal() const override { return false; }
    bool inIsTerminal() const override { return false; }
    std::optional<QString> readLine() override { return std::nullopt; }

    QString outText;
    QString errText;
};
