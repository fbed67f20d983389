#pragma once
// A job sink and a waiter for running device jobs without a window.

#include "firmware/firmwareupgrade.h"
#include "device/waiter.h"

#include <QStringList>
#include <QThread>
#include <QVector>

struct RecordingSink : FirmwareSink
{
    QStringList lines;
    QVector<qint64> progressValues;
    QVector<bool> reachability;

    bool log(const QString &text) override
    {
        lines << text;
        return true;
    }
    void progress(qint64 value, qint64) override { progressValues << value; }
    void deviceReachable(bool online) override { reachability << online; }
};

// Waits a quarter of the time asked: long enough for the emulated device to
// re-enumerate after an erase, short enough for sweeps of whole upgrades.
struct QuickWaiter : Waiter
{
    void waitMs(unsigned int milliseconds) override { QThread::msleep(milliseconds / 4); }
    void processEvents() override {}
};
