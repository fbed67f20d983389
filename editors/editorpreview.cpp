// DEVICE VIEW and PLAY: the editor's picture as the device's screen will show
// it, rebuilt from the data the upload would send.

#include "editors/editdlg.h"
#include "ui_editdlg.h"

#include "images/devicepreview.h"
#include "images/imageslot.h"
#include "images/streampreview.h"
#include "images/toolwindowplace.h"
#include <QCoreApplication>

QImage editDlg::forScreen(const QImage &picture) const
{
    if (screenType == ColourScreenType)
        return picture;
    return oneBitPicture(picture, dithering, invertBits);
}

QImage editDlg::deviceView() const
{
    if (workPixmap.isNull())
        return QImage();
    const QImage sent = forScreen(pictureAsStored());
    if (screenType != ColourScreenType)
        return oneBitStreamPreview(sent);
    if (slotNumber == BootScreenSlot)
        return bootAnimationView().constLast();
    return colourStreamPreview(sent, imageWidth, imageHeight);
}

QVector<QImage> editDlg::bootAnimationView() const
{
    return bootAnimationPreview(workPixmap.isNull() ? QImage() : pictureAsStored());
}

void editDlg::on_previewToolButton_toggled(bool checked)
{
    if (checked && !preview) {
        // A window of its own beside the editor, going with it.
        preview = new DevicePreview(this);
        preview->setWindowFlags(Qt::Tool);
        preview->setWindowTitle(QCoreApplication::translate("Pictures", "设备显示 — %1").arg(windowTitle()));
        connect(preview, &DevicePreview::pictureShown, this, &editDlg::showDeviceView);
        connect(preview, &DevicePreview::closed, this, [this] { ui->previewToolButton->setChecked(false); });
    }
    // The picture first: it gives the window its size, which decides where it fits.
    refreshImageButton();
    if (preview) {
        if (!checked)
            preview->hide();
        else if (!preview->isVisible())
            ToolWindowPlace::showBeside(preview, this);
    }
}

void editDlg::on_playToolButton_clicked()
{
    if (!ui->previewToolButton->isChecked())
        ui->previewToolButton->setChecked(true);
    if (preview)
        preview->play(bootAnimationView());
}

DevicePreview *editDlg::devicePreview() const
{
    return preview;
}
