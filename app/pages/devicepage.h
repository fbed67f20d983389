#pragma once
// The Devices page: who the attached device is, read fresh on every visit and
// whenever a device is plugged in; why it cannot be read when it cannot.

#include "device/deviceinfo.h"
#include "device/openfailure.h"

#include <QCoreApplication>
#include <QObject>

#include <functional>

class DeviceController;
class QLabel;
class WindowOutput;
namespace Ui {
class MainWindow;
}

class DevicePage : public QObject
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    // info: what the device said last, shared with the pages that read it.
    DevicePage(Ui::MainWindow &ui, DeviceController &controller, WindowOutput &output, DeviceInfo &info,
               QObject *parent = nullptr);

    // Refused with the busy line while another job runs; the labels change
    // once the answer came.
    void readDevice();
    // Called once the device reported its screen and ranges.
    void setRangesRead(std::function<void()> then) { rangesRead = std::move(then); }

private:
    void queryFinished(const QVariant &result);
    void showInformation(int items);
    // What an open told the page: the status icon, and when it failed why.
    void showReachability(bool online);
    void showOpenFailure(OpenFailure failure);
    void deviceArrived();
    void queryArrivedDevice();
    void deviceLeft();
    void setupHint();

    Ui::MainWindow &ui;
    DeviceController &controller;
    WindowOutput &output;
    DeviceInfo &info;
    std::function<void()> rangesRead;
    // Why the device cannot be opened, in the device picture's place.
    QLabel *hint = nullptr;
    OpenFailure lastOpenFailure = OpenFailure::NotAttached;
    // A device left since the page last read one: the next that answers is back.
    bool seenLeaving = false;
};
