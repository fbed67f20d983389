// The Devices page: who the attached device is, read fresh on every visit and
// whenever a device is plugged in; why it cannot be read when it cannot.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/dialogpointers.h"
#include "app/windowlayout.h"
#include "app/windowsink.h"
#include "desktop/datafolder.h"
#include "device/deviceinfoquery.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QTimer>

namespace {

// Keeps a child covering its parent without a layout, which would let the
// child's wrapped text decide the parent's height.
class CoverParent : public QObject
{
public:
    CoverParent(QWidget *cover, QWidget *parent) : QObject(cover), cover(cover)
    {
        parent->installEventFilter(this);
        cover->setGeometry(parent->rect());
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize)
            cover->setGeometry(static_cast<QWidget *>(watched)->rect());
        return false;
    }

private:
    QWidget *cover;
};

} // namespace

void MainWindow::on_m_btn_Devices_clicked()
{
    closeDialog(openImageEditor);
    ui->m_btn_User->hide();
    if (!serviceMode)
        ui->logTextBrowser->hide();
    setSideButtonIcons(":/image/select_devices_on.jpg", ":/image/select_upgrade.jpg",
                       ":/image/select_settings.jpg");
    ui->stackedWidget->setCurrentIndex(WindowLayout::DevicesPage);
    queryDevice();
}

void MainWindow::queryDevice()
{
    // Refused with the busy line while another job runs; the answer comes in
    // deviceQueryFinished.
    deviceController.startDeviceQuery(info);
}

void MainWindow::deviceQueryFinished(const QVariant &result)
{
    if (!result.canConvert<DeviceQueryResult>()) {
        showServiceStatus(tr("已取消"));   // cancelled: the labels keep what they showed
        return;
    }
    const DeviceQueryResult answer = result.value<DeviceQueryResult>();
    info = answer.info;
    const DeviceQuery &query = answer.query;
    showDeviceInformation(query.items);
    if (query.online && seenLeaving) {
        seenLeaving = false;
        appendLog(tr("设备已重新连接"));
    }
    if (query.items & InfoScreenAndRanges)
        checkSettingsRanges();
    constexpr int AllItems = InfoName | InfoFirmwareVersion | InfoScreenAndRanges | InfoIdentification;
    showServiceStatus(!query.online ? openFailureSummary(lastOpenFailure)
                      : query.items == AllItems ? tr("设备信息已读取")
                                                : tr("设备信息读取不全：读取超时"));
}

// The labels of the items that answered; the others keep what they showed.
void MainWindow::showDeviceInformation(int items)
{
    if (items & InfoName) {
        ui->lab_dev_name->setText(info.name);
        const QString picture = devicePicturePath(info.name);
        ui->device_image->setIcon(picture.isEmpty() ? QIcon() : QIcon(picture));
    }
    if (items & InfoFirmwareVersion)
        ui->lab_dev_version->setText(info.firmwareVersion);
    if (items & InfoScreenAndRanges) {
        ui->lab_dev_size->setText(screenSizeText(info.screen));
        ui->lab_dev_power->setText(powerRangeText(info.screen));
        ui->lab_dev_wendu->setText(temperatureRangeText(info.screen));
    }
    if (items & InfoIdentification)
        ui->lab_dev_support->setText(info.identification);
}

// --- device presence

// Text over the device picture's panel, shown only while the device cannot be
// opened; the panel keeps its size. Selectable, so the commands that fix a missing permission can be
// copied from it.
void MainWindow::setupDeviceHint()
{
    deviceHint = new QLabel(ui->device_image);
    deviceHint->setObjectName(QStringLiteral("deviceHintLabel"));
    deviceHint->setTextFormat(Qt::PlainText);
    deviceHint->setWordWrap(true);
    deviceHint->setAlignment(Qt::AlignCenter);
    deviceHint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Dark on the panel, which shows light where the picture would be.
    deviceHint->setStyleSheet(QStringLiteral("color: rgb(16, 40, 86); background: transparent;"));
    deviceHint->setMargin(20);
    new CoverParent(deviceHint, ui->device_image);
    deviceHint->hide();
}

void MainWindow::showDeviceReachability(bool online)
{
    showDeviceStatus(online);
    if (online) {
        deviceHint->hide();
        deviceController.assumePresent(true);
        return;
    }
    const OpenFailure failure = diagnoseOpenFailure();
    deviceController.assumePresent(failure == OpenFailure::NotAccessible, false);
    showOpenFailure(failure);
}

void MainWindow::showOpenFailure(OpenFailure failure)
{
    lastOpenFailure = failure;
    // The picture of a device that is not there would say otherwise.
    ui->device_image->setIcon(QIcon());
    deviceHint->setText(openFailureExplanation(failure, shippedUdevRule()));
    deviceHint->show();
}

// A device just plugged in is read as DEVICE reads it, once its node has had
// a moment to get the user's permissions; the page stays where the user is.
void MainWindow::deviceArrived()
{
    QTimer::singleShot(DeviceWatch::ArrivalSettleMs, this, &MainWindow::queryArrivedDevice);
}

void MainWindow::queryArrivedDevice()
{
    if (!deviceController.isPresent())
        return;   // gone again meanwhile
    if (deviceController.isBusy() || deviceSession.activity().isBusy()) {
        // Not refused like a click: read it once the running action is over.
        deviceSession.activity().whenIdle(
            [this] { QTimer::singleShot(0, this, &MainWindow::queryArrivedDevice); });
        return;
    }
    queryDevice();
}

void MainWindow::deviceLeft()
{
    // A handle left open for the next action (the slot query's, for the
    // upload) went with the device; that action opens the device anew. The
    // watch reports only between actions, so no action is using the handle.
    deviceSession.close();
    showDeviceStatus(false);
    showOpenFailure(OpenFailure::NotAttached);
    // What the table showed belonged to the device that went.
    info = DeviceInfo();
    for (QLabel *label : {ui->lab_dev_name, ui->lab_dev_version, ui->lab_dev_size, ui->lab_dev_power,
                          ui->lab_dev_wendu, ui->lab_dev_support})
        label->setText(QStringLiteral("-"));
    seenLeaving = true;
    appendLog(deviceLeftText());
    showServiceStatus(deviceLeftText());
}
