#include "app/pages/devicepage.h"
#include "ui_mainwindow.h"

#include "app/pages/windowoutput.h"
#include "desktop/datafolder.h"
#include "control/devicecontroller.h"
#include "device/deviceinfoquery.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QTimer>

#include <memory>

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

DevicePage::DevicePage(Ui::MainWindow &ui, DeviceController &controller, WindowOutput &output, DeviceInfo &info,
                       QObject *parent)
    : QObject(parent), ui(ui), controller(controller), output(output), info(info)
{
    // What the device says about itself is shown as it is, never as markup.
    for (QLabel *label : {ui.lab_dev_name, ui.lab_dev_version, ui.lab_dev_size, ui.lab_dev_power,
                          ui.lab_dev_wendu, ui.lab_dev_support})
        label->setTextFormat(Qt::PlainText);
    setupHint();
    connect(&controller, &DeviceController::deviceReachable, this, &DevicePage::showReachability);
    connect(&controller, &DeviceController::finished, this, [this](DeviceJob kind, bool, const QVariant &result) {
        if (kind == DeviceJob::DeviceQuery)
            queryFinished(result);
    });
    connect(&controller, &DeviceController::arrived, this, &DevicePage::deviceArrived);
    connect(&controller, &DeviceController::left, this, &DevicePage::deviceLeft);
}

void DevicePage::readDevice()
{
    controller.startDeviceQuery(info);
}

void DevicePage::queryFinished(const QVariant &result)
{
    if (!result.canConvert<DeviceQueryResult>()) {
        output.showResult(tr("已取消"));   // cancelled: the labels keep what they showed
        return;
    }
    const DeviceQueryResult answer = result.value<DeviceQueryResult>();
    info = answer.info;
    const DeviceQuery &query = answer.query;
    showInformation(query.items);
    if (query.online && seenLeaving) {
        seenLeaving = false;
        output.addLogLine(tr("设备已重新连接"));
    }
    if ((query.items & InfoScreenAndRanges) && rangesRead)
        rangesRead();
    constexpr int AllItems = InfoName | InfoFirmwareVersion | InfoScreenAndRanges | InfoIdentification;
    output.showResult(!query.online ? openFailureSummary(lastOpenFailure)
                             : query.items == AllItems ? tr("设备信息已读取")
                                                       : tr("设备信息读取不全：读取超时"));
}

// The labels of the items that answered; the others keep what they showed.
void DevicePage::showInformation(int items)
{
    if (items & InfoName) {
        ui.lab_dev_name->setText(info.name);
        const QString picture = devicePicturePath(info.name);
        ui.device_image->setIcon(picture.isEmpty() ? QIcon() : QIcon(picture));
    }
    if (items & InfoFirmwareVersion)
        ui.lab_dev_version->setText(info.firmwareVersion);
    if (items & InfoScreenAndRanges) {
        ui.lab_dev_size->setText(screenSizeText(info.screen));
        ui.lab_dev_power->setText(powerRangeText(info.screen));
        ui.lab_dev_wendu->setText(temperatureRangeText(info.screen));
    }
    if (items & InfoIdentification)
        ui.lab_dev_support->setText(info.identification);
}

// --- device presence

// Text over the device picture's panel, shown only while the device cannot be
// opened; the panel keeps its size. Selectable, so the commands that fix a missing permission can be
// copied from it.
void DevicePage::setupHint()
{
    hint = new QLabel(ui.device_image);
    hint->setObjectName(QStringLiteral("deviceHintLabel"));
    hint->setTextFormat(Qt::PlainText);
    hint->setWordWrap(true);
    hint->setAlignment(Qt::AlignCenter);
    hint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Dark on the panel, which shows light where the picture would be.
    hint->setStyleSheet(QStringLiteral("color: rgb(16, 40, 86); background: transparent;"));
    hint->setMargin(20);
    new CoverParent(hint, ui.device_image);
    hint->hide();
}

void DevicePage::showReachability(bool online)
{
    output.showReachable(online);
    if (online) {
        hint->hide();
        controller.assumePresent(true);
        return;
    }
    const OpenFailure failure = diagnoseOpenFailure();
    controller.assumePresent(failure == OpenFailure::NotAccessible, false);
    showOpenFailure(failure);
}

void DevicePage::showOpenFailure(OpenFailure failure)
{
    lastOpenFailure = failure;
    // The picture of a device that is not there would say otherwise.
    ui.device_image->setIcon(QIcon());
    hint->setText(openFailureExplanation(failure, shippedUdevRule()));
    hint->show();
}

// A device just plugged in is read as DEVICE reads it, once its node has had
// a moment to get the user's permissions; the page stays where the user is.
void DevicePage::deviceArrived()
{
    QTimer::singleShot(DeviceWatch::ArrivalSettleMs, this, &DevicePage::queryArrivedDevice);
}

void DevicePage::queryArrivedDevice()
{
    if (!controller.isPresent())
        return;   // gone again meanwhile
    if (controller.isBusy()) {
        // Not refused like a click: read it once the device is free, before
        // what the running job's end starts next.
        controller.whenFree(this, [this] { queryArrivedDevice(); });
        return;
    }
    readDevice();
}

// A handle left open for the next job (the slot query's, for the upload) went
// with the device: the device thread gave it up when its listing missed it.
void DevicePage::deviceLeft()
{
    output.showReachable(false);
    showOpenFailure(OpenFailure::NotAttached);
    // What the table showed belonged to the device that went.
    info = DeviceInfo();
    for (QLabel *label : {ui.lab_dev_name, ui.lab_dev_version, ui.lab_dev_size, ui.lab_dev_power,
                          ui.lab_dev_wendu, ui.lab_dev_support})
        label->setText(QStringLiteral("-"));
    seenLeaving = true;
    output.addLogLine(deviceLeftText());
    output.showResult(deviceLeftText());
}
