#pragma once
// Service mode's list of the attached unit's last jobs, under the Devices
// page's table: read-only, newest first, from the service history the
// window's recorder writes.

#include <QWidget>

class DeviceController;
class ServiceHistoryRecorder;
class QBoxLayout;
class QLabel;
class QTableWidget;

class ServiceHistoryView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int JobsShown = 10;

    ServiceHistoryView(DeviceController &controller, ServiceHistoryRecorder &recorder, QWidget *parent = nullptr);

    QTableWidget *table() const { return rows; }
    // Reads the unit's last jobs again.
    void refresh();

private:
    DeviceController &controller;
    ServiceHistoryRecorder &recorder;
    QLabel *title;
    QTableWidget *rows;
};

// Shows the view at the end of the Devices page's layout (made at its first
// showing) or hides it; the jobs are those of the controller's recorder.
void showServiceHistory(QBoxLayout *devicesPage, DeviceController &controller, bool shown);
