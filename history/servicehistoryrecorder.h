#pragma once
// Writes the service history of the unit one DeviceController serves: a row
// as each job starts, completed as it ends.
//
// The unit is what the controller's device thread last learned of it (serial
// number and path); its model and firmware are those of the last device query
// seen on this controller. After a firmware upgrade the next successful device
// query fills in the upgrade row's "firmware after"; no query, no "after" (as
// with tesselctl upgrade, which ends there). The presence listing is no job
// and writes nothing. A history that cannot be written leaves the jobs as
// they are: its problem is said once through problem().

#include "device/devicejob.h"
#include "history/servicehistory.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <memory>

class DeviceController;

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

    // The newest jobs of one unit, oldest first, from this recorder's history.
    QVector<HistoryRow> lastJobs(const QString &serial, int count);
    QString databasePath() const { return history->path(); }

    // The stable name a job has in the history.
    static QString jobName(DeviceJob kind);

signals:
    // A line naming what keeps the history from being written; once per problem.
    void problem(const QString &line);
    // A row was begun or completed.
    void changed();

private:
    void jobStarted(DeviceJob kind);
    void jobFinished(DeviceJob kind, bool success, const QVariant &result);
    void sayProblem();

    QPointer<DeviceController> controller;
    std::unique_ptr<ServiceHistory> history;
    QString csvFile;
    HistoryRow current;
    QElapsedTimer clock;
    bool skipNext = false;
    bool skipping = false;
    bool wasCancelled = false;
    QString model;
    QString firmware;
    QString readFrom;   // the serial number model and firmware were read from
    bool csvFailed = false;
    qint64 awaitingFirmwareAfter = 0;
    QString upgradedSerial;
};
