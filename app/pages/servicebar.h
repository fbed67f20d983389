#pragma once
// Service mode's row in the title strip: a button for every page and for the
// log pane, and the result line of the last action; the log pane's "save as".

#include <QCoreApplication>
#include <QObject>

#include <functional>

class DeviceController;
class LogPane;
class QComboBox;
class QLabel;
class QWidget;
namespace Ui {
class MainWindow;
}

class ServiceBar : public QObject
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    // showPage: what a page's button does (the window's navigation).
    ServiceBar(Ui::MainWindow &ui, DeviceController &controller, LogPane &log, std::function<void(int page)> showPage,
               QObject *parent = nullptr);

    // The row is made the first time it is shown.
    void setShown(bool shown);
    // The result line: a long result is cut to its room, whole as the tool tip.
    void showStatus(const QString &text);
    // The box that picks one of several attached devices sits in the row;
    // use fills it and follows it once the row is made. Without one, no box.
    void setDeviceBoxUser(std::function<void(QComboBox *box)> use);

private:
    void build();
    void saveLogAs();

    Ui::MainWindow &ui;
    LogPane &log;
    std::function<void(int page)> showPage;
    QWidget *bar = nullptr;
    QLabel *status = nullptr;
    std::function<void(QComboBox *box)> useDeviceBox;
    bool shown = false;
};
