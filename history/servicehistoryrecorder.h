#pragma once
// Writes the service history of the unit one DeviceController serves: a row
// as each job starts, completed as it ends.
//
// The unit is what the controller's device thread last learned of it (serial
// number and path); its model and firmware are those of the last device query
// seen on this controller. The firmware after an upgrade is the version the
// device reported when it came back; when it reported none, the next
// successful device query on this controller fills it in. The presence listing is no job
// and writes nothing. The writes are made on a thread of the recorder's own
// (historywriter.h), in order; the recorder's end waits for those still
// queued. A history that cannot be written leaves the jobs as they are: its
// problem is said once through problem().

#include "control/devicejob.h"
#include "history/servicehistory.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QSet>

#include <memory>

class DeviceController;
class HistoryWriter;

class ServiceHistoryRecorder : public QObject
{
    Q_OBJECT

public:
    // The history at databasePath (by default the user's).
    explicit ServiceHistoryRecorder(DeviceController &controller, QObject *parent = nullptr,
                                    const QString &databasePath = ServiceHistory::defaultPath());
    ~ServiceHistoryRecorder() override;

    // Each completed row is also appended to this CSV file (none: empty).
    void setCsvFile(const QString &file) { csvFile = file; }
    // The next job is a preparation of the one after it (tesselctl's open
    // before a command's job) and is not recorded.
    void skipNextJob(bool skip = true) { skipNext = skip; }
    // Returns once every row asked for is written, and its signals are sent.
    void flush();

    // The newest jobs of one unit, oldest first.
    QVector<HistoryRow> lastJobs(const QString &serial, int count);
    QString databasePath() const { return path; }

signals:
    // A line naming what keeps the history from being written; once per problem.
    void problem(const QString &line);
    // A row was written.
    void changed();

private:
    // A job's row: begun when the controller starts the job, written when it ends.
    void beginRow(DeviceJob kind);
    void finishRow(DeviceJob kind, bool success, const QVariant &result);
    void heard(const QString &line);

    QPointer<DeviceController> controller;
    QString path;
    std::unique_ptr<HistoryWriter> writer;
    std::unique_ptr<ServiceHistory> reader;   // this thread's, for lastJobs()
    QString csvFile;
    QSet<QString> said;
    HistoryRow current;
    int jobNumber = 0;
    QElapsedTimer clock;
    bool skipNext = false;
    bool skipping = false;
    bool wasCancelled = false;
    QString model;
    QString firmware;
    QString readFrom;   // the serial number model and firmware were read from
    int awaitingFirmwareAfter = 0;   // the upgrade's job number
    QString upgradedSerial;
};
