#include "history/historywriter.h"

#include "history/historycsv.h"

#include <QMetaObject>

#include <future>

HistoryWriter::HistoryWriter(const QString &databasePath, QObject *receiver, std::function<void(const QString &)> say)
    : told(receiver), tell(std::move(say))
{
    thread = std::thread([this, databasePath] { run(databasePath); });
}

HistoryWriter::~HistoryWriter()
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        quit = true;
    }
    wake.notify_all();
    thread.join();
}

void HistoryWriter::post(Task task)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        tasks.push_back(std::move(task));
    }
    wake.notify_all();
}

void HistoryWriter::run(const QString &databasePath)
{
    // Made, used and closed on this thread, as its connection must be.
    ServiceHistory history(databasePath);
    for (;;) {
        Task task;
        {
            std::unique_lock<std::mutex> lock(mutex);
            wake.wait(lock, [this] { return quit || !tasks.empty(); });
            if (tasks.empty())
                return;   // quit, and nothing left to write
            task = std::move(tasks.front());
            tasks.pop_front();
        }
        task(history);
        const QString problem = history.takeProblem();
        if (!problem.isEmpty())
            report(problem);
    }
}

// Handed to the receiver's thread; dropped when the receiver has gone.
void HistoryWriter::report(const QString &text)
{
    const std::function<void(const QString &)> say = tell;
    QMetaObject::invokeMethod(told, [say, text] { say(text); }, Qt::QueuedConnection);
}

void HistoryWriter::begin(int job, const HistoryRow &row)
{
    post([this, job, row](ServiceHistory &history) {
        const qint64 id = history.begin(row);
        rowIds.insert(job, id);
        if (id > 0)
            report(QString());
    });
}

void HistoryWriter::complete(int job, const HistoryRow &row, const QString &csvFile)
{
    post([this, job, row, csvFile](ServiceHistory &history) {
        HistoryRow done = row;
        done.id = rowIds.value(job);
        if (history.complete(done))
            report(QString());
        if (!csvFile.isEmpty() && !appendHistoryCsv(csvFile, done))
            report(QStringLiteral("%1 could not be written").arg(csvFile));
    });
}

void HistoryWriter::setFirmwareAfter(int job, const QString &version)
{
    post([this, job, version](ServiceHistory &history) {
        if (history.setFirmwareAfter(rowIds.value(job), version))
            report(QString());
    });
}

void HistoryWriter::flush()
{
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> written = done->get_future();
    post([done](ServiceHistory &) { done->set_value(); });
    written.wait();
}
