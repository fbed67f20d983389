#include "cli/upgradecommand.h"

#include "cli/commandcontext.h"
#include "cli/console.h"
#include "cli/devicerunner.h"
#include "cli/exitcodes.h"
#include "cli/interrupt.h"
#include "device/devicesession.h"
#include "firmware/firmwareimage.h"
#include "firmware/firmwareupgrade.h"
#include "settings/curvebackup.h"

#include <QCryptographicHash>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

using namespace Firmware;

namespace {

// The model check's time-out line, in the language the job logs in.
QString timeoutLine()
{
    return QCoreApplication::translate("Firmware", "读取超时！");
}

// The model a header names: its text up to the first zero byte, with anything
// unprintable shown as '?'.
QString modelText(const QByteArray &header)
{
    return modelName(header);
}

bool isYes(const QString &answer)
{
    const QString a = answer.trimmed().toLower();
    return a == QLatin1String("y") || a == QLatin1String("yes");
}

// The upgrade's questions go to the user; its stages are watched for the
// command's own lines. It lives on the command's thread.
class UpgradeSink : public TerminalSink
{
public:
    UpgradeSink(CommandContext &context, const QString &question)
        : TerminalSink(context.console, context.options), context(context), question(question)
    {
    }

    void modelHeaderRead(const QByteArray &fileHeader, const QByteArray &deviceField) override
    {
        headerRead = true;
        modelMatches = fileHeader == deviceField;
        deviceModel = modelText(deviceField);
        context.report(modelComparisonLine(fileHeader, deviceField));
    }

    bool mayErase() override
    {
        if (context.options.dryRun) {
            dryRunEnded = true;
            return false;
        }
        // On a bench Ctrl+C does not end the program: it stops each device
        // here, before its erase, as it would have stopped a single one.
        if (interruptsHeld() && interruptRequested()) {
            interruptedBeforeErase = true;
            return false;
        }
        if (context.options.yes)
            return true;
        if (!context.console.inIsTerminal()) {
            noTerminal = true;
            return false;
        }
        context.console.err(question + QStringLiteral(" [y/N] "));
        const std::optional<QString> answer = context.console.readLine();
        if (!answer)
            context.console.err(QStringLiteral("\n"));
        return answer && isYes(*answer);
    }

    // Ctrl+C is deferred on the device thread, before the erase (DeviceSideSink).
    void upgradeStarted() override { erasing = true; }

    void progress(qint64 value, qint64 maximum) override
    {
        ++chunksStarted;
        TerminalSink::progress(value, maximum);
    }

    void writingFile(qint64 size) override { fileSize = size; }

    void stageStarted(UpgradeStage stage) override
    {
        // The jump went out: every byte of the file is written, and the
        // progress line ends there, on a line of its own.
        if (stage == UpgradeStage::Watching) {
            TerminalSink::progress(fileSize, fileSize);
            endProgress();
        }
    }

    bool writeToApplication(const QString &model) override
    {
        applicationAnswered = true;
        deviceModel = model;
        refusedUnchecked = !context.options.force;
        return context.options.force;
    }

    bool writeToBootloader(const BootloaderTarget &target) override
    {
        bootloaderTarget = target;
        refusedUnchecked = !(target.known && target.matches) && !context.options.force;
        return !refusedUnchecked;
    }

    void deviceReturned(const QString &before, const QString &after) override
    {
        versionBefore = before;
        versionAfter = after;
    }

    CommandContext &context;
    const QString question;
    bool headerRead = false;
    QString deviceModel;
    bool modelMatches = false;
    bool dryRunEnded = false;
    bool noTerminal = false;
    bool interruptedBeforeErase = false;
    bool erasing = false;
    bool interrupted = false;           // the write stage stopped for Ctrl+C (from the job's result)
    qint64 chunksStarted = 0;
    qint64 fileSize = 0;
    bool applicationAnswered = false;   // --resume, and the device answered the model query
    bool refusedUnchecked = false;      // --resume refused for want of --force
    BootloaderTarget bootloaderTarget;
    QString versionBefore;
    QString versionAfter;
};

// The upgrade's sink on the device thread. Lines, progress and notes go to
// the controller's sink and reach the UpgradeSink as events, in order; what
// the command decides (the erase question, --force) and what it watches (the
// stages, the device's return) is handed to the UpgradeSink on the command's
// thread while this thread waits for it, after the lines that came before.
class DeviceSideSink : public FirmwareSink
{
public:
    DeviceSideSink(FirmwareSink &events, UpgradeSink &command, DeviceRunner &runner, const DeviceSession &session)
        : events(events), command(command), runner(runner), session(session)
    {
    }

