// UPLOAD: the editor's picture becomes the slot picture file and travels to
// the device as a start report, data reports and an end report.

#include "images/editdlg.h"

#include "app/mainwindow.h"
#include "device/devicelink.h"
#include "device/reports.h"
#include "images/imagereportsink.h"
#include "images/imageslot.h"
#include "images/imagestream.h"

#include <QBuffer>
#include <QDir>
#include <QImage>

#include <memory>

namespace {

const QString TransferStartText = QStringLiteral("发送图片--开始");
const QString TransferEndText = QStringLiteral("发送图片--结束");
const QString TransferFailedText = QStringLiteral("发送图片失败，传输已中止");
const QString NoPictureText = QStringLiteral("没有图片，未发送");
const QString SlotFileNotSavedText = QStringLiteral("图片文件无法保存，发送当前显示的图片");

// The picture as the slot file would have given it back (written and read as
// BMP), so the device gets the same bytes whether or not the file could be written.
QImage throughBmp(const QPixmap &pixmap)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage picture;
    if (pixmap.save(&buffer, "bmp"))
        picture.loadFromData(bytes, "bmp");
    return picture.isNull() ? pixmap.toImage() : picture;
}

// Data and end reports go out over the main window's device handle; each data
// report is logged with its number first.
class DeviceReportSink : public ImageReportSink
{
public:
    DeviceReportSink(const QPointer<MainWindow> &window, CommandRecord &record)
        : window(window), record(record)
    {
    }

    bool dataReport(int counter, const ApplicationBlock &block) override
    {
        if (!window)
            return false;
        window->appendLog(QString::number(counter));
        return send(block);
    }

    bool endReport(const ApplicationBlock &block) override { return send(block); }

    void progress(int value) override
    {
        if (window)
            window->setImageProgress(value);
    }

    // A report could not be written (as opposed to the window going away).
    bool writeFailed = false;

private:
    bool send(const ApplicationBlock &block)
    {
        if (!window)
            return false;
        writeFailed = sendApplicationCommand(record, window->deviceHandle(), block) != ReportOk;
        return !writeFailed;
    }

    const QPointer<MainWindow> &window;
    CommandRecord &record;
};

} // namespace

void editDlg::uploadImage()
{
    if (!mainWindow)
        return;
    // Held on the heap: should the main window (and with it the activity the
    // guard ends) go during the transfer, the guard must not be ended.
    auto guard = std::make_unique<DeviceActionGuard>(mainWindow->deviceActivity());
    if (!*guard) {
        mainWindow->reportDeviceBusy();
        return;
    }
    uploading = true;
    transferPicture();
    uploading = false;
    if (!mainWindow)
        static_cast<void>(guard.release());   // its activity went with the window: nothing to end
    guard.reset();
    if (deleteAfterUpload)
        deleteLater();
}

void editDlg::transferPicture()
{
    // An empty editor must not wipe the slot on the device.
    if (workPixmap.isNull()) {
        log(NoPictureText);
        return;
    }
    mainWindow->setImageProgress(2);
    const QImage picture = storeSlotPicture();
    if (!mainWindow)
        return;
    if (screenType == ColourScreenType)
        sendColourImage(picture);
    else
        sendMonoImage(picture);
}

QImage editDlg::storeSlotPicture()
{
    QDir().mkpath(imageFolder());
    const QString path = slotImagePath(slotNumber);
    const bool saved = workPixmap.save(path, "bmp", -1);
    mainWindow->refreshSlotIcons();
    QImage picture = saved ? QImage(path) : QImage();
    if (picture.isNull()) {
        // The device still gets the picture on screen, never a black stand-in.
        log(SlotFileNotSavedText);
        picture = throughBmp(workPixmap);
    }
    return picture;
}

editDlg::Opening editDlg::openTransfer(const ApplicationBlock &start)
{
    if (!mainWindow->openDeviceQuietly(QStringLiteral("设备离线")))
        return Opening::Failed;
    hid_device *&handle = mainWindow->deviceHandle();
    beginExchange(record, handle);
    if (!log(TransferStartText))
        return Opening::Failed;

    if (sendApplicationCommand(record, handle, start) != ReportOk) {
        failTransfer();
        return Opening::Failed;
    }
    // The acknowledgement's content means nothing to the tool; that it came does.
    ReplyBuffer reply{};
    const bool acknowledged = readReport(handle, reply, Protocol::ImageAckTimeoutMs);
    if (!log(acknowledged ? QStringLiteral("已收到回复") : QStringLiteral("读取超时！")))
        return Opening::Failed;
    return acknowledged ? Opening::Acknowledged : Opening::Unacknowledged;
}

void editDlg::failTransfer()
{
    if (!mainWindow)
        return;
    // Nothing more may follow a lost report; the handle is given up, so the
    // next action opens the device afresh.
    mainWindow->appendLog(TransferFailedText);
    if (mainWindow)
        closeDevice(mainWindow->deviceHandle());
}

void editDlg::finishTransfer()
{
    if (log(TransferEndText))
        closeDevice(mainWindow->deviceHandle());
}

void editDlg::sendColourImage(const QImage &picture)
{
    if (slotNumber == BootScreenSlot) {
        sendBootAnimation(picture);
        return;
    }
    sendColourStream(Protocol::ItemColourImage, [&](ApplicationBlock &block, ImageReportSink &sink) {
        return streamColourPicture(block, picture, imageWidth, imageHeight, sink);
    });
}

void editDlg::sendBootAnimation(const QImage &picture)
{
    // The slot's start report, then 25 generated frames of the boot strip.
    sendColourStream(Protocol::ItemMonoImage, [&](ApplicationBlock &block, ImageReportSink &sink) {
        return streamBootAnimation(block, picture, sink);
    });
}

void editDlg::sendColourStream(quint8 item, const ColourStream &stream)
{
    mainWindow->setImageProgress(2);
    // Without the device's go-ahead nothing more is sent, and the device stays
    // open for the next action.
    ApplicationBlock block = imageStartBlock(item, slotNumber, imageWidth, imageHeight);
    if (openTransfer(block) != Opening::Acknowledged)
        return;
    DeviceReportSink sink(mainWindow, record);
    if (!stream(block, sink)) {
        if (sink.writeFailed)
            failTransfer();
        return;
    }
    finishTransfer();
    if (mainWindow)
        mainWindow->setImageProgress(100);
}

void editDlg::sendMonoImage(const QImage &picture)
{
    // A one-bit screen takes the picture even when it did not acknowledge.
    ApplicationBlock block = imageStartBlock(Protocol::ItemMonoImage, slotNumber, imageWidth, imageHeight);
    if (openTransfer(block) == Opening::Failed)
        return;
    DeviceReportSink sink(mainWindow, record);
    if (!streamMonoPicture(block, picture, sink)) {
        if (sink.writeFailed)
            failTransfer();
        return;
    }
    finishTransfer();
}
