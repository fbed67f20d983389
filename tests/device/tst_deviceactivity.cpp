// One device action at a time, and work deferred until the running one ends.

#include "device/deviceactivity.h"

#include <QtTest>

class TestDeviceActivity : public QObject
{
    Q_OBJECT

private slots:
    void secondActionIsRefusedUntilTheFirstEnds()
    {
        DeviceActivity activity;
        {
            DeviceActionGuard first(activity);
            QVERIFY(bool(first));
            QVERIFY(activity.isBusy());
            DeviceActionGuard second(activity);
            QVERIFY(!bool(second));
        }
        QVERIFY(!activity.isBusy());
        DeviceActionGuard later(activity);
        QVERIFY(bool(later));
    }

    void refusedGuardDoesNotEndTheRunningAction()
    {
        DeviceActivity activity;
        DeviceActionGuard first(activity);
        { DeviceActionGuard refused(activity); }
        QVERIFY(activity.isBusy());
    }

    void deferredWorkRunsOnceWhenIdle()
    {
        DeviceActivity activity;
        QStringList order;
        activity.whenIdle([&] { order << "idle now"; });
        {
            DeviceActionGuard action(activity);
            activity.whenIdle([&] { order << "deferred 1"; });
            activity.whenIdle([&] {
                // Work deferred to the end may start an action of its own.
                DeviceActionGuard next(activity);
                order << (next ? "deferred 2 acts" : "deferred 2 refused");
            });
            order << "action";
        }
        QCOMPARE(order, QStringList({"idle now", "action", "deferred 1", "deferred 2 acts"}));
        QVERIFY(!activity.isBusy());
        { DeviceActionGuard again(activity); }
        QCOMPARE(order.size(), 4);
    }
};

QTEST_APPLESS_MAIN(TestDeviceActivity)
#include "tst_deviceactivity.moc"
