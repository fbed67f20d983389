#include "app/windowsink.h"

#include "app/mainwindow.h"
#include "ui_mainwindow.h"
#include <QCoreApplication>
#include <QMessageBox>

namespace {

bool askYesNo(QWidget *parent, QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox box(icon, title, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

} // namespace

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

// Service mode's status line follows the stages; the default start keeps its
// one "正在升级...." from the erase on.
void WindowSink::stageStarted(UpgradeStage stage)
{
    if (!window.serviceMode)
        return;
    QString text;
    switch (stage) {
    case UpgradeStage::Checking: text = QCoreApplication::translate("MainWindow", "正在检查固件型号..."); break;
    case UpgradeStage::Erasing: text = QCoreApplication::translate("MainWindow", "正在擦除，请勿拔出设备...."); break;
    case UpgradeStage::Writing:
        text = QCoreApplication::translate("MainWindow", "正在写入固件，请勿拔出设备....");
        // The write stage alone has no erase that showed the bar.
        window.ui->progressBar_updata->show();
        break;
    case UpgradeStage::Watching: text = QCoreApplication::translate("MainWindow", "正在等待设备返回..."); break;
    }
    window.ui->label_4_updata_sta->setText(text);
}

bool WindowSink::writeToApplication(const QString &model)
{
    return askYesNo(&window, QMessageBox::Question, QCoreApplication::translate("MainWindow", "升级固件（仅写入）"),
                    QCoreApplication::translate("MainWindow", "设备应答了型号查询（%1）：它正在运行应用程序，并不在 Bootloader 中等待。\n"
                       "对正在运行的设备，正确的做法是用“开始升级”（检查型号、擦除、写入）。\n\n"
                       "仍要只执行写入阶段吗？")
                        .arg(model));
}

bool WindowSink::writeToBootloader(const BootloaderTarget &target)
{
    const QString known = target.known ? target.knownModel : QCoreApplication::translate("MainWindow", "（从未读到）");
    if (!askYesNo(&window, QMessageBox::Question, QCoreApplication::translate("MainWindow", "升级固件（仅写入）"),
                  QCoreApplication::translate("MainWindow", "设备未应答型号查询，视为在 Bootloader 中等待。\n\n"
                     "固件文件的型号：%1\n此设备上次读到的型号：%2\n\n"
                     "只执行写入阶段（探测、写入、跳转）吗？")
                      .arg(target.fileModel, known)))
        return false;
    if (target.known && target.matches)
        return true;
    // Without a match nothing vouches for the file: the risk is said plainly.
    const QString risk = target.known
        ? QCoreApplication::translate("MainWindow", "固件文件的型号（%1）与此设备上次读到的型号（%2）不符。").arg(target.fileModel, target.knownModel)
        : QCoreApplication::translate("MainWindow", "从未读到过此设备的型号，无法核对固件文件的型号（%1）。").arg(target.fileModel);
    return askYesNo(&window, QMessageBox::Warning, QCoreApplication::translate("MainWindow", "确认写入"),
                    risk + QStringLiteral("\n")
                        + QCoreApplication::translate("MainWindow", "写入其他型号的固件会使设备无法启动。\n\n确定要写入吗？"));
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
