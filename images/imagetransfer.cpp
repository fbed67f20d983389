// UPLOAD: the editor's picture becomes the slot picture file and travels to
// the device as a start report, data reports and an end report.

#include "images/editdlg.h"

#include "device/devicesession.h"
#include "device/sessionsink.h"
#include "images/imageslot.h"
#include "images/pictureupload.h"

#include <QBuffer>
#include <QDir>
#include <QImage>

#include <memory>
#include <QCoreApplication>

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

// The upload's lines go out as the session's messages; its progress as the
// editor's signal.
class EditorSink : public SessionSink
{
public:
    EditorSink(DeviceSession *session, editDlg *editor) : SessionSink(session), editor(editor) {}

    void progress(qint64 value, qint64) override { emit editor->progressChanged(int(value)); }

private:
    editDlg *editor;
};

} // namespace

void editDlg::uploadImage()
{
    if (!session)
        return;
    // Held on the heap: should the session (and with it the activity the
    // guard ends) go during the transfer, the guard must not be ended.
    auto guard = std::make_unique<DeviceActionGuard>(session->activity());
    if (!*guard) {
        log(deviceBusyText());
        return;
    }
    uploading = true;
    transferPicture();
    uploading = false;
    if (!session)
        static_cast<void>(guard.release());   // its activity went with the session: nothing to end
    guard.reset();
    if (deleteAfterUpload)
        deleteLater();
}

void editDlg::transferPicture()
{
    // An empty editor must not wipe the slot on the device.
    if (workPixmap.isNull()) {
        log(noPictureText());
        return;
    }
    emit progressChanged(UploadStartedProgress);
    const QImage picture = forScreen(storeSlotPicture());
    if (!session)
        return;
    EditorSink sink(session, this);
    uploadPicture(*session, sink, {slotNumber, imageWidth, imageHeight, screenType}, picture);
}

QImage editDlg::storeSlotPicture()
{
    QDir().mkpath(imageFolder());
    const QString path = slotImagePath(slotNumber);
    const bool saved = workPixmap.save(path, "bmp", -1);
    if (saved)
        steps.setClean();
    emit slotPictureSaved(slotNumber);
    QImage picture = saved ? QImage(path) : QImage();
    if (picture.isNull()) {
        // The device still gets the picture on screen, never a black stand-in.
        log(slotFileNotSavedText());
        picture = throughBmpFile(workPixmap.toImage());
    }
    return picture;
}

QImage editDlg::pictureAsStored() const
{
    return throughBmpFile(workPixmap.toImage());
}
