// Output settings page: the working-mode table, its write to the device and
// the power-curve dialog. Still to come; the controls are wired and do
// nothing yet.

#include "app/mainwindow.h"

void MainWindow::setupSettingsTable()
{
}

void MainWindow::on_toolButton_2_clicked()
{
}
