#include "app/toolkitstart.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <cstdio>
#include <cstdlib>

namespace {

struct HeldMessage
{
    QtMsgType type;
    QByteArray category;
    QByteArray file;
    QByteArray function;
    int line;
    QString text;
};

const char *programName = "";
QtMessageHandler previousHandler = nullptr;
QVector<HeldMessage> *held = nullptr;

QByteArray displayName()
{
    const QByteArray x11 = qgetenv("DISPLAY");
    return x11.isEmpty() ? qgetenv("WAYLAND_DISPLAY") : x11;
}

void holdBack(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type != QtFatalMsg) {
        held->append({type, context.category, context.file, context.function, context.line, text});
        return;
    }
    // Qt ends the program after a fatal message: the one line, then end it
    // without the core dump that would follow.
    const QByteArray display = displayName();
    if (display.isEmpty())
        std::fprintf(stderr, "%s: no display to show the window on (DISPLAY is not set)\n", programName);
    else
        std::fprintf(stderr, "%s: the window cannot be shown on display \"%s\"\n", programName,
                     display.constData());
    std::fflush(stderr);
    std::_Exit(1);
}

} // namespace

void watchToolkitStart(const char *program)
{
    programName = program;
    held = new QVector<HeldMessage>;
    previousHandler = qInstallMessageHandler(holdBack);
}

void toolkitStarted()
{
    if (!held)
        return;
    qInstallMessageHandler(previousHandler);
    for (const HeldMessage &message : *held) {
        const QMessageLogContext context(message.file.isEmpty() ? nullptr : message.file.constData(), message.line,
                                         message.function.isEmpty() ? nullptr : message.function.constData(),
                                         message.category.isEmpty() ? nullptr : message.category.constData());
        if (previousHandler)
            previousHandler(message.type, context, message.text);
        else
            qt_message_output(message.type, context, message.text);
    }
    delete held;
    held = nullptr;
}
