#pragma once

#include "device/commandrecord.h"
#include "device/deviceactivity.h"
#include "device/deviceinfo.h"

#include <QMainWindow>
#include <QPoint>

struct hid_device_;
typedef struct hid_device_ hid_device;

class QAction;
class QCloseEvent;
class QMouseEvent;

namespace Ui {
class MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // One time-stamped line in the log pane; draws it at once.
    void appendLog(const QString &text);

    // The one device handle of the program (null between transactions),
    // borrowed by the dialogs for their own exchanges.
    hid_device *&deviceHandle() { return handle; }
    DeviceActivity &deviceActivity() { return activity; }
    const DeviceInfo &deviceInfo() const { return info; }

    // Opens the device with a single hid_open unless a handle is already
    // open, and shows the result in the status icon; on failure logs
    // failureText and returns false.
    bool openDeviceForAction(const QString &failureText);
    // The same open for the dialogs' exchanges (curves, picture upload), which
    // leave the status icon to the main window's own pages.
    bool openDeviceQuietly(const QString &failureText);
    // Status icon: device reachable or not.
    void showDeviceStatus(bool online);
    // The one log line of a device action refused while another runs.
    void reportDeviceBusy();

    // Image slots: asks the device for the slot's picture geometry and opens
    // a new image editor for it; the device stays open for the upload.
    void openSlotEditor(int slot, const QString &caption);
    // The User page thumbnails of slots 1-10, read again from the slot files.
    void refreshSlotIcons();
    // The picture upload's progress bar; values outside 0-100 leave it as it is.
    void setImageProgress(int value);

protected slots:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private slots:
    void on_openFirmwareFilePushButton_clicked();
    void on_upgradeFirmwarePushButton_clicked();
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_m_btn_Devices_clicked();
    void on_m_btn_Upgtade_clicked();
    void on_m_btn_Settings_clicked();
    void on_m_btn_User_clicked();
    void on_toolButton_2_title_close_released();
    void on_toolButton_2_title_mini_clicked();
    void on_toolButton_8_clicked();
    void on_toolButton_4_clicked();
    void on_toolButton_2_clicked();
    void on_toolButton_10_clicked();
    void on_toolButton_11_clicked();
    void on_toolButton_12_clicked();
    void on_toolButton_13_clicked();
    void on_toolButton_14_clicked();
    void on_toolButton_15_clicked();
    void on_toolButton_16_clicked();
    void on_toolButton_17_clicked();
    void on_toolButton_18_clicked();
    void on_toolButton_9_clicked();
    void on_device_image_clicked();
    void on_label_18_linkActivated(const QString &link);
    void on_toolButton_triggered(QAction *arg1);
    void on_toolButton_20_clicked();
    void on_progressBar_img4_valueChanged(int value);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setSideButtonIcons(const char *devices, const char *upload, const char *settings);
    void resetUpgradePage();
    void setupSettingsTable();
    void readDeviceInformation();
    // Firmware upgrade (firmware/): the stages of the bootloader exchange.
    bool checkFirmwareModel(const QString &path);
    void eraseFirmware();
    bool writeFirmware(const QString &path);
    bool sendFirmwareChunkWithRetries(const quint8 *chunk);
    void showFirmwareRefusal(const QString &text);

    Ui::MainWindow *ui = nullptr;
    hid_device *handle = nullptr;
    CommandRecord record;
    DeviceActivity activity;
    DeviceInfo info;

    bool dragPressed = false;
    QPoint dragOffset;

    // Settings page: the spin box of each cell of the working-mode table (7 rows,
    // 4 columns), null where the cell holds an item. The table owns the widgets.
    class my_spinbox *settingsSpinBoxes[7][4] = {};
};
