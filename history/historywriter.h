#pragma once
// The service history's writes, made on a thread of their own: whoever
// records (the window's thread) never waits for the disk, whose commits each
// wait until the data is stored. The writes are made in the order asked,
// with a connection of the thread's own; the destructor makes those still
// waiting before the thread ends, so a program that ends normally loses none.

#include "history/servicehistory.h"

#include <QHash>
#include <QObject>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// What the writing thread has to say, handed to the recorder's thread: the
// texts wait under a lock, and a queued call by name fetches them there.
class HistoryReports : public QObject
{
    Q_OBJECT

public:
    HistoryReports(std::function<void(const QString &)> tell, QObject *parent);
    // Any thread.
    void add(const QString &text);

public slots:
    void deliver();

private:
    std::function<void(const QString &)> tell;
    std::mutex mutex;
    std::deque<QString> texts;
};

class HistoryWriter
{
public:
    // told hears, on its own thread, of each problem (a line) and of each
    // row written (an empty text); it must outlive the writer.
    HistoryWriter(const QString &databasePath, QObject *told, std::function<void(const QString &)> tell);
    ~HistoryWriter();
    HistoryWriter(const HistoryWriter &) = delete;
    HistoryWriter &operator=(const HistoryWriter &) = delete;

    // job: the recorder's own number of the job the row is of.
    void begin(int job, const HistoryRow &row);
    // Completes the row of job; and appends it to csvFile when one is given.
    void complete(int job, const HistoryRow &row, const QString &csvFile);
    void setFirmwareAfter(int job, const QString &version);
    // Returns once every write asked for before has been made.
    void flush();

private:
    using Task = std::function<void(ServiceHistory &)>;
    void post(Task task);
    void run(const QString &databasePath);
    void report(const QString &text);

    // Lives on told's thread; goes with the writer, after its thread has ended.
    std::unique_ptr<HistoryReports> reports;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Task> tasks;
    bool quit = false;
    std::thread thread;
    QHash<int, qint64> rowIds;   // the writing thread's alone
};
