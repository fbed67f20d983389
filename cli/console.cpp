#include "cli/console.h"

#include <cstdio>
#include <string>

#include <unistd.h>

namespace {

void write(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

void StandardConsole::out(const QString &text)
{
    write(stdout, text);
}

void StandardConsole::err(const QString &text)
{
    write(stderr, text);
}

bool StandardConsole::errIsTerminal() const
{
    return isatty(STDERR_FILENO) == 1;
}

bool StandardConsole::inIsTerminal() const
{
    return isatty(STDIN_FILENO) == 1;
}

std::optional<QString> StandardConsole::readLine()
{
    std::string line;
    int c;
    while ((c = std::fgetc(stdin)) != EOF && c != '\n')
        line += char(c);
    if (c == EOF && line.empty())
        return std::nullopt;
    return QString::fromUtf8(line.data(), int(line.size())).trimmed();
}
