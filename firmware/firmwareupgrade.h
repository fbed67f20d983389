#pragma once
// The firmware upgrade through the bootloader: model check, erase, the
// device's restart into its bootloader, and the write stage.
//
// Nothing the bootloader is sent is answered. A chunk counts as delivered when
// its report was written whole; the only reply of the whole upgrade is the
// device name that the application gives for the model check.

#include "device/jobsink.h"

#include <QByteArray>
#include <QString>

#include <functional>

class DeviceSession;
class Waiter;

// What the upgrade tells its page beyond log lines and progress (the bytes of
// the file written so far, out of the file's size).
class FirmwareSink : public JobSink
{
public:
    // The page's file information line: why a file was refused, a wrong model.
    virtual void showFileInfo(const QString &text) { Q_UNUSED(text) }
    // The device is open for the upgrade; the erase comes next.
    virtual void upgradeStarted() {}
    // The write stage is about to send a file of size bytes; progress counts
    // bytes of that file from here on.
    virtual void writingFile(qint64 size) { Q_UNUSED(size) }
    // The model check has the device's name field: the file's model header
    // and the device's 48 bytes, before they are compared.
    virtual void modelHeaderRead(const QByteArray &fileHeader, const QByteArray &deviceField)
    {
        Q_UNUSED(fileHeader)
        Q_UNUSED(deviceField)
    }
    // Asked once the model matched, before the erase: false ends the upgrade
    // with nothing erased (a terminal tool asks its user here).
    virtual bool mayErase() { return true; }
    // Asked before each chunk of the write stage: true ends the stage there,
    // the device left in its bootloader (a terminal's Ctrl+C, obeyed between
    // chunks, never within one).
    virtual bool stopRequested() { return false; }
};

namespace Firmware {

enum class UpgradeResult {
    Refused, // the file or the model check said no ("中止固件升级！"); nothing erased
    Offline, // the device could not be opened for the erase
    Written, // the whole image and the jump to the application went out
    Failed,  // the write stage failed
    Declined, // the model matched, but the sink did not let the erase go ahead; nothing erased
};

// True when the model header of the file at path is the connected device's
// name field; the device then stays open for the erase.
bool checkModel(DeviceSession &session, FirmwareSink &sink, const QString &path);

// The erase command. The application takes it and restarts into the
// bootloader, so the handle it came through is closed.
void erase(DeviceSession &session, FirmwareSink &sink);

// The write stage: probe, the image data of the file at path chunk by chunk,
// then the jump to the new application. True when the jump was sent. A
// failure leaves the device open; the next device action goes on with it.
bool writeStage(DeviceSession &session, FirmwareSink &sink, Waiter &waiter, const QString &path);

// The whole upgrade: model check, erase, a second for the device to come back
// as its bootloader, and the write stage. The file is read again at each
// stage, so what lies on disk then is what is checked and sent. beforeErase,
// when given, runs once the model matched, with the device open (a backup of
// what the erase may wipe).
UpgradeResult upgrade(DeviceSession &session, FirmwareSink &sink, Waiter &waiter, const QString &path,
                      const std::function<void()> &beforeErase = {});

// The upgrade without its model check, for a device that an interrupted
// upgrade left in its bootloader (which answers no model query) with part of
// an image written. Chunks carry no address, so the bootloader is erased and
// starts over: erase, settle, write stage. A file that could not be written is
// refused before anything is erased.
UpgradeResult upgradeWithoutModelCheck(DeviceSession &session, FirmwareSink &sink, Waiter &waiter,
                                       const QString &path);

// The refresh command 0x04, unanswered; logs "刷新！" once it went out.
void refresh(DeviceSession &session, JobSink &sink);

} // namespace Firmware
