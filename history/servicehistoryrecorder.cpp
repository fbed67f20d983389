#include "history/servicehistoryrecorder.h"

#include "control/devicecontroller.h"
#include "control/jobnames.h"
#include "history/historywriter.h"

#include <QCoreApplication>
#include <QDateTime>

namespace {

QString programVersion()
{
    const QString version = QCoreApplication::applicationVersion();
    return version.isEmpty() ? QStringLiteral(TESSEL_HISTORY_VERSION) : version;
}

bool isUpgrade(DeviceJob kind)
{
    return kind == DeviceJob::FirmwareUpgrade || kind == DeviceJob::FirmwareRecovery
           || kind == DeviceJob::FirmwareWriteStage || kind == DeviceJob::FirmwareWriteAlone;
}

// The model as the device's 48-byte name field spells it, up to its first zero.
QString modelOfNameField(const QByteArray &field)
{
    const int end = field.indexOf('\0');
    return QString::fromLatin1(end < 0 ? field : field.left(end)).trimmed();
}

} // namespace

ServiceHistoryRecorder::ServiceHistoryRecorder(DeviceController &device, QObject *parent, const QString &databasePath)
    : QObject(parent), controller(&device), path(databasePath),
      writer(std::make_unique<HistoryWriter>(databasePath, this, [this](const QString &line) { heard(line); }))
{
    connect(&device, &DeviceController::jobStarted, this, &ServiceHistoryRecorder::beginRow);
    connect(&device, &DeviceController::cancelled, this, [this] { wasCancelled = true; });
    connect(&device, &DeviceController::finished, this, &ServiceHistoryRecorder::finishRow);
    connect(&device, &DeviceController::jobNote, this, [this](DeviceJob, const QString &what, const QVariant &value) {
        // An upgrade reads the name field for its model check, without a query.
        if (what == QLatin1String("modelHeaderRead") && model.isEmpty())
            model = modelOfNameField(value.toList().value(1).toByteArray());
        // An upgrade reads the version the device runs once it is back.
        const QString after = value.toList().value(1).toString();
        if (what == QLatin1String("deviceReturned") && !after.isEmpty())
            current.firmwareAfter = firmware = after;
    });
}

// The writer goes first: it writes what is queued and ends its thread.
ServiceHistoryRecorder::~ServiceHistoryRecorder()
{
    writer.reset();
}

void ServiceHistoryRecorder::flush()
{
    writer->flush();
}

void ServiceHistoryRecorder::heard(const QString &line)
{
    if (line.isEmpty()) {
        emit changed();
    } else if (!said.contains(line)) {
        said.insert(line);
        emit problem(line);
    }
}

void ServiceHistoryRecorder::beginRow(DeviceJob kind)
{
    skipping = skipNext;
    skipNext = false;
    wasCancelled = false;
    if (skipping || !controller)
        return;
    const DeviceIdentity unit = controller->deviceIdentity();
    // Another unit now: what was read from the last one is not this one's.
    if (!unit.serial.isEmpty() && !readFrom.isEmpty() && unit.serial != readFrom) {
        model.clear();
        firmware.clear();
    }
    current = HistoryRow{};
    current.time = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs);
    current.serial = unit.serial;
    current.path = QString::fromLocal8Bit(unit.path);
    current.model = model;
    current.firmwareBefore = firmware;
    current.job = jobHistoryName(kind);
    current.result = QStringLiteral("started");
    current.programVersion = programVersion();
    clock.start();
    writer->begin(++jobNumber, current);
}

void ServiceHistoryRecorder::finishRow(DeviceJob kind, bool success, const QVariant &result)
{
    if (skipping || !controller) {
        skipping = false;
        return;
    }
    const DeviceIdentity unit = controller->deviceIdentity();
    if (kind == DeviceJob::DeviceQuery && success && result.canConvert<DeviceQueryResult>()) {
        const DeviceInfo info = result.value<DeviceQueryResult>().info;
        readFrom = unit.serial;
        if (!info.name.isEmpty())
            model = info.name;
        if (!info.firmwareVersion.isEmpty()) {
            firmware = info.firmwareVersion;
            if (awaitingFirmwareAfter > 0 && (upgradedSerial.isEmpty() || upgradedSerial == unit.serial))
                writer->setFirmwareAfter(awaitingFirmwareAfter, firmware);
            awaitingFirmwareAfter = 0;
        }
    }
    if (!unit.serial.isEmpty())
        current.serial = unit.serial;
    if (!unit.path.isEmpty())
        current.path = QString::fromLocal8Bit(unit.path);
    if (current.model.isEmpty())
        current.model = model;
    if (current.firmwareBefore.isEmpty())
        current.firmwareBefore = firmware;
    current.result = wasCancelled ? QStringLiteral("cancelled")
                                  : success ? QStringLiteral("done") : QStringLiteral("failed");
    current.seconds = clock.isValid() ? clock.nsecsElapsed() / 1e9 : -1;
    if (isUpgrade(kind) && success && current.firmwareAfter.isEmpty()) {
        awaitingFirmwareAfter = jobNumber;
        upgradedSerial = current.serial;
    }
    writer->complete(jobNumber, current, csvFile);
    current = HistoryRow{};
}

QVector<HistoryRow> ServiceHistoryRecorder::lastJobs(const QString &serial, int count)
{
    // Read with a connection of this thread's; its problems were the writer's to say.
    if (!reader)
        reader = std::make_unique<ServiceHistory>(path);
    QVector<HistoryRow> rows = reader->rows(serial, count);
    reader->takeProblem();
    return rows;
}
