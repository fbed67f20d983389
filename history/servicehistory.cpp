#include "history/servicehistory.h"

#include "desktop/datafolder.h"

#include <QAtomicInteger>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QMutex>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

namespace {

const char *const FileName = "service-history.sqlite";
const char *const Table = "service_jobs";
constexpr int BusyAttempts = 6;

// SQLite's own codes, as Qt's driver hands them on.
bool isBusy(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("5") || code == QLatin1String("6"); // SQLITE_BUSY, SQLITE_LOCKED
}

bool isDamage(const QSqlError &error)
{
    const QString code = error.nativeErrorCode();
    return code == QLatin1String("11") || code == QLatin1String("26"); // SQLITE_CORRUPT, SQLITE_NOTADB
}

// Runs query with its bound values; a lock another writer holds past the
// busy time-out is waited out a few more times.
bool run(QSqlQuery &query, const QString &statement = QString())
{
    for (int attempt = 1;; ++attempt) {
        const bool ran = statement.isEmpty() ? query.exec() : query.exec(statement);
        if (ran || !isBusy(query.lastError()) || attempt == BusyAttempts)
            return ran;
        QThread::msleep(20 * attempt);
    }
}

const QStringList &columns()
{
    static const QStringList names{QStringLiteral("time"),           QStringLiteral("serial"),
                                   QStringLiteral("path"),           QStringLiteral("model"),
                                   QStringLiteral("firmware_before"), QStringLiteral("firmware_after"),
                                   QStringLiteral("job"),            QStringLiteral("result"),
                                   QStringLiteral("seconds"),        QStringLiteral("program_version")};
    return names;
}

// Each problem is named once per process, however many recorders meet it.
bool firstTime(const QString &key)
{
    static QMutex mutex;
    static QSet<QString> said;
    QMutexLocker lock(&mutex);
    if (said.contains(key))
        return false;
    said.insert(key);
    return true;
}

QString connectionName()
{
    static QAtomicInteger<quint64> next;
    return QStringLiteral("service-history-%1").arg(next.fetchAndAddRelaxed(1));
}

QVariant orNull(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

} // namespace

QString ServiceHistory::defaultPath()
{
    const QByteArray chosen = qgetenv("TESSEL_HISTORY_FILE");
    if (!chosen.isEmpty())
        return QString::fromLocal8Bit(chosen);
    const QString folder = userDataFolder();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + QLatin1String(FileName);
}

ServiceHistory::ServiceHistory(const QString &path) : file(path), connection(connectionName()) {}

ServiceHistory::~ServiceHistory()
{
    closeConnection();
}

void ServiceHistory::closeConnection()
{
    if (!QSqlDatabase::contains(connection))
        return;
    QSqlDatabase::database(connection, false).close();
    QSqlDatabase::removeDatabase(connection);
    opened = false;
}

void ServiceHistory::say(const QString &text, bool onceForThePath)
{
    if (!onceForThePath || firstTime(file + QLatin1Char('\n') + text))
        problem = text;
}

QString ServiceHistory::takeProblem()
{
    QString taken;
    taken.swap(problem);
    return taken;
}

bool ServiceHistory::open()
{
    if (opened || givenUp)
        return opened;
    if (file.isEmpty()) {
        givenUp = true;
        say(QStringLiteral("service history not kept: the system names no data folder"), true);
        return false;
    }
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isWritable()) {
        givenUp = true;
        say(QStringLiteral("service history not kept: %1 cannot be written").arg(folder), true);
        return false;
    }
    // Checking and setting aside are one step among the processes that
    // share the file: none sets aside the fresh history another has begun.
    QLockFile lock(file + QStringLiteral(".lock"));
    lock.setStaleLockTime(4 * BusyTimeoutMs);
    lock.tryLock(2 * BusyTimeoutMs);
    for (int attempt = 0; attempt < 2; ++attempt) {
        QString reason;
        switch (connectAndCheck(reason)) {
        case Verdict::Usable:
            opened = true;
            return true;
        case Verdict::Unwritable:
            closeConnection();
            givenUp = true;
            say(QStringLiteral("service history not kept: %1 (%2)").arg(file, reason), true);
            return false;
        case Verdict::Damaged: {
            closeConnection();
            QString aside;
            if (!setAside(aside)) {
                givenUp = true;
                say(QStringLiteral("service history not kept: %1 is damaged (%2) and cannot be set aside")
                        .arg(file, reason), true);
                return false;
            }
            say(QStringLiteral("service history %1 was damaged (%2): set aside as %3; a new history begins")
                    .arg(file, reason, QFileInfo(aside).fileName()), false);
            break;
        }
        }
    }
    givenUp = true;
    return false;
}

