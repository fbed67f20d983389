#include "editors/picturetransfer.h"

#include "control/devicecontroller.h"
#include "desktop/datafolder.h"
#include "images/imageslot.h"

#include <QDir>
#include <QFile>

#include <utility>

PictureTransfer::PictureTransfer(DeviceController *deviceController, QObject *parent)
    : QObject(parent), controller(deviceController)
{
    if (!controller)
        return;
    connect(controller, &DeviceController::progress, this, [this](qint64 value, qint64) {
        if (running && controller && controller->runningJob() == DeviceJob::PictureUpload)
            emit progressed(int(value));
    });
    connect(controller, &DeviceController::cancelled, this, [this](DeviceJob kind) {
        if (running && kind == DeviceJob::PictureUpload)
            cancelSeen = true;
    });
    connect(controller, &DeviceController::finished, this, [this](DeviceJob kind, bool success, const QVariant &) {
        if (running && kind == DeviceJob::PictureUpload)
            finish(success);
    });
    // The window that owns the controller is going: no end will come.
    connect(controller, &QObject::destroyed, this, [this] {
        if (!running)
            return;
        running = false;
        sending.clear();
        emit abandoned();
    });
}

bool PictureTransfer::start(const PictureTarget &target, const QImage &screen, const QByteArray &slotFile)
{
    // The controller refuses (and says so) while the device is busy.
    if (!controller || !controller->startPictureUpload(target, screen))
        return false;
    slot = target.slot;
    running = true;
    cancelSeen = false;
    sending = slotFile;
    return true;
}

bool PictureTransfer::cancel()
{
    return running && controller && controller->cancel();
}

void PictureTransfer::finish(bool success)
{
    running = false;
    const bool cancelled = std::exchange(cancelSeen, false);
    // Stopped part way: nothing counts as done.
    const bool written = !cancelled && writeSlotFile();
    sending.clear();
    emit ended(success, cancelled, written);
}

bool PictureTransfer::writeSlotFile() const
{
    if (sending.isEmpty())
        return false;
    QDir().mkpath(imageFolder());
    QFile file(slotImagePath(slot));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(sending) == sending.size()
           && file.flush();
}
