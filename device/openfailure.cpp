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
        return QCoreApplication::translate("Device", "未检测到设备：请用 USB 线连接设备。");
#ifdef Q_OS_LINUX
    const QString rule = udevRulePath.isEmpty() ? udevRuleFileName() : udevRulePath;
    // The commands stay out of the translated text: they are typed as they are.
    const QString commands = QStringLiteral("sudo install -m 644 %1 /etc/udev/rules.d/\n"
                                            "sudo udevadm control --reload-rules && sudo udevadm trigger")
                                 .arg(rule);
    return QCoreApplication::translate("Device", "设备已连接，但当前用户无权限打开它。\n\n"
                                                 "请安装 Tessel Control 附带的 udev 规则，"
                                                 "然后拔下设备再重新插上：\n\n%1")
        .arg(commands);
#else
    Q_UNUSED(udevRulePath)
    return QCoreApplication::translate("Device", "设备已连接，但无法打开。\n\n"
                                                 "请关闭其他正在使用它的程序，然后拔下设备再重新插上。");
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