    bool log(const QString &text) override { return events.log(text); }
    bool logDetail(const QString &text) override { return events.logDetail(text); }
    void progress(qint64 value, qint64 maximum) override { events.progress(value, maximum); }
    void deviceReachable(bool online) override { events.deviceReachable(online); }
    void showFileInfo(const QString &text) override { events.showFileInfo(text); }
    void writingFile(qint64 size) override { events.writingFile(size); }

    void modelHeaderRead(const QByteArray &fileHeader, const QByteArray &deviceField) override
    {
        deviceModel = modelText(deviceField);
        events.modelHeaderRead(fileHeader, deviceField);
    }

    void upgradeStarted() override
    {
        // The erase comes next: from here on Ctrl+C waits for the chunk in flight.
        deferInterrupts();
        events.upgradeStarted();
    }

    void stageStarted(UpgradeStage stage) override
    {
        const qint64 reports = session.reportsWritten();
        onCommandThread([&] {
            command.reportsWritten = reports;
            command.stageStarted(stage);
        });
    }

    bool mayErase() override
    {
        bool yes = false;
        onCommandThread([&] { yes = command.mayErase(); });
        return yes;
    }

    bool writeToApplication(const QString &model) override
    {
        bool yes = false;
        onCommandThread([&] { yes = command.writeToApplication(model); });
        return yes;
    }

    bool writeToBootloader(const BootloaderTarget &target) override
    {
        bool yes = false;
        onCommandThread([&] { yes = command.writeToBootloader(target); });
        return yes;
    }

    void deviceReturned(const QString &before, const QString &after) override
    {
        onCommandThread([&] { command.deviceReturned(before, after); });
        events.deviceReturned(before, after);
    }

    // Asked before every chunk: the flag the signal handler sets, read here.
    bool stopRequested() override
    {
        if (interruptRequested()) {
            interrupted = true;
            return true;
        }
        return events.stopRequested();
    }

    void onCommandThread(const std::function<void()> &call) { runner.callAndWait(call); }

    QString deviceModel;       // from the model check, for the backup's name
    bool interrupted = false;  // the write stage stopped for Ctrl+C

private:
    FirmwareSink &events;
    UpgradeSink &command;
    DeviceRunner &runner;
    const DeviceSession &session;
};

QString versionsText(const UpgradeSink &sink)
{
    const QString after = sink.versionAfter.isEmpty() ? QStringLiteral("an unknown version") : sink.versionAfter;
    if (sink.versionBefore.isEmpty())
        return QStringLiteral("firmware written; the device is back and runs %1").arg(after);
    if (sink.versionBefore == sink.versionAfter)
        return QStringLiteral("firmware written; the device is back and runs %1, the same version as before").arg(after);
    return QStringLiteral("firmware written; the device is back and runs %1 (before: %2)").arg(after, sink.versionBefore);
}

// Why --resume did not write: the device is not plainly a bootloader waiting
// for this file.
QString resumeRefusalText(const UpgradeSink &sink, const QString &path)
{
    if (sink.applicationAnswered)
        return QStringLiteral("the device answers the model query ('%1'), so it runs its application: "
                              "'%2 upgrade %3' (the full upgrade, with its model check) is the right path; "
                              "--force writes without it; nothing was erased")
            .arg(sink.deviceModel, sink.context.options.program, path);
    const BootloaderTarget &target = sink.bootloaderTarget;
    if (target.known)
        return QStringLiteral("the device does not answer, so it waits in its bootloader, and the file is for '%1' "
                              "while this device last said it is '%2'; writing another model's firmware leaves it "
                              "unable to start; --force writes anyway; nothing was erased")
            .arg(target.fileModel, target.knownModel);
    return QStringLiteral("the device does not answer, so it waits in its bootloader, and its model was never read "
                          "here: nothing confirms the file is for it ('%1'); --force writes anyway; nothing was erased")
        .arg(target.fileModel);
}

QString badFileText(const QString &path, const FirmwareFile &file)
{
    switch (file.status) {
    case FileStatus::Loaded: break;
    case FileStatus::Unreadable:
        return QFileInfo::exists(path) ? QStringLiteral("%1: not a regular file or not readable (%2)").arg(path, file.problem)
                                       : QStringLiteral("%1: no such file").arg(path);
    case FileStatus::Empty: return QStringLiteral("%1: empty; a firmware file starts with a 48-byte model header").arg(path);
    case FileStatus::TooShort: return QStringLiteral("%1: under 48 bytes, so no model header; not a firmware file").arg(path);
    case FileStatus::TooLarge: return QStringLiteral("%1: over 16 MiB; not a firmware file").arg(path);
    case FileStatus::NoImage: return QStringLiteral("%1: only the 48-byte model header, no firmware data; not a firmware file").arg(path);
    case FileStatus::NotFirmware: {
        static const char *const kinds[] = {"something else", "a PNG picture", "a JPEG picture", "a GIF picture",
                                            "a BMP picture", "a ZIP archive", "a gzip archive", "a PDF document",
                                            "an ELF program"};
        return QStringLiteral("%1: not a firmware file: this is %2").arg(path, QLatin1String(kinds[int(file.foreign)]));
    }
    case FileStatus::OutOfMemory: return QStringLiteral("%1: not enough memory to read it").arg(path);
    }
    return QString();
}

QString resumeHint(const CommandContext &context)
{
    return QStringLiteral("'%1 upgrade %2 --resume' erases it and writes the firmware again")
        .arg(context.options.program, context.options.arguments.first());
}

} // namespace

