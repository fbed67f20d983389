#pragma once
// UPLOAD from the image editor: the picture travels to the device as a start
// report, data reports and an end report, on the device controller's thread.
// Once it has gone through (or failed), the picture sent becomes the slot
// picture file; a transfer that was stopped leaves the file as it was.

#include "images/pictureupload.h"

#include <QObject>
#include <QByteArray>
#include <QPointer>

class DeviceController;

class PictureTransfer : public QObject
{
    Q_OBJECT

public:
    // controller may be null (an editor with no device) and may go first.
    explicit PictureTransfer(DeviceController *controller, QObject *parent = nullptr);

    // Sends screen (what the device's screen gets) to target; slotFile is
    // what the slot file holds once it went (the picture as BMP; empty: the
    // file cannot be written). False when the controller refused (busy: it
    // says so in the log) or there is none.
    bool start(const PictureTarget &target, const QImage &screen, const QByteArray &slotFile);
    // True from a start until its end.
    bool isRunning() const { return running; }
    // Stops the running transfer after the report in flight; false when none runs.
    bool cancel();

signals:
    // The upload's progress (values outside 0-100 occur and mean nothing).
    void progressed(int value);
    // The transfer ended: sent (the end report went out) or not; cancelled
    // when it was stopped. fileWritten: the slot file now holds the picture
    // sent (never after a cancel).
    void ended(bool sent, bool cancelled, bool fileWritten);
    // The controller went while the transfer ran: no end will come.
    void abandoned();

private:
    void finish(bool success);
    bool writeSlotFile() const;

    QPointer<DeviceController> controller;
    int slot = 0;
    bool running = false;
    bool cancelSeen = false;
    QByteArray sending;
};
