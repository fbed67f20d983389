#pragma once

#include "app/logpane.h"
#include "app/progressthrottle.h"
#include "device/devicecontroller.h"
#include "device/deviceinfo.h"
#include "device/devicesession.h"
#include "settings/settingsblocks.h"
#include "device/devicewatch.h"
#include "device/openfailure.h"

#include <QMainWindow>
#include <QPoint>

#include <functional>
#include <memory>

class QAction;
class ActionGate;
class QPushButton;
class QLabel;
class QLineEdit;
class editDlg;
class QCloseEvent;
class QMouseEvent;

namespace Ui {
class MainWindow;
}
namespace Firmware {
enum class UpgradeResult;
}

// Asked when the window is closed while the firmware is erased or written:
// true closes at once and leaves the device in its bootloader; false lets the
// upgrade finish first. Tests answer without a dialog; an empty function
// restores the message box.
using FirmwareCloseQuestion = std::function<bool(QWidget *parent)>;
void setFirmwareCloseQuestion(FirmwareCloseQuestion question);

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
    // Every line also goes to the log file at path from now on; an empty path
    // turns the file off.
    void setLogFile(const QString &path);

    // The device, shared with the dialogs this window opens.
    DeviceSession &session() { return deviceSession; }
    // The device's own thread: every device job of the window and its dialogs
    // runs there, one at a time; the pages hear back through its signals.
    DeviceController &controller() { return deviceController; }
    const DeviceInfo &deviceInfo() const { return info; }

    // Service mode: every page within reach, the log pane shown, a result
    // for every action. Off (the default), the window is exactly as without it.
    void setServiceMode(bool on);
    bool isServiceMode() const { return serviceMode; }

    // Status icon: device reachable or not.
    void showDeviceStatus(bool online);
    // The one log line of a device action refused while another runs.
    void reportDeviceBusy();

    // Image slots: asks the device for the slot's picture geometry (on the
    // device thread) and opens a new image editor for it once the answer
    // came; the device stays open for the upload. A cancelled or failed
    // query opens none.
    void openSlotEditor(int slot, const QString &caption);
    // Lets an image editor write to this window's log, progress bar and slot
    // thumbnails.
    void adoptImageEditor(editDlg *editor);
    // The User page thumbnails of slots 1-10 (or of one slot), read again from
    // the slot files.
    void refreshSlotIcons();
    void refreshSlotIcon(int slot);
    static constexpr int SlotThumbnails = 10;
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
    // Settings page files and units (profilepage.cpp).
    void on_toolButton_5_clicked();
    void on_toolButton_6_clicked();
    void on_toolButton_7_clicked();
    void on_pushButton_6_clicked();
    void on_pushButton_7_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    friend class WindowSink;

    void setSideButtonIcons(const char *devices, const char *upload, const char *settings);
    void resetUpgradePage();
    void setupSettingsTable();
    void queryDevice();
    void deviceQueryFinished(const QVariant &result);
    void showDeviceInformation(int items);
    // What an open told the page: the status icon, and when it failed why.
    void showDeviceReachability(bool online);
    void showOpenFailure(OpenFailure failure);
    void deviceArrived();
    void queryArrivedDevice();
    void deviceLeft();
    // What the controller says, routed to the page of each job (devicejobs.cpp).
    void connectController();
    void deviceJobProgress(qint64 value, qint64 maximum);
    void setupDeviceGate();
    void showDeviceState(DeviceState state, DeviceJob job);
    // The side buttons' highlight for the page shown.
    void highlightNavigation(int page);
    void deviceJobFinished(DeviceJob kind, bool success, const QVariant &result);
    // The settings write has ended (settingspage.cpp).
    void settingsWriteFinished(bool written);
    void setupDeviceHint();
    void setupTitleMenu();
    void setupSlotNumberBoxes();
    void slotQueryFinished(bool success, const QVariant &result);
    void openTypedSlot(const QLineEdit *box);
    // The language entries of the title strip's menu (languagemenu.cpp).
    void addLanguageMenu();
    void showFirmwareRefusal(const QString &text);
    void releaseWriteStageButton();
    void showUpgradeOutcome(Firmware::UpgradeResult result);
    // The Upgrade page's side of the controller (firmwarepage.cpp).
    void connectFirmwarePage();
    void firmwareJobNote(DeviceJob kind, const QString &what, const QVariant &value);
    void firmwareJobFinished(DeviceJob kind, bool success, const QVariant &result);
    void upgradeFinished(Firmware::UpgradeResult result);
    void writeAloneFinished(Firmware::UpgradeResult result);
    void backupRestoreFinished(bool written);
    // False when the user keeps the window open while the firmware is erased
    // or written (the close then waits for the upgrade's end).
    bool mayCloseDuringFirmwareWrite();
    // The two buttons of the Upgrade page say what they do in service mode.
    void labelUpgradeButtons();
    QPoint dialogPosition() const;
    // Closes the window once the curve dialog's write has reached the device (curvepage.cpp).
    void closeAfterCurveWrite(class lineDlg *dialog);
    // False when the user kept an unsaved picture open: then nothing closed.
    bool closeToolWindows();
    // Service mode (servicemode.cpp).
    void setupServiceMode();
    void buildServiceBar();
    void showServicePage(int page);
    void showServiceStatus(const QString &text);
    // Frames the cell that could not be sent (row -1: none), in service mode.
    void markRefusedCell(int row, int column);
    void saveLogAs();
    bool confirmUpgrade(const QString &path);
    // The settings table (profilepage.cpp): its texts as the device would get
    // them (temperatures in Celsius), shown values, units and ranges.
    SettingsTexts settingsTexts() const;
    void showSettingsValues(const SettingsValues &values);
    void checkSettingsRanges();
    void markSettingsCell(class my_spinbox *box, const char *colour, const QString &why);
    bool confirmOutOfRange(const SettingsValues &values);
    void setFahrenheitShown(bool fahrenheit);
    void restoreTemperatureUnit();
    static bool remembersChoices();
