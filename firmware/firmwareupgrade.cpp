// The stages of the bootloader exchange: model check, erase, write.
//
// Nothing the bootloader is sent is answered. A chunk counts as delivered when
// its report was written whole; the only reply of the whole upgrade is the
// device name that the application gives for the model check.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "device/devicelink.h"
#include "device/reports.h"
#include "firmware/firmwareimage.h"

#include <QCoreApplication>

using namespace Firmware;

namespace {

// Reply offset of the device's name field, the counterpart of the model header.
constexpr int NameFieldOffset = 5;

} // namespace

// True when the model header of the file at path is the connected device's
// name field; the device then stays open for the erase.
bool MainWindow::checkFirmwareModel(const QString &path)
{
    const FirmwareFile file = loadFirmwareFile(path);
    switch (file.status) {
    case FileStatus::Loaded:
        break;
    case FileStatus::OutOfMemory:
        appendLog(QStringLiteral("分配内存失败！"));
        ui->upgradeFirmwarePushButton->setEnabled(true);
        return false;
    case FileStatus::Unreadable:
        return false;
    case FileStatus::Empty:
    case FileStatus::TooShort:
        // Changed on disk since it was chosen: no model header to compare.
        showFirmwareRefusal(refusalText(FileStatus::TooShort));
        return false;
    case FileStatus::TooLarge:
        showFirmwareRefusal(refusalText(file.status));
        return false;
    }

    if (!openDeviceForAction(QStringLiteral("设备离线")))
        return false;
    beginExchange(record, handle);
    sendApplicationCommand(record, handle, makeApplicationBlock(Protocol::OpRead, Protocol::ItemName));
    ReplyBuffer reply{};
    if (!readReport(handle, reply, Protocol::ReplyTimeoutMs)) {
        appendLog(QStringLiteral("读取超时！"));
        closeDevice(handle);
        return false;
    }

    const HeaderComparison comparison = compareModelHeader(file.data.get(), reply.data() + NameFieldOffset);
    for (const QString &line : comparison.lines)
        appendLog(line);
    if (!comparison.matches) {
        ui->label_3_file_inf->setText(QStringLiteral("固件文件出错：不是本型号产品固件！"));
        closeDevice(handle);
        return false;
    }
    return true;
}

// The application takes the erase and restarts into the bootloader: the handle
// it came through is of no further use.
void MainWindow::eraseFirmware()
{
    beginExchange(record, handle);
    sendCommand(record, handle, Protocol::CmdErase, bootPattern, qint8(bootPattern.size()));
    appendLog(QStringLiteral("擦出成功！"));
    closeDevice(handle);
    ui->upgradeFirmwarePushButton->setEnabled(true);
}

// The write stage: probe, the image data of the file at path chunk by chunk,
// then the jump to the new application. True when the jump was sent. A failure
// leaves the device open; the next device action goes on with that handle.
bool MainWindow::writeFirmware(const QString &path)
{
    ui->upgradeFirmwarePushButton->setEnabled(false);
    FirmwareFile file = loadFirmwareFile(path);
    const auto fail = [this](const QString &text) {
        appendLog(text);
        ui->upgradeFirmwarePushButton->setEnabled(true);
        return false;
    };
    // Without a model header there is no image data to cut; refused before
    // the device is touched.
    if (file.status == FileStatus::Empty || file.status == FileStatus::TooShort
        || file.status == FileStatus::TooLarge) {
        showFirmwareRefusal(refusalText(file.status == FileStatus::TooLarge ? FileStatus::TooLarge
                                                                             : FileStatus::TooShort));
        ui->upgradeFirmwarePushButton->setEnabled(true);
        return false;
    }

    // The bootloader may still be enumerating: several attempts.
    if (!handle)
        handle = openDevice(Protocol::VendorId, Protocol::ProductId);
    if (!handle)
        return fail(QStringLiteral("打开设备失败"));
    beginExchange(record, handle);
    appendLog(QStringLiteral("检测设备固件..."));
    // The probe also leaves the filler bytes "90123" after each chunk's data.
    if (!sendBootloaderProbe(record, handle)) {
        appendLog(QStringLiteral("检测Bootloader超时"));
        return false;
    }
    if (file.status == FileStatus::Unreadable)
        return fail(QStringLiteral("打开固件文件失败！"));
    if (file.status == FileStatus::OutOfMemory)
        return fail(QStringLiteral("分配内存失败！"));

    appendLog(QStringLiteral("开始写固件，请稍后..."));
    const ChunkPlan plan = planChunks(file.size);
    quint8 *const image = file.data.get();
    for (qint64 chunk = 1; chunk <= plan.fullChunks; ++chunk) {
        const qint64 offset = ChunkPlan::offsetOf(chunk);
        if (ChunkPlan::isLowered(chunk))
            lowerChunk(image + offset, ChunkSize);
        ui->progressBar_updata->setValue(int(offset));
        if (!sendFirmwareChunkWithRetries(image + offset))
            return fail(QStringLiteral("写固件失败！"));
        QCoreApplication::processEvents();
    }
    // The tail gets one attempt and does not move the progress bar.
    if (plan.tailLength > 0) {
        if (!sendFirmwareChunk(record, handle, image + plan.tailOffset, plan.tailLength))
            return fail(QStringLiteral("写固件失败！"));
        QCoreApplication::processEvents();
    }

    sendCommand(record, handle, Protocol::CmdStartApplication, bootPattern, qint8(bootPattern.size()));
    QCoreApplication::processEvents();
    appendLog(QStringLiteral("写固件数据成功！"));
    appendLog(QStringLiteral("跳转到用户程序！"));
    closeDevice(handle);
    ui->upgradeFirmwarePushButton->setEnabled(true);
    return true;
}

// A full chunk that did not go out whole is sent again after 200 ms, then
// after another 1000 ms. The handle is taken afresh for every attempt: a
// handle closed during a pause is null, never used.
bool MainWindow::sendFirmwareChunkWithRetries(const quint8 *chunk)
{
    if (sendFirmwareChunk(record, handle, chunk, ChunkSize))
        return true;
    for (unsigned int pause : {200u, 1000u}) {
        waitMs(pause);
        if (sendFirmwareChunk(record, handle, chunk, ChunkSize))
            return true;
    }
    return false;
}
