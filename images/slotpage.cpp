// Image slots page: the ten "选择文件(S)" buttons open the image editor for a
// slot. Still to come; the buttons are wired and do nothing yet.

#include "app/mainwindow.h"

void MainWindow::on_toolButton_4_clicked() {}
void MainWindow::on_toolButton_10_clicked() {}
void MainWindow::on_toolButton_11_clicked() {}
void MainWindow::on_toolButton_12_clicked() {}
void MainWindow::on_toolButton_13_clicked() {}
void MainWindow::on_toolButton_14_clicked() {}
void MainWindow::on_toolButton_15_clicked() {}
void MainWindow::on_toolButton_16_clicked() {}
void MainWindow::on_toolButton_17_clicked() {}
void MainWindow::on_toolButton_18_clicked() {}
