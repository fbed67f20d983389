#include "history/historywriter.h"

#include "history/historycsv.h"

#include <QMetaObject>
#include <QThread>

#include <future>

HistoryReports::HistoryReports(std::function<void(const QString &)> tell, QObject *parent)
    : QObject(parent), tell(std::move(tell))
{
}

void HistoryReports::add(const QString &text)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        texts.push_back(text);
    }
    QMetaObject::invokeMethod(this, "deliver", Qt::QueuedConnection);
}

void HistoryReports::deliver()
{
    std::deque<QString> taken;
    {
        std::lock_guard<std::mutex> lock(mutex);
        taken.swap(texts);
    }
    for (const QString &text : taken)
        tell(text);
}

HistoryWriter::HistoryWriter(const QString &databasePath, QObject *receiver, std::function<void(const QString &)> say)
    : reports(std::make_unique<HistoryReports>(std::move(say), nullptr))
{
    // Not a child of receiver: the writer owns it, and ends its thread first.
    reports->moveToThread(receiver->thread());
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

// Handed to the receiver's thread.
void HistoryWriter::report(const QString &text)
{
    reports->add(text);
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
    // Called on the receiver's thread: what the writes had to say is heard now.
    if (reports->thread() == QThread::currentThread())
        reports->deliver();
}
