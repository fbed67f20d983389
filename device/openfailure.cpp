#include "device/openfailure.h"

#include "desktop/datafolder.h"
#include "device/devicelink.h"
#include <QCoreApplication>

OpenFailure diagnoseOpenFailure()
{
    return isDeviceListed() ? OpenFailure::NotAccessible : OpenFailure::NotAttached;
}

QString openFailureExplanation(OpenFailure failure, const QString &udevRulePath)
{
    if (failure == OpenFailure::NotAttached)
        return QStringLiteral("No device detected: connect the device with its USB cable.");
#ifdef Q_OS_LINUX
    const QString rule = udevRulePath.isEmpty() ? udevRuleFileName() : udevRulePath;
    return QStringLiteral("The device is connected, but this user has no permission to open it.\n\n"
                          "Install the udev rule that comes with Tessel Control, "
                          "then unplug the device and plug it in again:\n\n"
                          "sudo install -m 644 %1 /etc/udev/rules.d/\n"
                          "sudo udevadm control --reload-rules && sudo udevadm trigger")
        .arg(rule);
#else
    Q_UNUSED(udevRulePath)
    return QStringLiteral("The device is connected, but it cannot be opened.\n\n"
                          "Close any other program that uses it, then unplug the device and plug it in again.");
#endif
}

QString openFailureSummary(OpenFailure failure)
{
    if (failure == OpenFailure::NotAttached)
        return QCoreApplication::translate("Device", "未检测到设备：请连接设备");
#ifdef Q_OS_LINUX
    return QCoreApplication::translate("Device", "设备已连接，但无权限打开：请安装 udev 规则 %1（见设备信息页）").arg(udevRuleFileName());
#else
    return QCoreApplication::translate("Device", "设备已连接，但无法打开：请关闭占用它的程序");
#endif
}

QString deviceLeftText()
{
    return QCoreApplication::translate("Device", "设备已断开");
}
