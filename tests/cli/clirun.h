#pragma once
// Runs tesselctl in the test's own process, against the emulated device, with
// a console that records what the tool prints and answers its questions.

#include "cli/console.h"
#include "cli/tesselctl.h"

#include <QStringList>

#include <optional>

namespace clitest {

class RecordingConsole : public Console
{
public:
    void out(const QString &text) override { stdoutText += text; }
    void err(const QString &text) override { stderrText += text; }
    bool errIsTerminal() const override { return errTerminal; }
    bool inIsTerminal() const override { return inTerminal; }
    std::optional<QString> readLine() override
    {
        ++questions;
        if (answers.isEmpty())
            return std::nullopt;   // end of input
        return answers.takeFirst();
    }

    QString stdoutText;
    QString stderrText;
    bool errTerminal = false;
    bool inTerminal = false;
    QStringList answers;
    int questions = 0;
};

struct CliRun
{
    int code = -1;
    QString out;
    QString err;
    int questions = 0;

    // Lines on standard error, without empty ones.
    QStringList errLines() const { return err.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

inline CliRun runCli(const QStringList &arguments, RecordingConsole console = RecordingConsole())
{
    CliRun run;
    run.code = runTesselctl(QStringLiteral("tesselctl"), arguments, console);
    run.out = console.stdoutText;
    run.err = console.stderrText;
    run.questions = console.questions;
    return run;
}

} // namespace clitest
