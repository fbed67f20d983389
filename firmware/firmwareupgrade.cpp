#include "firmware/firmwareupgrade.h"

#include "device/devicesession.h"
#include "device/waiter.h"
#include "firmware/firmwareimage.h"
#include <QCoreApplication>
#include <QElapsedTimer>

namespace Firmware {

namespace {

// Reply offset of the device's name field, the counterpart of the model header.
constexpr int NameFieldOffset = 5;

// After the erase the application restarts as the bootloader.
constexpr unsigned int BootloaderSettleMs = 1000;

// A full chunk that did not go out whole is sent again after these pauses.
constexpr unsigned int ChunkRetryPausesMs[] = {200, 1000};

// How often the write stage lets the window handle its events: once a frame.
constexpr qint64 EventIntervalMs = 16;

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
    if (session.sendFirmwareChunk(chunk, ChunkSize))
        return true;
    for (unsigned int pause : ChunkRetryPausesMs) {
        waiter.waitMs(pause);
        if (session.sendFirmwareChunk(chunk, ChunkSize))
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
        showRefusal(sink, refusalText(file.status));
        return false;
    }
    return false;
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

    sink.modelHeaderRead(QByteArray(reinterpret_cast<const char *>(file.data.get()), ModelHeaderSize),
                         QByteArray(reinterpret_cast<const char *>(reply.data() + NameFieldOffset), ModelHeaderSize));
    const HeaderComparison comparison = compareModelHeader(file.data.get(), reply.data() + NameFieldOffset);
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
            lowerChunk(image + offset, ChunkSize);
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
    erase(session, sink);
    waiter.waitMs(BootloaderSettleMs);
    return writeStage(session, sink, waiter, path) ? UpgradeResult::Written : UpgradeResult::Failed;
}

} // namespace

UpgradeResult upgrade(DeviceSession &session, FirmwareSink &sink, Waiter &waiter, const QString &path,
                      const std::function<void()> &beforeErase)
{
    if (!checkModel(session, sink, path)) {
        sink.log(QCoreApplication::translate("Firmware", "中止固件升级！"));
        return UpgradeResult::Refused;
    }
    if (!sink.mayErase())
        return decline(session, sink);
    if (beforeErase)
        beforeErase();
    return eraseAndWrite(session, sink, waiter, path);
}

UpgradeResult upgradeWithoutModelCheck(DeviceSession &session, FirmwareSink &sink, Waiter &waiter,
                                       const QString &path)
{
    // Nothing is erased for a file that could not be written afterwards.
    if (!usable(loadFirmwareFile(path), sink)) {
        sink.log(QCoreApplication::translate("Firmware", "中止固件升级！"));
        return UpgradeResult::Refused;
    }
    if (!sink.mayErase())
        return decline(session, sink);
    return eraseAndWrite(session, sink, waiter, path);
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
