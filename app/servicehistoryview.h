#pragma once
// Service mode's list of the attached unit's last jobs, under the Devices
// page's table: read-only text, newest first, from the service history the
// window's recorder writes.

#include <QWidget>

class DeviceController;
class ServiceHistoryRecorder;
class QBoxLayout;
class QLabel;

class ServiceHistoryView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int JobsShown = 10;

    ServiceHistoryView(DeviceController &controller, ServiceHistoryRecorder &recorder, QWidget *parent = nullptr);

    // The jobs the list shows now.
    int jobsShown() const { return shown; }
    // Reads the unit's last jobs again.
    void refresh();

private:
    DeviceController &controller;
    ServiceHistoryRecorder &recorder;
    QLabel *title;
    QLabel *rows;
    int shown = 0;
};

// Shows the view at the end of the Devices page's layout (made at its first
// showing) or hides it; the jobs are those of the controller's recorder.
void showServiceHistory(QBoxLayout *devicesPage, DeviceController &controller, bool shown);
