#pragma once

#include "app/logpane.h"
#include "app/pages/firmwarepage.h"
#include "app/pages/servicebar.h"
#include "app/pages/slotspage.h"
#include "control/devicecontroller.h"
#include "device/deviceinfo.h"

#include <QMainWindow>
#include <QPoint>

#include <memory>

class QAction;
class ActionGate;
class QPushButton;
class editDlg;
class QCloseEvent;
class QMouseEvent;

class DeviceChoice;
class DevicePage;
class SettingsPage;
class WindowReport;
namespace Ui {
class MainWindow;
}

// The frameless main window: its title strip, side buttons and navigation,
// the log pane and the device gate; each page of its stack is a class of its
// own under app/pages/, and the slots the form connects by name hand over to it.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // One time-stamped line in the log pane (and the log file); draws it at once.
    void appendLog(const QString &text);
    // A detail line of a transfer: may wait a few milliseconds for its batch.
    void appendLogDetail(const QString &text);
    // Status icon: device reachable or not.
    void showDeviceStatus(bool online);
    // Service mode's result line.
    void showServiceStatus(const QString &text);
    // Every line also goes to the log file at path from now on; an empty path
    // turns the file off.
    void setLogFile(const QString &path);

    // The device's own thread: every device job of the window and its dialogs
    // runs there, one at a time; the pages hear back through its signals.
    DeviceController &controller() { return deviceController; }
    const DeviceInfo &deviceInfo() const { return info; }

    // Service mode: every page within reach, the log pane shown, a result
    // for every action. Off (the default), the window is exactly as without it.
    void setServiceMode(bool on);
    bool isServiceMode() const { return serviceMode; }

    // The one log line of a device action refused while another runs.
    void reportDeviceBusy();

    // The image slots page (see SlotsPage).
    void openSlotEditor(int slot, const QString &caption);
    void adoptImageEditor(editDlg *editor);
    void refreshSlotIcons();
    void refreshSlotIcon(int slot);
    static constexpr int SlotThumbnails = SlotsPage::SlotThumbnails;
    void setImageProgress(int value);

    // The program as its users start it remembers choices (QSettings); off
    // by default, so every window a test makes starts from the defaults.
    static void setRemembersChoices(bool on);

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
    // Settings page files and units.
    void on_toolButton_5_clicked();
    void on_toolButton_6_clicked();
    void on_toolButton_7_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_7_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void setSideButtonIcons(const char *devices, const char *upload, const char *settings);
    // What the controller says that is the window's, not a page's (devicejobs.cpp).
    void connectController();
    void setupDeviceGate();
    void showDeviceState(DeviceState state, DeviceJob job);
    // The side buttons' highlight for the page shown.
    void highlightNavigation(int page);
    void setupTitleMenu();
    // The language entries of the title strip's menu (languagemenu.cpp).
    void addLanguageMenu();
    static bool remembersChoices();
    // Closes the window once the curve dialog's write has reached the device.
    void closeAfterCurveWrite(class lineDlg *dialog);
    // False when the user kept an unsaved picture open: then nothing closed.
    bool closeToolWindows();
    void setupServiceMode();
    void showServicePage(int page);

    Ui::MainWindow *ui = nullptr;
    DeviceController deviceController;
    DeviceInfo info;
    std::unique_ptr<LogPane> logPane;
    std::unique_ptr<ServiceBar> serviceBar;
    // Where the pages' words go: the log, the status icon, the result line.
    std::unique_ptr<WindowReport> report;
    // The pages, each on its part of the form.
    std::unique_ptr<DevicePage> devicePage;
    std::unique_ptr<SettingsPage> settingsPage;
    std::unique_ptr<FirmwarePage> firmwarePage;
    std::unique_ptr<SlotsPage> slotsPage;
    // Which of several attached devices the controller serves.
    std::unique_ptr<DeviceChoice> deviceChoice;
    bool serviceMode = false;
    QString titleOutsideServiceMode;
    ActionGate *gate = nullptr;
    QPushButton *cancelButton = nullptr;

    bool dragPressed = false;
    QPoint dragOffset;
};
