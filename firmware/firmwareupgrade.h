#pragma once
// The firmware upgrade through the bootloader: model check, erase, the
// device's restart into its bootloader, the write stage, and the watch for
// the new application coming back.
//
// Nothing the bootloader is sent is answered. A chunk counts as delivered when
// its report was written whole; the replies of an upgrade are the device name
// that the application gives for the model check, and the name and version
// the new application gives once it is back.
//
// A wrong image written to a bootloader is how such devices are bricked, and
// the bootloader acknowledges nothing. So nothing is sent for a file that does
// not look like firmware, and the write stage alone (which skips the model
// check) first asks whether the device runs its application after all, and
// otherwise holds the file's model header against the name field the program
// last read from this device.

#include "device/jobsink.h"

#include <QByteArray>
#include <QString>

#include <functional>

class DeviceSession;
struct DeviceIdentity;
class Waiter;

// Where an upgrade has got to.
enum class UpgradeStage {
    Checking, // the file and the device's model
    Erasing,  // the erase, and the device's restart into its bootloader
    Writing,  // the probe and the chunks
    Watching, // the jump went out: waiting for the new application
};

// The write stage alone got no answer to its model query: the device is taken
// to wait in its bootloader.
struct BootloaderTarget
{
    QString fileModel;   // what the file's header names
    QString knownModel;  // what this device last said it is; empty when never heard
    bool known = false;  // a name field was remembered for this device
    bool matches = false; // the file's header equals it, all 48 bytes
};

// What the upgrade tells its page beyond log lines and progress (the bytes of
// the file written so far, out of the file's size).
class FirmwareSink : public JobSink
{
public:
    virtual void stageStarted(UpgradeStage stage) { Q_UNUSED(stage) }
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
    // The write stage alone, and the device answered its model query with the
    // file's model: it most likely runs its application, for which the full
    // upgrade is the right path. Only an explicit yes writes.
    virtual bool writeToApplication(const QString &model)
    {
        Q_UNUSED(model)
        return false;
    }
    // The write stage alone, and the device did not answer: only a yes writes.
    // A mismatch or an unknown device needs the user to accept the risk.
    virtual bool writeToBootloader(const BootloaderTarget &target)
    {
        Q_UNUSED(target)
        return false;
    }
    // The device came back after the jump and answered; either version may be
    // empty (never read before, or not answered now).
    virtual void deviceReturned(const QString &versionBefore, const QString &versionAfter)
    {
        Q_UNUSED(versionBefore)
        Q_UNUSED(versionAfter)
    }
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
    NotReturned, // written and the jump sent, but the device did not come back as its application
};

// How long the device gets to come back after the jump.
constexpr int ReturnWatchMs = 15000;

// True when the model header of the file at path is the connected device's
// name field; the device then stays open for the erase.
bool checkModel(DeviceSession &session, FirmwareSink &sink, const QString &path);

// The erase command. The application takes it and restarts into the
// bootloader, so the handle it came through is closed.
void erase(DeviceSession &session, FirmwareSink &sink);

// The write stage as the full upgrade runs it: probe, the image data of the file at path chunk by chunk,
// then the jump to the new application. True when the jump was sent. A
// failure leaves the device open; the next device action goes on with it.
bool writeStage(DeviceSession &session, FirmwareSink &sink, Waiter &waiter, const QString &path);

// The whole upgrade: model check, erase, a second for the device to come back
// as its bootloader, the write stage, and the watch for its return. The file
// is read again at each stage, so what lies on disk then is what is checked
// and sent. beforeErase, when given, runs once the model matched, with the
// device open (a backup of what the erase may wipe).
UpgradeResult upgrade(DeviceSession &session, FirmwareSink &sink, Waiter &waiter, const QString &path,
                      const std::function<void()> &beforeErase = {});

// The write stage alone (the window's "升级固件"), for a device that an
// interrupted upgrade left in its bootloader: the file checked, one model
// query, the sink's say (writeToApplication or writeToBootloader), then the
// write stage and the watch. Nothing is sent for a file that is refused.
UpgradeResult writeStageAlone(DeviceSession &session, FirmwareSink &sink, Waiter &waiter, const QString &path);

// The upgrade without its model check, for a device that an interrupted
// upgrade left in its bootloader (which answers no model query) with part of
// an image written. Chunks carry no address, so the bootloader is erased and
// starts over: the model query and the sink's say as for the write stage
// alone, then erase, settle, write stage and the watch. A file that could not
// be written is refused before anything is sent.
UpgradeResult upgradeWithoutModelCheck(DeviceSession &session, FirmwareSink &sink, Waiter &waiter,
                                       const QString &path);

// After the jump: the device list looked at for up to ReturnWatchMs, then the
// name and version asked. True once the new application answered.
bool watchForReturn(DeviceSession &session, FirmwareSink &sink, Waiter &waiter, const QString &versionBefore);

// Shortens the watch, for a test of a device that never comes back; 0 restores it.
void setReturnWatchMs(int ms);

// The refresh command 0x04, unanswered; logs "刷新！" once it went out.
void refresh(DeviceSession &session, JobSink &sink);

} // namespace Firmware
