// UPLOAD: the editor's picture travels to the device as a start report, data
// reports and an end report, on the device controller's thread; once it has
// gone through (or failed), the picture becomes the slot picture file.

#include "editors/editdlg.h"
#include "ui_editdlg.h"

#include "control/devicecontroller.h"
#include "images/imageslot.h"
#include "images/pictureupload.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QKeyEvent>

#include <utility>

namespace {

QString noPictureText()
{
    return QCoreApplication::translate("Pictures", "没有图片，未发送");
}
QString slotFileNotSavedText()
{
    return QCoreApplication::translate("Pictures", "图片文件无法保存，发送当前显示的图片");
}

// The progress bar shows the upload has begun before anything is sent.
constexpr int UploadStartedProgress = 2;

} // namespace

void editDlg::connectController()
{
    ui->cancelToolButton->hide();
    if (!controller)
        return;
    connect(controller, &DeviceController::progress, this, [this](qint64 value, qint64) { uploadProgress(value); });
    connect(controller, &DeviceController::cancelled, this, [this](DeviceJob kind) {
        if (uploading && kind == DeviceJob::PictureUpload)
            cancelSeen = true;
    });
    connect(controller, &DeviceController::finished, this,
            [this](DeviceJob kind, bool success, const QVariant &) { uploadEnded(kind, success, cancelSeen); });
    // The window that owns the controller is going: no end will come, and
    // nothing is said to a window half taken down.
    connect(controller, &QObject::destroyed, this, [this] {
        if (!uploading)
            return;
        uploading = false;
        sending = QPixmap();
        if (deleteAfterUpload)
            deleteLater();
    });
}

void editDlg::uploadImage()
{
    if (!controller)
        return;
    // An empty editor must not wipe the slot on the device.
    if (workPixmap.isNull()) {
        log(noPictureText());
        return;
    }
    // The picture as the slot file will give it back, so the device gets the
    // very bytes the file holds, whether or not the file can be written.
    const PictureTarget target{slotNumber, imageWidth, imageHeight, screenType};
    // The controller refuses (and says so) while the device is busy.
    if (!controller->startPictureUpload(target, forScreen(pictureAsStored())))
        return;
    uploading = true;
    cancelSeen = false;
    sending = workPixmap;
    sendingStep = steps.index();
    showTransferRunning(true);
    emit progressChanged(UploadStartedProgress);
}

bool editDlg::cancelUpload()
{
    return uploading && controller && controller->cancel();
}

void editDlg::uploadProgress(qint64 value)
{
    if (uploading && controller && controller->runningJob() == DeviceJob::PictureUpload)
        emit progressChanged(int(value));
}

void editDlg::uploadEnded(DeviceJob kind, bool success, bool cancelled)
{
    if (!uploading || kind != DeviceJob::PictureUpload)
        return;
    uploading = false;
    cancelSeen = false;
    showTransferRunning(false);
    const QPixmap sent = std::exchange(sending, QPixmap());
    if (cancelled) {
        // Stopped part way: the bar goes back, nothing counts as done.
        emit progressChanged(0);
    } else {
        storeSlotPicture(sent);
    }
    sendingStep = -1;
    emit uploadFinished(success, cancelled);
    if (deleteAfterUpload)
        deleteLater();
}

void editDlg::storeSlotPicture(const QPixmap &sent)
{
    QDir().mkpath(imageFolder());
    if (!sent.save(slotImagePath(slotNumber), "bmp", -1)) {
        log(slotFileNotSavedText());
        return;
    }
    // Steps taken while the transfer ran are not in the file.
    if (steps.index() == sendingStep)
        steps.setClean();
    emit slotPictureSaved(slotNumber);
}

void editDlg::showTransferRunning(bool running)
{
    ui->cancelToolButton->setVisible(running);
}

void editDlg::on_cancelToolButton_clicked()
{
    cancelUpload();
}

void editDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && uploading) {
        cancelUpload();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QImage editDlg::pictureAsStored() const
{
    return throughBmpFile(workPixmap.toImage());
}
