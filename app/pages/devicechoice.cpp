#include "app/pages/devicechoice.h"

#include "app/pages/windowoutput.h"
#include "device/deviceactivity.h"
#include "control/devicecontroller.h"

#include <QComboBox>
#include <QSignalBlocker>

DeviceChoice::DeviceChoice(DeviceController &controller, WindowOutput &output, std::function<void()> readChosen,
                           QObject *parent)
    : QObject(parent), controller(controller), output(output), readChosen(std::move(readChosen))
{
    connect(&controller, &DeviceController::attachedChanged, this, &DeviceChoice::followListing);
    connect(&controller, &DeviceController::devicePathFollowed, this, &DeviceChoice::fillBox);
}

void DeviceChoice::attachBox(QComboBox *newBox)
{
    box = newBox;
    // activated: the user's choice only, not the entries changing under it.
    connect(box, QOverload<int>::of(&QComboBox::activated), this, [this](int index) {
        if (!choose(box->itemData(index).toByteArray()))
            fillBox();   // back to the device still served
    });
    fillBox();
}

void DeviceChoice::followListing()
{
    const QVector<DeviceIdentity> devices = controller.attachedDevices();
    const QByteArray held = controller.devicePath();
    if (held.isEmpty() && devices.size() > 1) {
        // A second device has come: from now on the one served is held by its
        // path: the unit served alone until now when it is still here (a newcomer
        // may be listed before it), otherwise the first one listed.
        QByteArray keep = devices.first().path;
        for (const DeviceIdentity &device : devices) {
            if (device.path == servedAlone)
                keep = device.path;
        }
        controller.setDevicePath(keep);
    } else if (!held.isEmpty() && (devices.isEmpty() || (devices.size() == 1 && devices.first().path == held))) {
        // Back to one unit, the one held, or to none: served as a lone device
        // is, so that the next unit plugged in alone is served as always.
        controller.setDevicePath(QByteArray());
    }
    if (devices.size() == 1 && controller.devicePath().isEmpty())
        servedAlone = devices.first().path;
    fillBox();
}

bool DeviceChoice::choose(const QByteArray &path)
{
    if (path.isEmpty() || path == controller.devicePath())
        return true;
    if (controller.isBusy()) {
        output.addLogLine(deviceBusyText());
        output.showResult(deviceBusyText());
        return false;
    }
    controller.setDevicePath(path);
    chosenSerial.clear();
    fillBox();
    if (readChosen)
        readChosen();
    return true;
}

void DeviceChoice::fillBox()
{
    if (!box)
        return;
    const QSignalBlocker quiet(box);
    box->clear();
    const QByteArray chosen = controller.devicePath();
    bool chosenListed = false;
    for (const DeviceIdentity &device : controller.attachedDevices()) {
        const QString path = QString::fromLocal8Bit(device.path);
        box->addItem(device.serial.isEmpty() ? path : device.serial + QStringLiteral(" — ") + path, device.path);
        if (device.path == chosen) {
            chosenListed = true;
            chosenSerial = device.serial;
        }
    }
    // The device served and gone stays in the list, marked, until another is chosen.
    if (!chosen.isEmpty() && !chosenListed) {
        const QString path = QString::fromLocal8Bit(chosen);
        box->addItem(tr("%1（已断开）").arg(chosenSerial.isEmpty() ? path : chosenSerial + QStringLiteral(" — ") + path),
                     chosen);
    }
    box->setCurrentIndex(qMax(0, box->findData(chosen)));
    box->setVisible(box->count() > 1);
}