ServiceHistory::Verdict ServiceHistory::connectAndCheck(QString &reason)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    db.setDatabaseName(file);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(BusyTimeoutMs));
    if (!db.open()) {
        reason = db.lastError().text();
        // A file that is there and writable but will not open is the file's fault.
        const QFileInfo info(file);
        return info.exists() && info.isFile() && info.isWritable() ? Verdict::Damaged : Verdict::Unwritable;
    }
    QSqlQuery query(db);
    if (!run(query, QStringLiteral("PRAGMA quick_check"))) {
        reason = query.lastError().text();
        return isDamage(query.lastError()) ? Verdict::Damaged : Verdict::Unwritable;
    }
    if (!query.next() || query.value(0).toString() != QLatin1String("ok")) {
        reason = QStringLiteral("it fails its quick check");
        return Verdict::Damaged;
    }
    // The default rollback journal, not WAL: WAL needs shared memory beside
    // the file, which a data folder on a network share may not give. Each
    // commit is on the disk before it returns (synchronous=FULL), so a power
    // cut takes nothing that was committed.
    run(query, QStringLiteral("PRAGMA synchronous=FULL"));
    query.finish();

    // Another process may be creating the table right now: the check and the
    // creation are one transaction.
    if (!run(query, QStringLiteral("BEGIN IMMEDIATE"))) {
        reason = query.lastError().text();
        return Verdict::Unwritable;
    }
    const auto rollback = [&](Verdict verdict) {
        query.finish();
        query.exec(QStringLiteral("ROLLBACK"));
        return verdict;
    };
    run(query, QStringLiteral("PRAGMA user_version"));
    const int version = query.next() ? query.value(0).toInt() : -1;
    query.finish();
    if (version > SchemaVersion) {
        // A newer program's history: kept as it is, not written to.
        reason = QStringLiteral("written by a newer version of this program");
        return rollback(Verdict::Unwritable);
    }
    if (version == SchemaVersion) {
        run(query, QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(Table)));
        QStringList found;
        while (query.next())
            found << query.value(1).toString();
        for (const QString &column : columns()) {
            if (!found.contains(column)) {
                reason = QStringLiteral("its table lacks the column %1").arg(column);
                return rollback(Verdict::Damaged);
            }
        }
        return rollback(Verdict::Usable);
    }
    run(query, QStringLiteral("SELECT count(*) FROM sqlite_master"));
    const int objects = query.next() ? query.value(0).toInt() : -1;
    query.finish();
    if (objects != 0) {
        reason = QStringLiteral("it holds other tables");
        return rollback(Verdict::Damaged);
    }
    const bool created =
        run(query, QStringLiteral("CREATE TABLE %1 (id INTEGER PRIMARY KEY, time TEXT NOT NULL, serial TEXT, "
                                  "path TEXT, model TEXT, firmware_before TEXT, firmware_after TEXT, "
                                  "job TEXT NOT NULL, result TEXT NOT NULL, seconds REAL, program_version TEXT)")
                       .arg(QLatin1String(Table)))
        && run(query, QStringLiteral("CREATE INDEX service_jobs_serial ON %1 (serial, id)").arg(QLatin1String(Table)))
        && run(query, QStringLiteral("PRAGMA user_version=%1").arg(SchemaVersion))
        && run(query, QStringLiteral("COMMIT"));
    if (!created) {
        reason = query.lastError().text();
        return rollback(Verdict::Unwritable);
    }
    return Verdict::Usable;
}

