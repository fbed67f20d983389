#include "cli/benchrunner.h"

#include "cli/bufferedconsole.h"
#include "cli/commandcontext.h"

#include <QThread>

#include <algorithm>

struct BenchRunner::Task
{
    DeviceRun run;
    QThread *thread = nullptr;
};

namespace {

// A name for the unit's own folder (upgrade backups): its serial number, or
// its path when it has none, with anything a file name cannot hold replaced.
QString unitFolderName(const BenchDevice &device)
{
    QString name = device.serial.isEmpty() ? QString::fromLocal8Bit(device.path) : device.serial;
    for (QChar &c : name) {
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_'))
            c = QLatin1Char('_');
    }
    return name;
}

} // namespace

BenchRunner::BenchRunner(const CliOptions &options, CommandFunction command) : options(options), command(command)
{
}

BenchRunner::~BenchRunner()
{
    for (const auto &task : tasks) {
        task->thread->wait();
        delete task->thread;
    }
}

void BenchRunner::start(const BenchDevice &device)
{
    auto task = std::make_unique<Task>();
    task->run.device = device;
    CliOptions own = options;
    own.devicePath = device.path;
    own.unitFolder = unitFolderName(device);
    Task *const taken = task.get();
    const CommandFunction run = command;
    // The thread writes only its task's run; this thread reads it after the
    // thread has finished.
    taken->thread = QThread::create([taken, own, run] {
        QElapsedTimer clock;
        clock.start();
        BufferedConsole console;
        {
            CommandContext context(console, own);
            taken->run.code = run(context);
        }
        taken->run.seconds = double(clock.nsecsElapsed()) / 1e9;
        taken->run.out = console.outText;
        taken->run.err = console.errText;
    });
    taken->thread->setObjectName(QStringLiteral("bench"));
    connect(taken->thread, &QThread::finished, this, [this, taken] { taskEnded(taken); }, Qt::QueuedConnection);
    tasks.push_back(std::move(task));
    taken->thread->start();
}

void BenchRunner::taskEnded(Task *task)
{
    const auto found = std::find_if(tasks.begin(), tasks.end(), [task](const auto &t) { return t.get() == task; });
    if (found == tasks.end())
        return;
    std::unique_ptr<Task> ended = std::move(*found);
    tasks.erase(found);
    ended->thread->wait();
    delete ended->thread;
    emit deviceDone(ended->run);
}