QString modelComparisonLine(const QByteArray &fileHeader, const QByteArray &deviceField)
{
    const int length = qMin(fileHeader.size(), deviceField.size());
    for (int offset = 0; offset < length; ++offset) {
        if (fileHeader.at(offset) != deviceField.at(offset)) {
            return QStringLiteral("model header: differs from the device's at offset %1 (file 0x%2, device 0x%3); "
                                  "file is for '%4', the device is '%5'")
                .arg(offset)
                .arg(quint8(fileHeader.at(offset)), 2, 16, QLatin1Char('0'))
                .arg(quint8(deviceField.at(offset)), 2, 16, QLatin1Char('0'))
                .arg(modelText(fileHeader), modelText(deviceField));
        }
    }
    return QStringLiteral("model header: matches the device ('%1')").arg(modelText(deviceField));
}

int runUpgrade(CommandContext &context)
{
    const CliOptions &options = context.options;
    const QString path = options.arguments.first();
    const FirmwareFile file = loadFirmwareFile(path);
    if (!file.isLoaded())
        return context.fail(ExitBadInput, badFileText(path, file));

    const ChunkPlan plan = planChunks(file.size);
    const qint64 chunks = plan.fullChunks + (plan.tailLength > 0 ? 1 : 0);
    const QByteArray sha256 = QCryptographicHash::hash(
        QByteArray::fromRawData(reinterpret_cast<const char *>(file.data.get()), int(file.size)),
        QCryptographicHash::Sha256);
    const QString name = QFileInfo(path).fileName();
    context.report(QStringLiteral("file: %1\nsize: %2 bytes\nchunks: %3 of 48 bytes\nsha256: %4")
                       .arg(name)
                       .arg(file.size)
                       .arg(chunks)
                       .arg(QString::fromLatin1(sha256.toHex())));

    if (options.resume && options.dryRun) {
        context.report(QStringLiteral("dry run: nothing was sent"));
        return ExitSuccess;
    }
    int code = ExitSuccess;
    const DeviceJob kind = options.resume ? DeviceJob::FirmwareRecovery : DeviceJob::FirmwareUpgrade;
    if (!context.openDevice(code, kind))
        return code;
    UpgradeSink sink(context, options.resume
                                  ? QStringLiteral("Erase the device and write %1 without a model check?").arg(name)
                                  : QStringLiteral("Erase the device's program and write %1?").arg(name));
    // The job runs on the device thread and talks to sink only through
    // DeviceSideSink; the command waits for its end, so sink outlives it.
    UpgradeSink *const command = &sink;
    DeviceRunner *const runner = &context.device;
    const bool resume = options.resume;
    // On a bench every unit keeps its backups in a folder of its own: units
    // of one model upgraded in the same second would otherwise share a file
    // name, and the newest ten of the whole bench would be all that is kept.
    const QString backupFolder = options.unitFolder.isEmpty()
                                     ? upgradeBackupFolder()
                                     : QDir(upgradeBackupFolder()).filePath(options.unitFolder);
    const JobOutcome ran = context.device.run(kind, [=](JobContext &job) {
        DeviceSideSink deviceSide(job.sink, *command, *runner, job.session);
        // What the erase may wipe, the device's five curves, is saved first.
        const auto saveBackup = [&] {
            DeviceInfo device;
            device.name = deviceSide.deviceModel;
            const QString backup = backupBeforeUpgrade(job.session, deviceSide, device, nullptr, backupFolder,
                                                       QDateTime::currentDateTime());
            // Said before the erase, on a line of its own: the write stage's
            // progress line comes after it.
            if (!backup.isEmpty())
                deviceSide.onCommandThread(
                    [&] { command->context.report(QStringLiteral("backup of the power curves: %1").arg(backup)); });
        };
        const UpgradeResult result = resume ? upgradeWithoutModelCheck(job.session, deviceSide, job.waiter, path)
                                            : upgrade(job.session, deviceSide, job.waiter, path, saveBackup);
        return JobResult{result == UpgradeResult::Written, QVariantList{int(result), deviceSide.interrupted}};
    }, false, &sink);
    const QVariantList outcome = ran.result.toList();
    const UpgradeResult result = UpgradeResult(outcome.value(0, int(UpgradeResult::Failed)).toInt());
    sink.interrupted = outcome.value(1).toBool();
    sink.endProgress();
    restoreInterrupts();
    switch (result) {
    case UpgradeResult::Written:
        context.report(versionsText(sink));
        return ExitSuccess;
    case UpgradeResult::NotReturned:
        return context.fail(ExitDeviceError, QStringLiteral("the firmware was written, but the device did not come back "
                                                            "within %1 s: it may still wait in its bootloader; %2")
                                                 .arg(ReturnWatchMs / 1000)
                                                 .arg(resumeHint(context)));
    case UpgradeResult::Declined:
        if (sink.refusedUnchecked)
            return context.fail(ExitDeviceError, resumeRefusalText(sink, path));
        if (sink.dryRunEnded) {
            context.report(QStringLiteral("dry run: the model matches; nothing was erased"));
            return ExitSuccess;
        }
        if (sink.interruptedBeforeErase)
            return context.interrupted(QStringLiteral("nothing was erased"));
        return context.fail(ExitUsage, sink.noTerminal ? QStringLiteral("not confirmed: standard input is no terminal; "
                                                                         "--yes upgrades without asking; nothing was erased")
                                                        : QStringLiteral("not confirmed; nothing was erased"));
    case UpgradeResult::Refused:
        if (sink.headerRead && !sink.modelMatches)
            return context.fail(ExitDeviceError, QStringLiteral("model mismatch: %1 is not firmware for this device; "
                                                                "nothing was erased").arg(path));
        if (sink.lines.contains(timeoutLine()))
            return context.fail(ExitDeviceError,
                                QStringLiteral("the device did not answer the model check; nothing was erased. A device "
                                               "that an interrupted upgrade left in its bootloader does not answer: %1")
                                    .arg(resumeHint(context)));
        return context.fail(ExitBadInput, QStringLiteral("%1 changed on disk; nothing was erased%2").arg(path, context.lastDeviceLine()));
    case UpgradeResult::Offline:
        return context.fail(ExitNoDevice, QStringLiteral("the device went away before the erase; nothing was erased"));
    case UpgradeResult::Failed:
        break;
    }
    if (sink.interrupted)
        return context.fail(ExitInterrupted, QStringLiteral("interrupted after %1 of %2 chunks: the device waits in its "
                                                            "bootloader without a working program; %3")
                                                 .arg(sink.chunksStarted)
                                                 .arg(chunks)
                                                 .arg(resumeHint(context)));
    return context.fail(ExitDeviceError, QStringLiteral("the firmware could not be written%1; the device waits in its "
                                                        "bootloader; %2").arg(context.lastDeviceLine(), resumeHint(context)));
}