bool ServiceHistory::setAside(QString &asideName)
{
    const QFileInfo info(file);
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString stem = info.absolutePath() + QLatin1Char('/') + info.completeBaseName()
                         + QStringLiteral("-damaged-") + stamp;
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    asideName = stem + suffix;
    for (int n = 2; QFileInfo::exists(asideName); ++n)
        asideName = QStringLiteral("%1-%2%3").arg(stem).arg(n).arg(suffix);
    if (!QFile::rename(file, asideName))
        return false;
    // A journal left beside it belongs to the damaged file, not to the new one.
    for (const char *companion : {"-journal", "-wal", "-shm"}) {
        if (QFileInfo::exists(file + QLatin1String(companion)))
            QFile::rename(file + QLatin1String(companion), asideName + QLatin1String(companion));
    }
    return true;
}

qint64 ServiceHistory::begin(const HistoryRow &row)
{
    if (!open())
        return 0;
    QSqlQuery query(QSqlDatabase::database(connection, false));
    query.prepare(QStringLiteral("INSERT INTO %1 (time, serial, path, model, firmware_before, firmware_after, job, "
                                 "result, seconds, program_version) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                      .arg(QLatin1String(Table)));
    for (const QVariant &value : {QVariant(row.time), orNull(row.serial), orNull(row.path), orNull(row.model),
                                  orNull(row.firmwareBefore), orNull(row.firmwareAfter), QVariant(row.job),
                                  QVariant(row.result), row.seconds < 0 ? QVariant() : QVariant(row.seconds),
                                  orNull(row.programVersion)})
        query.addBindValue(value);
    if (!run(query)) {
        say(QStringLiteral("service history %1 not written: %2").arg(file, query.lastError().text()), true);
        return 0;
    }
    return query.lastInsertId().toLongLong();
}

bool ServiceHistory::complete(const HistoryRow &row)
{
    if (row.id <= 0 || !open())
        return false;
    QSqlQuery query(QSqlDatabase::database(connection, false));
    query.prepare(QStringLiteral("UPDATE %1 SET serial = ?, path = ?, model = ?, firmware_before = ?, "
                                 "firmware_after = ?, result = ?, seconds = ? WHERE id = ?")
                      .arg(QLatin1String(Table)));
    for (const QVariant &value : {orNull(row.serial), orNull(row.path), orNull(row.model), orNull(row.firmwareBefore),
                                  orNull(row.firmwareAfter), QVariant(row.result),
                                  row.seconds < 0 ? QVariant() : QVariant(row.seconds), QVariant(row.id)})
        query.addBindValue(value);
    if (!run(query)) {
        say(QStringLiteral("service history %1 not written: %2").arg(file, query.lastError().text()), true);
        return false;
    }
    return true;
}

bool ServiceHistory::setFirmwareAfter(qint64 id, const QString &version)
{
    if (id <= 0 || !open())
        return false;
    QSqlQuery query(QSqlDatabase::database(connection, false));
    query.prepare(QStringLiteral("UPDATE %1 SET firmware_after = ? WHERE id = ?").arg(QLatin1String(Table)));
    query.addBindValue(version);
    query.addBindValue(id);
    return run(query);
}

QVector<HistoryRow> ServiceHistory::rows(const QString &serial, int newest)
{
    QVector<HistoryRow> found;
    if (!open())
        return found;
    QSqlQuery query(QSqlDatabase::database(connection, false));
    QString statement = QStringLiteral("SELECT id, %1 FROM %2").arg(columns().join(QStringLiteral(", ")),
                                                                   QLatin1String(Table));
    if (!serial.isEmpty())
        statement += QStringLiteral(" WHERE serial = ?");
    statement += QStringLiteral(" ORDER BY id DESC");
    if (newest >= 0)
        statement += QStringLiteral(" LIMIT %1").arg(newest);
    query.prepare(statement);
    if (!serial.isEmpty())
        query.addBindValue(serial);
    if (!run(query))
        return found;
    while (query.next()) {
        HistoryRow row;
        row.id = query.value(0).toLongLong();
        row.time = query.value(1).toString();
        row.serial = query.value(2).toString();
        row.path = query.value(3).toString();
        row.model = query.value(4).toString();
        row.firmwareBefore = query.value(5).toString();
        row.firmwareAfter = query.value(6).toString();
        row.job = query.value(7).toString();
        row.result = query.value(8).toString();
        row.seconds = query.value(9).isNull() ? -1 : query.value(9).toDouble();
        row.programVersion = query.value(10).toString();
        found.prepend(row);
    }
    return found;
}
