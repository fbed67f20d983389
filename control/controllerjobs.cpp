// The core's device jobs as the controller runs them: each copies its
// arguments into the job and calls the job function on the device thread.
#include "control/devicecontroller.h"

#include "device/devicesession.h"
#include "device/waiter.h"
#include "images/slotquery.h"
#include "settings/curveexchange.h"
#include "settings/settingswrite.h"

#include <algorithm>

namespace {

constexpr bool Cancellable = true;
constexpr bool NotCancellable = false;

} // namespace

bool DeviceController::startDeviceQuery(const DeviceInfo &known)
{
    return start(DeviceJob::DeviceQuery, [known](JobContext &job) {
        DeviceQueryResult result{{}, known};
        result.query = queryDeviceInformation(job.session, job.sink, result.info);
        constexpr int AllItems = InfoName | InfoFirmwareVersion | InfoScreenAndRanges | InfoIdentification;
        return JobResult{result.query.items == AllItems, QVariant::fromValue(result)};
    }, Cancellable);
}

bool DeviceController::startSlotQuery(int slot)
{
    return start(DeviceJob::SlotQuery, [slot](JobContext &job) {
        SlotQueryResult result;
        result.geometry = querySlot(job.session, job.sink, slot, &result.answered);
        return JobResult{result.geometry.has_value(), QVariant::fromValue(result)};
    }, Cancellable);
}

bool DeviceController::startPictureUpload(const PictureTarget &target, const QImage &picture)
{
    return start(DeviceJob::PictureUpload, [target, picture](JobContext &job) {
        const UploadResult result = uploadPicture(job.session, job.sink, target, picture);
        return JobResult{result == UploadResult::Sent, QVariant::fromValue(result)};
    }, Cancellable);
}

bool DeviceController::startFirmwareUpgrade(const QString &path, std::function<void(JobContext &)> beforeErase)
{
    return start(DeviceJob::FirmwareUpgrade, [path, beforeErase](JobContext &job) {
        std::function<void()> backup;
        if (beforeErase)
            backup = [&] { beforeErase(job); };
        const auto result = Firmware::upgrade(job.session, job.sink, job.waiter, path, backup);
        return JobResult{result == Firmware::UpgradeResult::Written, QVariant::fromValue(result)};
    }, NotCancellable);
}

bool DeviceController::startFirmwareRecovery(const QString &path)
{
    return start(DeviceJob::FirmwareRecovery, [path](JobContext &job) {
        const auto result = Firmware::upgradeWithoutModelCheck(job.session, job.sink, job.waiter, path);
        return JobResult{result == Firmware::UpgradeResult::Written, QVariant::fromValue(result)};
    }, NotCancellable);
}

bool DeviceController::startFirmwareWriteStage(const QString &path)
{
    return start(DeviceJob::FirmwareWriteStage, [path](JobContext &job) {
        const bool written = Firmware::writeStage(job.session, job.sink, job.waiter, path);
        return JobResult{written, written};
    }, NotCancellable);
}

bool DeviceController::startFirmwareWriteAlone(const QString &path)
{
    return start(DeviceJob::FirmwareWriteAlone, [path](JobContext &job) {
        const auto result = Firmware::writeStageAlone(job.session, job.sink, job.waiter, path);
        return JobResult{result == Firmware::UpgradeResult::Written, QVariant::fromValue(result)};
    }, NotCancellable);
}

bool DeviceController::startRefresh()
{
    return start(DeviceJob::Refresh, [](JobContext &job) {
        Firmware::refresh(job.session, job.sink);
        return JobResult{true, QVariant()};
    }, NotCancellable);
}

bool DeviceController::startSettingsWrite(const SettingsValues &values)
{
    return start(DeviceJob::SettingsWrite, [values](JobContext &job) {
        const bool written = writeSettings(job.session, job.sink, values);
        return JobResult{written, written};
    }, NotCancellable);
}

bool DeviceController::startCurveRead(int curve)
{
    return start(DeviceJob::CurveRead, [curve](JobContext &job) {
        const CurveReadResult points = readCurve(job.session, job.sink, curve);
        return JobResult{points.has_value(), QVariant::fromValue(points)};
    }, Cancellable);
}

bool DeviceController::startCurveReadAll()
{
    return start(DeviceJob::CurveReadAll, [](JobContext &job) {
        const CurveReadAllResult curves = readAllCurves(job.session, job.sink, [&job](int curve, const CurvePointsRow &points) {
            job.note(QStringLiteral("curveRead"), QVariantList{curve, QVariant::fromValue(CurveReadResult(points))});
        });
        const bool everyCurve = std::all_of(curves.begin(), curves.end(), [](const auto &points) { return points.has_value(); });
        return JobResult{everyCurve, QVariant::fromValue(curves)};
    }, Cancellable);
}

bool DeviceController::startCurveWrite(int curve, const CurvePointsRow &points)
{
    return start(DeviceJob::CurveWrite, [curve, points](JobContext &job) {
        const bool written = writeCurve(job.session, job.sink, curve, points);
        return JobResult{written, written};
    }, NotCancellable);
}

bool DeviceController::startProfileApply(const Profile &profile, int settleMs)
{
    return start(DeviceJob::ProfileApply, [profile, settleMs](JobContext &job) {
        if (settleMs > 0)
            job.waiter.waitMs(unsigned(settleMs));
        bool written = writeSettings(job.session, job.sink, profile.settings);
        for (int curve = 0; curve < CurveCount && written; ++curve)
            if (const auto &points = profile.curves[size_t(curve)])
                written = writeCurve(job.session, job.sink, curve, *points);
        return JobResult{written, written};
    }, NotCancellable);
}
