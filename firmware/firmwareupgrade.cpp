#include "firmware/firmwareupgrade.h"

#include "device/deviceinfo.h"
#include "device/devicesession.h"
#include "device/knowndevices.h"
#include "device/protocol_firmware.h"
#include "device/waiter.h"
#include "firmware/firmwareimage.h"
#include <QCoreApplication>
#include <QElapsedTimer>

#include <optional>

namespace Firmware {

namespace {

// After the erase the application restarts as the bootloader.
constexpr unsigned int BootloaderSettleMs = 1000;

// A full chunk that did not go out whole is sent again after these pauses.
constexpr unsigned int ChunkRetryPausesMs[] = {200, 1000};

// How often the write stage lets the window handle its events: once a frame.
constexpr qint64 EventIntervalMs = 16;

// After the jump the device list is looked at this often.
constexpr int ReturnLookIntervalMs = 250;

int returnWatchMs = ReturnWatchMs;

// A file that cannot be firmware: the reason in the file information and once in the log.
void showRefusal(FirmwareSink &sink, const QString &text)
{
    sink.showFileInfo(text);
    sink.log(text);
}

// The handle is taken afresh for every attempt: a handle closed during a
// pause is null, never used.
bool sendChunkWithRetries(DeviceSession &session, Waiter &waiter, const quint8 *chunk)
{
    if (session.sendFirmwareChunk(chunk, FirmwareChunkSize))
        return true;
    for (unsigned int pause : ChunkRetryPausesMs) {
        waiter.waitMs(pause);
        if (session.sendFirmwareChunk(chunk, FirmwareChunkSize))
            return true;
    }
    return false;
}

// The user asked to stop between two chunks. The handle stays open, as after
// any failure of the write stage; the device waits in its bootloader.
bool stopWriting(JobSink &sink)
{
    sink.log(QCoreApplication::translate("Firmware", "写固件已中断，设备停留在 Bootloader"));
    return false;
}

// A loaded file goes on; any other is refused with its reason.
bool usable(const FirmwareFile &file, FirmwareSink &sink)
{
    switch (file.status) {
    case FileStatus::Loaded:
        return true;
    case FileStatus::OutOfMemory:
        sink.log(QCoreApplication::translate("Firmware", "分配内存失败！"));
        return false;
    case FileStatus::Unreadable:
        sink.log(file.problem);
        return false;
    case FileStatus::Empty:
    case FileStatus::TooShort:
        // Changed on disk since it was chosen: no model header to compare.
        showRefusal(sink, refusalText(FileStatus::TooShort));
        return false;
    case FileStatus::TooLarge:
    case FileStatus::NoImage:
    case FileStatus::NotFirmware:
        showRefusal(sink, refusalText(file));
        return false;
    }
    return false;
}

// The version the device ran before, as last read from it.
QString versionBefore(const DeviceSession &session)
{
    return knownDevice(listedDevice(session.devicePath())).firmwareVersion;
}

QString returnText(const QString &before, const QString &after)
{
    if (after.isEmpty())
        return QCoreApplication::translate("Firmware", "升级完成：设备已返回，未读到固件版本");
    if (before.isEmpty())
        return QCoreApplication::translate("Firmware", "升级完成：设备现在运行 %1").arg(after);
    if (before == after)
        return QCoreApplication::translate("Firmware", "升级完成：%1（版本未变）").arg(after);
    return QCoreApplication::translate("Firmware", "升级完成：%1 → %2").arg(before, after);
}

QByteArray headerOf(const FirmwareFile &file)
{
    return QByteArray(reinterpret_cast<const char *>(file.data.get()), ModelHeaderSize);
}

// Before the write stage alone: is it really a bootloader that waits? The
// device is opened as the write stage opens it and asked for its model once.
// Nothing when writing may go on (the device left open), else the outcome.
std::optional<UpgradeResult> clearForWritingAlone(DeviceSession &session, FirmwareSink &sink, Waiter &waiter,
                                                  const FirmwareFile &file)
{
    sink.stageStarted(UpgradeStage::Checking);
    // The bootloader may still be enumerating: several attempts.
    if (!session.openWithRetries(waiter)) {
        sink.log(QCoreApplication::translate("Firmware", "打开设备失败"));
        return UpgradeResult::Offline;
    }
    const DeviceIdentity device = listedDevice(session.devicePath());
    const QByteArray header = headerOf(file);
    session.beginExchange();
    ReplyBuffer reply{};
    if (session.ask(makeApplicationBlock(Protocol::OpRead, Protocol::ItemName), reply)) {
        // An answer comes from the application: the model check applies in full.
        const QByteArray field = nameField(reply);
        rememberNameField(device, field);
        sink.log(QCoreApplication::translate("Firmware", "设备应答了型号查询：正在运行应用程序"));
        sink.modelHeaderRead(header, field);
        const quint8 *deviceName = reply.data() + Protocol::NameFieldOffset;
        const HeaderComparison comparison = compareModelHeader(file.data.get(), deviceName);
        for (const QString &line : comparison.lines)
            sink.logDetail(line);
        if (!comparison.matches) {
            sink.showFileInfo(QCoreApplication::translate("Firmware", "固件文件出错：不是本型号产品固件！"));
            sink.log(QCoreApplication::translate("Firmware", "中止固件升级！"));
            session.close();
            return UpgradeResult::Refused;
        }
        if (!sink.writeToApplication(modelName(field))) {
            sink.log(QCoreApplication::translate("Firmware", "已取消写入：设备在运行应用程序，请用“开始升级”"));
            session.close();
            return UpgradeResult::Declined;
        }
        return std::nullopt;
    }

    BootloaderTarget target;
    target.fileModel = modelName(header);
    const QByteArray known = knownDevice(device).nameField;
    target.known = known.size() == ModelHeaderSize;
    if (target.known) {
        target.knownModel = modelName(known);
        target.matches = compareModelHeader(file.data.get(), reinterpret_cast<const quint8 *>(known.constData())).matches;
    }
    sink.log(QCoreApplication::translate("Firmware", "设备未应答型号查询：视为在 Bootloader 中等待"));
    sink.log(QCoreApplication::translate("Firmware", "固件型号：%1；此设备上次读到的型号：%2")
                 .arg(target.fileModel,
                      target.known ? target.knownModel : QCoreApplication::translate("Firmware", "（从未读到）")));
    if (!sink.writeToBootloader(target)) {
        sink.log(QCoreApplication::translate("Firmware", "已取消写入，未擦除也未写入"));
        session.close();
        return UpgradeResult::Declined;
    }
    return std::nullopt;
}


UpgradeResult decline(DeviceSession &session, FirmwareSink &sink)
{
    sink.log(QCoreApplication::translate("Firmware", "已取消固件升级，未擦除"));
    session.close();
    return UpgradeResult::Declined;
}

} // namespace

bool checkModel(DeviceSession &session, FirmwareSink &sink, const QString &path)
{
    sink.stageStarted(UpgradeStage::Checking);
    const FirmwareFile file = loadFirmwareFile(path);
    if (!usable(file, sink))
        return false;

    if (!session.openFor(sink, QCoreApplication::translate("Firmware", "设备离线"), true))
        return false;
    session.beginExchange();
    ReplyBuffer reply{};
    if (!session.ask(makeApplicationBlock(Protocol::OpRead, Protocol::ItemName), reply)) {
        sink.log(QCoreApplication::translate("Firmware", "读取超时！"));
        session.close();
        return false;
    }
    rememberNameField(listedDevice(session.devicePath()), nameField(reply));

    const quint8 *deviceName = reply.data() + Protocol::NameFieldOffset;
    sink.modelHeaderRead(QByteArray(reinterpret_cast<const char *>(file.data.get()), ModelHeaderSize),
                         QByteArray(reinterpret_cast<const char *>(deviceName), ModelHeaderSize));
    const HeaderComparison comparison = compareModelHeader(file.data.get(), deviceName);
    for (const QString &line : comparison.lines)
        sink.logDetail(line);
    if (!comparison.matches) {
        sink.showFileInfo(QCoreApplication::translate("Firmware", "固件文件出错：不是本型号产品固件！"));
        session.close();
        return false;
    }
    return true;
}

void erase(DeviceSession &session, FirmwareSink &sink)
{
    session.beginExchange();
    // A device may restart before the erase report is through: the upgrade
    // goes on, but the log says so.
    if (session.sendBootloaderCommand(Protocol::CmdErase) != ReportOk)
        sink.log(QCoreApplication::translate("Firmware", "警告：擦除命令未完整发出（设备可能已重启）"));
    sink.log(QCoreApplication::translate("Firmware", "擦出成功！"));
    session.close();
}

bool writeStage(DeviceSession &session, FirmwareSink &sink, Waiter &waiter, const QString &path)
{
    FirmwareFile file = loadFirmwareFile(path);
    // Without a model header there is no image data to cut; refused before
    // the device is touched.
    if (file.status == FileStatus::Empty || file.status == FileStatus::TooShort
        || file.status == FileStatus::TooLarge) {
        showRefusal(sink, refusalText(file.status == FileStatus::TooLarge ? FileStatus::TooLarge
                                                                           : FileStatus::TooShort));
        return false;
    }

    // The bootloader may still be enumerating: several attempts.
    if (!session.openWithRetries(waiter)) {
        sink.log(QCoreApplication::translate("Firmware", "打开设备失败"));
        return false;
    }
    session.beginExchange();
    sink.log(QCoreApplication::translate("Firmware", "检测设备固件..."));
    // The probe also leaves the filler bytes "90123" after each chunk's data,
    // so chunks sent after a lost probe would carry the wrong bytes.
    if (session.sendBootloaderCommand(Protocol::CmdBootloaderProbe) != ReportOk) {
        sink.log(QCoreApplication::translate("Firmware", "检测Bootloader超时"));
        return false;
    }
    if (file.status == FileStatus::Unreadable) {
        sink.log(file.problem);
        sink.log(QCoreApplication::translate("Firmware", "打开固件文件失败！"));
        return false;
    }
    if (file.status == FileStatus::OutOfMemory) {
        sink.log(QCoreApplication::translate("Firmware", "分配内存失败！"));
        return false;
    }

    sink.log(QCoreApplication::translate("Firmware", "开始写固件，请稍后..."));
    sink.stageStarted(UpgradeStage::Writing);
    sink.writingFile(file.size);
    const ChunkPlan plan = planChunks(file.size);
    quint8 *const image = file.data.get();
    // Events (the window's repaints, a click) once a frame: a pass after every
    // chunk cost more than writing the chunk.
    QElapsedTimer sinceEvents;
    sinceEvents.start();
    for (qint64 chunk = 1; chunk <= plan.fullChunks; ++chunk) {
        if (sink.stopRequested())
            return stopWriting(sink);
        const qint64 offset = ChunkPlan::offsetOf(chunk);
        if (ChunkPlan::isLowered(chunk))
            lowerChunk(image + offset, FirmwareChunkSize);
        sink.progress(offset, file.size);
        if (!sendChunkWithRetries(session, waiter, image + offset)) {
            sink.log(QCoreApplication::translate("Firmware", "写固件失败！"));
            return false;
        }
        if (sinceEvents.hasExpired(EventIntervalMs)) {
            waiter.processEvents();
            sinceEvents.start();
        }
    }
    // The tail gets one attempt and does not move the progress.
    if (plan.tailLength > 0) {
        if (sink.stopRequested())
            return stopWriting(sink);
        if (!session.sendFirmwareChunk(image + plan.tailOffset, plan.tailLength)) {
            sink.log(QCoreApplication::translate("Firmware", "写固件失败！"));
            return false;
        }
        waiter.processEvents();
    }

    // The new application may start before the jump report is through.
    if (session.sendBootloaderCommand(Protocol::CmdStartApplication) != ReportOk)
        sink.log(QCoreApplication::translate("Firmware", "警告：跳转命令未完整发出（设备可能已重启）"));
    waiter.processEvents();
    sink.log(QCoreApplication::translate("Firmware", "写固件数据成功！"));
    sink.log(QCoreApplication::translate("Firmware", "跳转到用户程序！"));
    session.close();
    return true;
}

namespace {

// The erase, the device's restart into its bootloader, and the write stage.
UpgradeResult eraseAndWrite(DeviceSession &session, FirmwareSink &sink, Waiter &waiter, const QString &path)
{
    if (!session.open()) {
        sink.log(QCoreApplication::translate("Firmware", "打开设备失败"));
        return UpgradeResult::Offline;
    }
    sink.upgradeStarted();
    sink.stageStarted(UpgradeStage::Erasing);
    erase(session, sink);
    waiter.waitMs(BootloaderSettleMs);
    return writeStage(session, sink, waiter, path) ? UpgradeResult::Written : UpgradeResult::Failed;
}

UpgradeResult watched(UpgradeResult written, DeviceSession &session, FirmwareSink &sink, Waiter &waiter,
                      const QString &before)
{
    if (written != UpgradeResult::Written)
        return written;
    return watchForReturn(session, sink, waiter, before) ? UpgradeResult::Written : UpgradeResult::NotReturned;
}

} // namespace

UpgradeResult upgrade(DeviceSession &session, FirmwareSink &sink, Waiter &waiter, const QString &path,
                      const std::function<void()> &beforeErase)
{
    if (!checkModel(session, sink, path)) {
        sink.log(QCoreApplication::translate("Firmware", "中止固件升级！"));
        return UpgradeResult::Refused;
    }
    const QString before = versionBefore(session);
    if (!sink.mayErase())
        return decline(session, sink);
    if (beforeErase)
        beforeErase();
    return watched(eraseAndWrite(session, sink, waiter, path), session, sink, waiter, before);
}

UpgradeResult writeStageAlone(DeviceSession &session, FirmwareSink &sink, Waiter &waiter, const QString &path)
{
    // Nothing goes out for a file that could not be written.
    const FirmwareFile file = loadFirmwareFile(path);
    if (!usable(file, sink))
        return UpgradeResult::Refused;
    if (const std::optional<UpgradeResult> stop = clearForWritingAlone(session, sink, waiter, file))
        return *stop;
    const QString before = versionBefore(session);
    const UpgradeResult written =
        writeStage(session, sink, waiter, path) ? UpgradeResult::Written : UpgradeResult::Failed;
    return watched(written, session, sink, waiter, before);
}

UpgradeResult upgradeWithoutModelCheck(DeviceSession &session, FirmwareSink &sink, Waiter &waiter,
                                       const QString &path)
{
    // Nothing is sent for a file that could not be written afterwards.
    const FirmwareFile file = loadFirmwareFile(path);
    if (!usable(file, sink)) {
        sink.log(QCoreApplication::translate("Firmware", "中止固件升级！"));
        return UpgradeResult::Refused;
    }
    if (const std::optional<UpgradeResult> stop = clearForWritingAlone(session, sink, waiter, file))
        return *stop;
    const QString before = versionBefore(session);
    if (!sink.mayErase())
        return decline(session, sink);
    return watched(eraseAndWrite(session, sink, waiter, path), session, sink, waiter, before);
}

bool watchForReturn(DeviceSession &session, FirmwareSink &sink, Waiter &waiter, const QString &versionBefore)
{
    sink.stageStarted(UpgradeStage::Watching);
    sink.log(QCoreApplication::translate("Firmware", "等待设备返回..."));
    // The first look comes after the same second the bootloader is given
    // after the erase: the device leaves the bus and enumerates again. Counted
    // looks keep a test's quick waiter quick; the clock bounds the looks at a
    // silent bootloader, whose every query takes its whole time-out.
    QElapsedTimer clock;
    clock.start();
    const int looks = 1 + qMax(0, returnWatchMs - int(BootloaderSettleMs)) / ReturnLookIntervalMs;
    for (int look = 0; look < looks && !clock.hasExpired(returnWatchMs); ++look) {
        waiter.waitMs(look == 0 ? BootloaderSettleMs : unsigned(ReturnLookIntervalMs));
        const DeviceIdentity device = listedDevice(session.devicePath());
        if (!device.isListed() || !session.open())
            continue;
        session.beginExchange();
        ReplyBuffer reply{};
        if (!session.ask(makeApplicationBlock(Protocol::OpRead, Protocol::ItemName), reply)) {
            session.close();   // the bootloader still, or the application not up yet
            continue;
        }
        rememberNameField(device, nameField(reply));
        QString version;
        if (session.ask(makeApplicationBlock(Protocol::OpRead, Protocol::ItemFirmwareVersion), reply)) {
            version = decodeFirmwareVersion(reply);
            rememberFirmwareVersion(device, version);
        }
        session.close();
        sink.log(returnText(versionBefore, version));
        sink.deviceReturned(versionBefore, version);
        return true;
    }
    sink.log(QCoreApplication::translate("Firmware", "设备未返回：可能仍在 Bootloader 中"));
    return false;
}

void setReturnWatchMs(int ms)
{
    returnWatchMs = ms > 0 ? ms : ReturnWatchMs;
}

void refresh(DeviceSession &session, JobSink &sink)
{
    if (!session.open()) {
        sink.log(QCoreApplication::translate("Firmware", "打开设备失败"));
        return;
    }
    session.beginExchange();
    session.sendBootloaderCommand(Protocol::CmdRefresh);
    sink.log(QCoreApplication::translate("Firmware", "刷新！"));
    session.close();
}

} // namespace Firmware
