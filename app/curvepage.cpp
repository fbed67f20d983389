// Opening the power-curve dialog from the Settings page.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/dialogpointers.h"
#include "settings/linedlg.h"

void MainWindow::on_toolButton_8_clicked()
{
    auto *dialog = new lineDlg(&deviceSession, info.screen.powerHigh);
    // Points above the device's top are asked about where the settings table's values are.
    dialog->setAsksAboutRange(serviceMode);
    connect(dialog, &lineDlg::curveWriteFinished, this, [this](int curve, bool written) {
        showServiceStatus(written ? tr("曲线 M%1 已写入设备").arg(curve + 1) : lastLogLine);
    });
    // Each opening makes a new dialog; a closed one is not kept, and one left
    // open does not keep the program running once the main window closes.
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAttribute(Qt::WA_QuitOnClose, false);
    openCurveDialog = dialog;
    dialog->setWindowFlags(Qt::FramelessWindowHint);
    // Over the right-hand body of the window.
    dialog->move(dialogPosition());
    dialog->show();
}
