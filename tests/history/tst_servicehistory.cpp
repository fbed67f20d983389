// The service history: many writers at once, a damaged file set aside while
// the job still runs, a job whose program died, the CSV a bench keeps, what
// tesselctl and the window show of it.

#include "app/mainwindow.h"
#include "app/servicehistoryview.h"
#include "cli/clirun.h"
#include "control/devicecontroller.h"
#include "device/protocol.h"
#include "emulator/emulateddevice.h"
#include "history/historycsv.h"
#include "history/servicehistoryrecorder.h"
#include "testsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QLabel>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>

using namespace testsupport;

namespace {

// A job that touches no device: it waits until released (or 10 s), then ends as asked.
JobFunction heldJob(std::shared_ptr<std::atomic<bool>> release, bool success)
{
    return [release, success](JobContext &) {
        for (int i = 0; i < 1000 && !release->load(); ++i)
            QThread::msleep(10);
        return JobResult{success, QVariant()};
    };
}

QStringList results(const QVector<HistoryRow> &rows)
{
    QStringList seen;
    for (const HistoryRow &row : rows)
        seen << row.result;
    return seen;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// An SQLite file made with statements, outside the history's own code.
void makeDatabase(const QString &path, const QStringList &statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("maker"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        for (const QString &statement : statements)
            QVERIFY2(query.exec(statement), qPrintable(statement));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("maker"));
}

QStringList damagedCopies(const QTemporaryDir &dir)
{
    return QDir(dir.path()).entryList({QStringLiteral("service-history-damaged-*.sqlite")}, QDir::Files);
}

} // namespace

class TestServiceHistory : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString file() const { return dir.filePath(QStringLiteral("service-history.sqlite")); }

private slots:
    void init()
    {
        emu::EmulatedDevice::instance().reset();
        for (const QString &name : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(dir.filePath(name));
    }

    // Eight writers finishing together, each on a thread and connection of
    // its own, or eight controllers and their recorders: every row is there,
    // complete, and no writer met a lock it could not wait out.
    void parallelWriters_data()
    {
        QTest::addColumn<bool>("controllers");
        QTest::newRow("eight threads") << false;
        QTest::newRow("eight controllers") << true;
    }
    void parallelWriters()
    {
        QFETCH(bool, controllers);
        constexpr int Writers = 8;
        constexpr int JobsEach = 6;
        std::atomic<int> failures{0};
        QStringList problems;
        if (controllers) {
            std::vector<std::unique_ptr<DeviceController>> devices;
            std::vector<std::unique_ptr<ServiceHistoryRecorder>> recorders;
            for (int i = 0; i < Writers; ++i) {
                devices.push_back(std::make_unique<DeviceController>());
                recorders.push_back(std::make_unique<ServiceHistoryRecorder>(*devices.back(), nullptr, file()));
                connect(recorders.back().get(), &ServiceHistoryRecorder::problem, this,
                        [&](const QString &line) { problems << line; });
            }
            for (int job = 0; job < JobsEach; ++job) {
                auto release = std::make_shared<std::atomic<bool>>(false);
                for (auto &device : devices)
                    QVERIFY(device->start(DeviceJob::SettingsWrite, heldJob(release, true), false));
                release->store(true);
                for (auto &device : devices)
                    QVERIFY(waitForDeviceIdle(*device));
            }
            for (auto &recorder : recorders)
                recorder->flush();
        } else {
            std::atomic<bool> go{false};
            std::vector<QThread *> threads;
            for (int i = 0; i < Writers; ++i) {
                threads.push_back(QThread::create([&, i] {
                    ServiceHistory history(file());
                    while (!go.load())
                        QThread::yieldCurrentThread();
                    for (int job = 0; job < JobsEach; ++job) {
                        HistoryRow row;
                        row.time = QStringLiteral("2026-12-08T10:00:00Z");
                        row.serial = QStringLiteral("S%1").arg(i);
                        row.job = QStringLiteral("firmware upgrade");
                        row.result = QStringLiteral("started");
                        row.id = history.begin(row);
                        row.result = QStringLiteral("done");
                        row.seconds = 1;
                        if (row.id == 0 || !history.complete(row) || !history.takeProblem().isEmpty())
                            ++failures;
                    }
                }));
                threads.back()->start();
            }
            go.store(true);
            for (QThread *thread : threads) {
                QVERIFY(thread->wait(60000));
                delete thread;
            }
        }
        QCOMPARE(failures.load(), 0);
        QCOMPARE(problems, QStringList());
        const QVector<HistoryRow> rows = ServiceHistory(file()).rows();
        QCOMPARE(rows.size(), Writers * JobsEach);
        QCOMPARE(results(rows).filter(QStringLiteral("done")).size(), Writers * JobsEach);
    }

    // A history that is no history is set aside under a dated name, said
    // once, and a new one begins; the job runs and is recorded in it. One
    // that cannot be written leaves the job unrecorded, never refused.
    void unusableHistory_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("setAside");
        QTest::addColumn<bool>("recorded");
        QTest::addColumn<QString>("said");
        QTest::newRow("random bytes") << "random" << true << true << "damaged";
        QTest::newRow("truncated database") << "truncated" << true << true << "damaged";
        QTest::newRow("foreign schema") << "foreign" << true << true << "other tables";
        QTest::newRow("own version, columns missing") << "columns" << true << true << "lacks the column";
        QTest::newRow("empty file: a new database") << "empty" << false << true << "";
        QTest::newRow("a newer program's history: kept") << "newer" << false << false << "newer version";
        QTest::newRow("folder cannot be made") << "nofolder" << false << false << "cannot be written";
    }
    void unusableHistory()
    {
        QFETCH(QString, kind);
        QFETCH(bool, setAside);
        QFETCH(bool, recorded);
        QFETCH(QString, said);
        QString path = file();
        if (kind == QLatin1String("random")) {
            QByteArray noise(8192, '\0');
            for (int i = 0; i < noise.size(); ++i)
                noise[i] = char((i * 7919 + 13) % 251);
            writeFile(path, noise);
        } else if (kind == QLatin1String("truncated")) {
            QStringList fill{QStringLiteral("CREATE TABLE t (x TEXT)")};
            for (int i = 0; i < 200; ++i)
                fill << QStringLiteral("INSERT INTO t VALUES ('%1')").arg(QString(200, QLatin1Char('x')));
            makeDatabase(path, fill);
            QFile cut(path);
            QVERIFY(cut.resize(cut.size() / 2));
        } else if (kind == QLatin1String("foreign")) {
            makeDatabase(path, {QStringLiteral("CREATE TABLE customers (name TEXT)")});
        } else if (kind == QLatin1String("columns")) {
            makeDatabase(path, {QStringLiteral("CREATE TABLE service_jobs (id INTEGER PRIMARY KEY, time TEXT)"),
                                QStringLiteral("PRAGMA user_version=1")});
        } else if (kind == QLatin1String("empty")) {
            writeFile(path, QByteArray());
        } else if (kind == QLatin1String("newer")) {
            makeDatabase(path, {QStringLiteral("CREATE TABLE service_jobs (id INTEGER)"),
                                QStringLiteral("PRAGMA user_version=2")});
        } else {
            writeFile(dir.filePath(QStringLiteral("a-file")), "not a folder");
            path = dir.filePath(QStringLiteral("a-file/service-history.sqlite"));
        }
        QFile original(path);
        const QByteArray before = original.open(QIODevice::ReadOnly) ? original.readAll() : QByteArray();
        original.close();

        DeviceController device;
        ServiceHistoryRecorder recorder(device, nullptr, path);
        QStringList problems;
        connect(&recorder, &ServiceHistoryRecorder::problem, this, [&](const QString &line) { problems << line; });
        QSignalSpy ended(&device, &DeviceController::finished);
        for (int job = 0; job < 2; ++job) {
            QVERIFY(device.start(DeviceJob::CurveWrite, heldJob(std::make_shared<std::atomic<bool>>(true), true), false));
            QVERIFY(waitForDeviceIdle(device));
        }
        recorder.flush();
        QCOMPARE(ended.count(), 2);
        QCOMPARE(ended.at(0).at(1).toBool(), true);
        QCOMPARE(problems.size(), said.isEmpty() ? 0 : 1);
        if (!said.isEmpty())
            QVERIFY2(problems.first().contains(said), qPrintable(problems.first()));

        const QStringList aside = damagedCopies(dir);
        QCOMPARE(aside.size(), setAside ? 1 : 0);
        if (setAside) {
            QVERIFY(QRegularExpression(QStringLiteral("^service-history-damaged-\\d{8}-\\d{6}\\.sqlite$"))
                        .match(aside.first()).hasMatch());
            QVERIFY(problems.first().contains(aside.first()));
            QFile kept(dir.filePath(aside.first()));
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), before);   // set aside as it was, for whoever looks into it
        } else if (!recorded && QFile::exists(path)) {
            QFile kept(path);
            QVERIFY(kept.open(QIODevice::ReadOnly));
            QCOMPARE(kept.readAll(), before);
        }
        if (recorded)
            QCOMPARE(results(ServiceHistory(path).rows()), QStringList({"done", "done"}));
    }

    // A job's row says how it ended; a program that died mid-job (here: the
    // recorder gone before the end) leaves its committed "started" row.
    void jobEnds_data()
    {
        QTest::addColumn<QString>("end");
        QTest::addColumn<QString>("result");
        QTest::newRow("success") << "success" << "done";
        QTest::newRow("failure") << "failure" << "failed";
        QTest::newRow("cancel") << "cancel" << "cancelled";
        QTest::newRow("program killed mid-job") << "killed" << "started";
    }
    void jobEnds()
    {
        QFETCH(QString, end);
        QFETCH(QString, result);
        DeviceController device;
        auto recorder = std::make_unique<ServiceHistoryRecorder>(device, nullptr, file());
        QSignalSpy started(&device, &DeviceController::jobStarted);
        if (end == QLatin1String("cancel")) {
            // A slot query waiting for a reply that does not come takes a Cancel.
            auto &emulated = emu::EmulatedDevice::instance();
            emulated.setTimeoutMode(emu::EmulatedDevice::TimeoutMode::RealWait);
            emulated.setReplyFault(Protocol::ItemSlotQuery, emu::EmulatedDevice::ReplyFault::NoReply);
            QVERIFY(device.startSlotQuery(4));
            QTRY_VERIFY(emulated.count(emu::EmulatedDevice::Exchange::Read) > 0);
            QVERIFY(device.cancel());
        } else {
            auto release = std::make_shared<std::atomic<bool>>(false);
            QVERIFY(device.start(DeviceJob::PictureUpload, heldJob(release, end != QLatin1String("failure")), false));
            QTRY_COMPARE(started.count(), 1);
            recorder->flush();
            // Committed at the start: another connection sees it now.
            QCOMPARE(results(ServiceHistory(file()).rows()), QStringList{"started"});
            if (end == QLatin1String("killed"))
                recorder.reset();
            release->store(true);
        }
        QVERIFY(waitForDeviceIdle(device));
        if (recorder)
            recorder->flush();
        const QVector<HistoryRow> rows = ServiceHistory(file()).rows();
        QCOMPARE(results(rows), QStringList{result});
        QCOMPARE(rows.first().seconds < 0, result == QLatin1String("started"));
    }

    // The unit as the device tells it: the query's row names the serial
    // number, path, model and firmware; the next job's row keeps them.
    void rowsNameTheUnit()
    {
        DeviceController device;
        ServiceHistoryRecorder recorder(device, nullptr, file());
        QVERIFY(device.startDeviceQuery());
        QVERIFY(waitForDeviceIdle(device));
        QVERIFY(device.startSlotQuery(4));
        QVERIFY(waitForDeviceIdle(device));
        recorder.flush();
        const auto &profile = emu::EmulatedDevice::instance().profile();
        for (const HistoryRow &row : ServiceHistory(file()).rows(profile.serialNumber)) {
            QCOMPARE(row.path, QString::fromLatin1(emu::EmulatedDevice::instance().path()));
            QVERIFY(!row.model.isEmpty());
            QVERIFY(!row.firmwareBefore.isEmpty());
            QVERIFY(!row.programVersion.isEmpty());
        }
        QCOMPARE(ServiceHistory(file()).rows(profile.serialNumber).size(), 2);
    }

    // An upgrade's row holds the version the device came back with.
    void upgradeRowNamesFirmwareAfter()
    {
        DeviceController device;
        ServiceHistoryRecorder recorder(device, nullptr, file());
        QVERIFY(device.start(DeviceJob::FirmwareUpgrade, [](JobContext &job) {
            job.sink.deviceReturned(QStringLiteral("V1.0.2"), QStringLiteral("V1.0.3"));
            return JobResult{true, QVariant()};
        }, false));
        QVERIFY(waitForDeviceIdle(device));
        recorder.flush();
        const QVector<HistoryRow> rows = ServiceHistory(file()).rows();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().firmwareAfter, QStringLiteral("V1.0.3"));
    }

    // Fields as a spreadsheet reads them back, and the header once per file.
    void csv_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "TSL-VM01-000001" << "TSL-VM01-000001";
        QTest::newRow("comma") << "VELTRA, MINI" << "\"VELTRA, MINI\"";
        QTest::newRow("quote") << "say \"hi\"" << "\"say \"\"hi\"\"\"";
        QTest::newRow("line break") << "a\nb" << "\"a\nb\"";
        QTest::newRow("carriage return") << "a\rb" << "\"a\rb\"";
        QTest::newRow("space at the end") << "V1.0 " << "\"V1.0 \"";
        QTest::newRow("empty") << "" << "";
    }
    void csv()
    {
        QFETCH(QString, field);
        QFETCH(QString, written);
        QCOMPARE(csvField(field), written);
        HistoryRow row;
        row.model = field;
        const QString out = dir.filePath(QStringLiteral("bench.csv"));
        QVERIFY(appendHistoryCsv(out, row));
        QVERIFY(appendHistoryCsv(out, row));
        QFile back(out);
        QVERIFY(back.open(QIODevice::ReadOnly));
        const QString line = historyCsvLine(row);
        QCOMPARE(QString::fromUtf8(back.readAll()), historyCsvHeader() + "\r\n" + line + "\r\n" + line + "\r\n");
        QCOMPARE(line.count(QLatin1Char(',')) - field.count(QLatin1Char(',')), 9);
    }

    // tesselctl records a command's jobs (not the open before them), with
    // --record also in a CSV file, and prints them back in each format.
    void tesselctlHistory()
    {
        const QByteArray given = qgetenv("TESSEL_HISTORY_FILE");
        qputenv("TESSEL_HISTORY_FILE", file().toLocal8Bit());
        const QString csvFile = dir.filePath(QStringLiteral("bench.csv"));
        QCOMPARE(clitest::runCli({"--record", csvFile, "info"}).code, 0);
        QCOMPARE(clitest::runCli({"curve", "read", "M2"}).code, 0);
        const QString serial = emu::EmulatedDevice::instance().profile().serialNumber;

        const clitest::CliRun json = clitest::runCli({"history", "--json"});
        QCOMPARE(json.code, 0);
        const QJsonArray jobs = QJsonDocument::fromJson(json.out.toUtf8()).object().value("jobs").toArray();
        QCOMPARE(jobs.size(), 2);
        QCOMPARE(jobs.at(0).toObject().value("job").toString(), QStringLiteral("device query"));
        QCOMPARE(jobs.at(0).toObject().value("serial").toString(), serial);
        QCOMPARE(jobs.at(1).toObject().value("job").toString(), QStringLiteral("curve read"));
        // A command of its own, without a device query: the unit is named all the same.
        QCOMPARE(jobs.at(1).toObject().value("serial").toString(), serial);
        QCOMPARE(jobs.at(1).toObject().value("path").toString(), QStringLiteral("emulated:0"));

        const QStringList csvLines = clitest::runCli({"history", serial, "--csv"}).out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(csvLines.size(), 3);   // the header and both jobs
        QVERIFY(csvLines.at(1).contains(",device query,done,"));
        const QStringList table = clitest::runCli({"history"}).out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(table.size(), 3);
        QVERIFY(table.at(0).startsWith("TIME"));

        QFile recorded(csvFile);
        QVERIFY(recorded.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(recorded.readAll()).split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0), historyCsvHeader());
        QCOMPARE(clitest::runCli({"history", "--json", "--csv"}).code, 1);
        qputenv("TESSEL_HISTORY_FILE", given);
    }

    // Service mode shows the unit's last jobs under the Devices page; the
    // default window does not.
    void windowShowsLastJobs()
    {
        const QByteArray given = qgetenv("TESSEL_HISTORY_FILE");
        qputenv("TESSEL_HISTORY_FILE", file().toLocal8Bit());
        MainWindow window;
        QVERIFY(waitForDeviceIdle(window.controller()));
        QVERIFY(!window.findChild<ServiceHistoryView *>());
        window.setServiceMode(true);
        auto *view = window.findChild<ServiceHistoryView *>();
        QVERIFY(view);
        QTRY_COMPARE(view->jobsShown(), 1);
        const QString shown = window.findChild<QLabel *>("serviceHistoryList")->text();
        QVERIFY(shown.contains("device query") && shown.contains("done"));
        window.setServiceMode(false);
        QVERIFY(!view->isVisibleTo(&window));
        qputenv("TESSEL_HISTORY_FILE", given);
    }
};

QTEST_MAIN(TestServiceHistory)
#include "tst_servicehistory.moc"
