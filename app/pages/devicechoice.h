#pragma once
// Which of several attached devices the window serves.
//
// With one device attached nothing is chosen: the controller serves the first
// one listed, as always. Once a listing finds more than one, the window holds
// on to the device it serves (by its path), so that a unit pulled from the
// bench is reported gone and never quietly replaced by its neighbour; once the
// bench is back to that one unit (or none), the hold is let go. In
// service mode a box in the title strip lists the devices by serial number and
// path; choosing one, between jobs, serves it from then on and reads it as
// DEVICE does. Every page acts on it, since all of them use the one controller.

#include <QCoreApplication>
#include <QObject>
#include <QPointer>

#include <functional>

class DeviceController;
class QComboBox;
class WindowOutput;

class DeviceChoice : public QObject
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    // readChosen: what reads a newly chosen device (the Devices page's query).
    DeviceChoice(DeviceController &controller, WindowOutput &output, std::function<void()> readChosen,
                 QObject *parent = nullptr);

    // The box the service row shows; its entries follow every listing from now on.
    void attachBox(QComboBox *box);
    // Serves the device at path from now on and reads it; refused with the
    // busy line while a job runs. False when refused.
    bool choose(const QByteArray &path);

private:
    // After every listing: holds the device served once a second one is
    // attached, and refills the box.
    void followListing();
    void fillBox();

    DeviceController &controller;
    WindowOutput &output;
    std::function<void()> readChosen;
    QPointer<QComboBox> box;
    QString chosenSerial;   // of the device held, for its entry once it has gone
    QByteArray servedAlone; // the path of the last device served while it was the only one
};
