#pragma once
// The service history: every job run on every unit, one row per job, in an
// SQLite database in the user's data folder ("service-history.sqlite").
//
// A row is written in its own transaction when the job starts (result
// "started") and completed in a second one when it ends: a program that dies
// mid-job leaves its "started" row, and nothing committed is lost to a power
// cut. Several writers share the file (the window, tesselctl, one recorder
// per device): each instance has a connection of its own, used on the thread
// that made it, waits up to BusyTimeoutMs for another writer's lock and tries
// again when SQLite still says it is busy.
//
// The history never stands in a job's way. A file that is no database, fails
// SQLite's quick check or holds another schema is set aside under a dated
// name and a new history begins; a folder that cannot be written leaves the
// jobs unrecorded. Either is said once, through takeProblem().

#include <QString>
#include <QVector>

struct HistoryRow
{
    qint64 id = 0;
    QString time;            // when the job started: UTC, ISO 8601
    QString serial;          // the USB serial number; empty when not learned
    QString path;            // the hidapi path
    QString model;
    QString firmwareBefore;
    QString firmwareAfter;   // after an upgrade, from the next device query
    QString job;             // "device query", "firmware upgrade", …
    QString result;          // "started", "done", "failed", "cancelled"
    double seconds = -1;     // -1 until the job ended
    QString programVersion;
};

class ServiceHistory
{
public:
    static constexpr int SchemaVersion = 1;
    static constexpr int BusyTimeoutMs = 5000;

    // TESSEL_HISTORY_FILE when set, else service-history.sqlite in the
    // user's data folder.
    static QString defaultPath();

    explicit ServiceHistory(const QString &path = defaultPath());
    ~ServiceHistory();
    ServiceHistory(const ServiceHistory &) = delete;
    ServiceHistory &operator=(const ServiceHistory &) = delete;

    QString path() const { return file; }
    // Opens the database at the first use, checking it and setting a damaged
    // one aside. False when there is no history to write to.
    bool open();
    // What went wrong, once per problem and process; empty when nothing new.
    QString takeProblem();

    // The row of a job that starts; its id, 0 when it could not be written.
    qint64 begin(const HistoryRow &row);
    // The job's end: result, seconds, and the identity, model and firmware
    // learned meanwhile.
    bool complete(const HistoryRow &row);
    bool setFirmwareAfter(qint64 id, const QString &version);
    // The rows, oldest first; of one serial number when given; only the
    // newest `newest` when it is not negative.
    QVector<HistoryRow> rows(const QString &serial = QString(), int newest = -1);

private:
    enum class Verdict { Usable, Damaged, Unwritable };
    Verdict connectAndCheck(QString &reason);
    bool setAside(QString &asideName);
    void closeConnection();
    void say(const QString &problem, bool onceForThePath);

    QString file;
    QString connection;
    QString problem;
    bool opened = false;
    bool givenUp = false;
};
