#include "control/jobnames.h"

#include <QCoreApplication>

QString jobTitle(DeviceJob kind)
{
    // Said in the window's words, where these names were first given.
    switch (kind) {
    case DeviceJob::DeviceQuery: return QCoreApplication::translate("MainWindow", "读取设备信息");
    case DeviceJob::SlotQuery: return QCoreApplication::translate("MainWindow", "查询图片槽位");
    case DeviceJob::PictureUpload: return QCoreApplication::translate("MainWindow", "上传图片");
    case DeviceJob::FirmwareUpgrade:
    case DeviceJob::FirmwareRecovery:
    case DeviceJob::FirmwareWriteStage:
    case DeviceJob::FirmwareWriteAlone: return QCoreApplication::translate("MainWindow", "升级固件");
    case DeviceJob::Refresh: return QCoreApplication::translate("MainWindow", "刷新");
    case DeviceJob::SettingsWrite: return QCoreApplication::translate("MainWindow", "写入设置");
    case DeviceJob::CurveRead: return QCoreApplication::translate("MainWindow", "读取功率曲线");
    case DeviceJob::CurveReadAll: return QCoreApplication::translate("MainWindow", "读取全部功率曲线");
    case DeviceJob::CurveWrite: return QCoreApplication::translate("MainWindow", "写入功率曲线");
    case DeviceJob::ProfileApply: return QCoreApplication::translate("MainWindow", "写入配置");
    case DeviceJob::None: break;
    }
    return QString();
}

QString jobHistoryName(DeviceJob kind)
{
    switch (kind) {
    case DeviceJob::DeviceQuery: return QStringLiteral("device query");
    case DeviceJob::SlotQuery: return QStringLiteral("slot query");
    case DeviceJob::PictureUpload: return QStringLiteral("picture upload");
    case DeviceJob::FirmwareUpgrade: return QStringLiteral("firmware upgrade");
    case DeviceJob::FirmwareRecovery: return QStringLiteral("firmware recovery");
    case DeviceJob::FirmwareWriteStage: return QStringLiteral("firmware write stage");
    case DeviceJob::FirmwareWriteAlone: return QStringLiteral("firmware write alone");
    case DeviceJob::Refresh: return QStringLiteral("refresh");
    case DeviceJob::SettingsWrite: return QStringLiteral("settings write");
    case DeviceJob::CurveRead: return QStringLiteral("curve read");
    case DeviceJob::CurveReadAll: return QStringLiteral("curve read all");
    case DeviceJob::CurveWrite: return QStringLiteral("curve write");
    case DeviceJob::ProfileApply: return QStringLiteral("profile apply");
    case DeviceJob::None: break;
    }
    return QString();
}
