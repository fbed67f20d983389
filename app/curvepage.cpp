// Opening the power-curve dialog from the Settings page.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/dialogpointers.h"
#include "settings/linedlg.h"

#include <QTimer>

#include <memory>

void MainWindow::on_toolButton_8_clicked()
{
    auto *dialog = new lineDlg(&deviceController, info.screen.powerHigh);
    connect(dialog, &lineDlg::message, this, &MainWindow::appendLog);
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

// The window's closing waits for the dialog's write of its unsaved points:
// once they reached the device (the dialog then closes itself) the window
// closes too; a failed write leaves both open.
void MainWindow::closeAfterCurveWrite(lineDlg *dialog)
{
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(dialog, &lineDlg::curveWriteFinished, this, [this, once](int, bool written) {
        disconnect(*once);
        if (written)
            QTimer::singleShot(0, this, &QWidget::close);
    });
}
