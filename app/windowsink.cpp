#include "app/windowsink.h"

#include "app/mainwindow.h"
#include "ui_mainwindow.h"
#include <QCoreApplication>

bool WindowSink::log(const QString &text)
{
    window.appendLog(text);
    return true;
}

// Only the firmware upgrade reports progress to the window: bytes written.
bool WindowSink::logDetail(const QString &text)
{
    window.appendLogDetail(text);
    return true;
}

void WindowSink::progress(qint64 value, qint64)
{
    window.firmwareProgress->setValue(int(value));
}

// The bar counts through the file being written: a file chosen while the
// upgrade runs, or one changed on disk since, has set another maximum.
void WindowSink::writingFile(qint64 size)
{
    window.firmwareProgress->setMaximum(int(size));
}

void WindowSink::deviceReachable(bool online)
{
    window.showDeviceReachability(online);
}

void WindowSink::showFileInfo(const QString &text)
{
    window.ui->label_3_file_inf->setText(text);
}

void WindowSink::upgradeStarted()
{
    window.ui->pushButton->setText(QCoreApplication::translate("MainWindow", "升级中..."));
    window.ui->pushButton->setEnabled(false);
    window.ui->progressBar_updata->show();
    window.firmwareProgress->setValue(0, true);
    window.ui->label_4_updata_sta->setText(window.serviceMode ? QCoreApplication::translate("MainWindow", "正在升级，请勿拔出设备....")
                                                              : QCoreApplication::translate("MainWindow", "正在升级...."));
}
