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
    // A second device has come: from now on the one served is held by its
    // path. The listing named it (with no path, the first one listed).
    if (controller.devicePath().isEmpty() && controller.attachedDevices().size() > 1) {
        const QByteArray served = controller.deviceIdentity().path;
        controller.setDevicePath(served.isEmpty() ? controller.attachedDevices().first().path : served);
    }
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
