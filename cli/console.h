#pragma once
// Where tesselctl talks to its user: standard output for what a command
// produces, standard error for messages, progress and questions, and standard
// input for the answers. Tests put a recording console in its place.

#include <QString>

#include <optional>

class Console
{
public:
    virtual ~Console() = default;

    virtual void out(const QString &text) = 0;
    virtual void err(const QString &text) = 0;
    // Whether a person watches standard error (progress bars make sense), and
    // whether one types at standard input (a question can be answered).
    virtual bool errIsTerminal() const = 0;
    virtual bool inIsTerminal() const = 0;
    // One line from standard input without its line end; empty at the end of input.
    virtual std::optional<QString> readLine() = 0;
};

// The process's own standard streams, UTF-8 encoded.
class StandardConsole : public Console
{
public:
    void out(const QString &text) override;
    void err(const QString &text) override;
    bool errIsTerminal() const override;
    bool inIsTerminal() const override;
    std::optional<QString> readLine() override;
};
