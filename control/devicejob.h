#pragma once
// What a DeviceController runs and says: the kinds of device job, the states
// of the device as the controller sees it, and the values its jobs finish with.
// Everything here is a plain value, so it can cross from the device thread.

#include "device/deviceinfo.h"
#include "device/deviceinfoquery.h"
#include "firmware/firmwareupgrade.h"
#include "images/imageslot.h"
#include "images/pictureupload.h"
#include "settings/powercurves.h"

#include <QMetaType>
#include <QVariant>

#include <array>
#include <functional>
#include <optional>

class DeviceSession;
class Waiter;

enum class DeviceJob {
    None,
    DeviceQuery,
    SlotQuery,
    PictureUpload,
    FirmwareUpgrade,
    FirmwareRecovery, // the upgrade without its model check
    FirmwareWriteStage,
    FirmwareWriteAlone, // the write stage for a device in its bootloader, with its questions
    Refresh,
    SettingsWrite,
    CurveRead,
    CurveReadAll, // the five curves, one after another
    CurveWrite,
    ProfileApply,
};

enum class DeviceState {
    Absent,        // the system lists no device
    NotAccessible, // listed, but it could not be opened (no permission)
    Idle,          // attached, nothing running
    Busy,          // a job runs (which one comes with the state)
    Unresponsive,  // a write or read has been stuck well past its time-out
};

// How a job ended: success as its own kind counts it, and its result.
struct JobResult
{
    bool success = false;
    QVariant value;
};

// What a job function gets on the device thread: the controller's session, a
// sink whose lines and progress go to the controller, a waiter that sleeps,
// and a way to tell the page a value beyond them (the controller's jobNote).
struct JobContext
{
    DeviceSession &session;
    FirmwareSink &sink;
    Waiter &waiter;
    std::function<void(const QString &what, const QVariant &value)> note;
};

// A job as the device thread runs it. It must hold only values: it runs on
// another thread and may outlive whoever asked for it.
using JobFunction = std::function<JobResult(JobContext &)>;

// Results of the typed jobs.
struct DeviceQueryResult
{
    DeviceQuery query;
    DeviceInfo info; // what was asked for, with the items that answered filled in
};

struct SlotQueryResult
{
    std::optional<SlotGeometry> geometry; // empty: not opened, or no usable size
    bool answered = false;                // the device's reply, not the stand-in
};

using CurveReadResult = std::optional<CurvePointsRow>;
// The five curves as read; a curve the device did not answer stays empty.
using CurveReadAllResult = std::array<std::optional<CurvePointsRow>, CurveCount>;

Q_DECLARE_METATYPE(DeviceJob)
Q_DECLARE_METATYPE(DeviceState)
Q_DECLARE_METATYPE(DeviceQueryResult)
Q_DECLARE_METATYPE(SlotQueryResult)
Q_DECLARE_METATYPE(UploadResult)
Q_DECLARE_METATYPE(Firmware::UpgradeResult)
Q_DECLARE_METATYPE(CurveReadResult)
Q_DECLARE_METATYPE(CurveReadAllResult)
