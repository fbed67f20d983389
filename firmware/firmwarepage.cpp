// Firmware upgrade page: choosing the file, the bootloader exchange and the
// refresh command of the title bar. The upgrade itself is still to come;
// the buttons are wired and do nothing yet.

#include "app/mainwindow.h"

void MainWindow::on_openFirmwareFilePushButton_clicked()
{
}

void MainWindow::on_upgradeFirmwarePushButton_clicked()
{
}

void MainWindow::on_pushButton_clicked()
{
}

void MainWindow::on_pushButton_2_clicked()
{
}