public:
    // The program as its users start it remembers choices (QSettings); off
    // by default, so every window a test makes starts from the defaults.
    static void setRemembersChoices(bool on);
private:
    void offerBackupRestore(const QString &backup);

    Ui::MainWindow *ui = nullptr;
    DeviceSession deviceSession;
    // After the session: it shares the session's busy guard and goes first.
    DeviceController deviceController;
    DeviceInfo info;
    std::unique_ptr<LogPane> logPane;
    std::unique_ptr<ProgressThrottle> imageProgress;
    std::unique_ptr<ProgressThrottle> firmwareProgress;
    QString lastLogLine;
    // The Upgrade page while its job runs: the erase or the write stage is
    // under way (no Cancel, a close asks first); the backup saved before the
    // erase; the backup being written back.
    bool firmwareWriting = false;
    QString upgradeBackup;
    QString restoringBackup;
    // The user closed the window: nothing more is offered or started for it.
    bool windowClosed = false;
    // Why the device cannot be opened, in the device picture's place.
    QLabel *deviceHint = nullptr;
    OpenFailure lastOpenFailure = OpenFailure::NotAttached;
    bool serviceMode = false;
    // A device left since the window last read one: the next that answers is back.
    bool seenLeaving = false;
    bool fahrenheitShown = false;
    // The slot whose query runs on the controller; 0 when none.
    int queriedSlot = 0;
    QString titleOutsideServiceMode;
    QWidget *serviceBar = nullptr;
    QLabel *serviceStatus = nullptr;
    ActionGate *gate = nullptr;
    QPushButton *cancelButton = nullptr;

    bool dragPressed = false;
    QPoint dragOffset;

    // Settings page: the spin box of each cell of the working-mode table (7 rows,
    // 4 columns), null where the cell holds an item. The table owns the widgets.
    class my_spinbox *settingsSpinBoxes[7][4] = {};
};
