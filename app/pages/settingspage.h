#pragma once
// The Settings page: the working-mode table and its write to the device, the
// profiles (load, save, defaults), degrees Celsius or Fahrenheit, the marks of
// values outside the device's ranges, and the button that opens the curves.
// The device is never asked for its settings; the table only flows to it.

#include "settings/settingsblocks.h"

#include <QCoreApplication>
#include <QObject>

class DeviceController;
struct DeviceInfo;
class my_spinbox;
class WindowOutput;
namespace Ui {
class MainWindow;
}

class SettingsPage : public QObject
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    // info: what the Devices page read last (the ranges, the name).
    SettingsPage(Ui::MainWindow &ui, DeviceController &controller, WindowOutput &output, const DeviceInfo &info,
                 QObject *parent = nullptr);

    // The table's texts as the device would get them (temperatures in Celsius).
    SettingsTexts tableTexts() const;
    // Wattages and temperatures the device would not take are marked, with
    // the allowed range as the tool tip, in service mode.
    void checkRanges();

    // The page's buttons.
    void writeTable();
    void fillDefaults();
    void loadProfile();
    void saveProfile();
    void setFahrenheitShown(bool fahrenheit);
    void openCurves();

    // The program as its users start it remembers choices (QSettings); off
    // by default, so every window a test makes starts from the defaults.
    static void setRemembersChoices(bool on);
    static bool remembersChoices();

private:
    void setupTable();
    void writeFinished(bool written);
    void showValues(const SettingsValues &values);
    void markCell(my_spinbox *box, const char *colour, const QString &why);
    // Frames the cell that could not be sent (row -1: none), in service mode.
    void markRefusedCell(int row, int column);
    bool confirmOutOfRange(const SettingsValues &values);
    void restoreTemperatureUnit();
    QWidget *window() const;

    Ui::MainWindow &ui;
    DeviceController &controller;
    WindowOutput &output;
    const DeviceInfo &info;
    bool fahrenheitShown = false;
    // The spin box of each cell of the working-mode table (7 rows, 4 columns),
    // null where the cell holds an item. The table owns the widgets.
    my_spinbox *spinBoxes[7][4] = {};
};
