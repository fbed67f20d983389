#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/aboutbox.h"
#include "app/actiongate.h"
#include "app/dialogpointers.h"
#include "app/logfile.h"
#include "app/pages/devicechoice.h"
#include "app/pages/devicepage.h"
#include "app/pages/settingspage.h"
#include "app/productlinks.h"
#include "app/servicehistoryview.h"
#include "app/stucknotice.h"
#include "app/windowaccessibility.h"
#include "app/windowlayout.h"
#include "app/windowreport.h"
#include "desktop/datafolder.h"
#include "device/deviceactivity.h"
#include "history/servicehistoryrecorder.h"
#include "editors/editdlg.h"
#include "editors/linedlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QIcon>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QTimer>
#include <QUrl>

#include <hidapi.h>

namespace {

const char *const ServiceTitle = QT_TRANSLATE_NOOP("MainWindow", "Tessel Control — 服务模式");
// In service mode the focused side button gets a clear frame, so the window
// can be used from the keyboard.
const char *const SideButtonFocusStyle = "QPushButton:focus { border: 2px solid rgb(255, 200, 60); }";

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    logPane = std::make_unique<LogPane>(ui->logTextBrowser);
    serviceBar = std::make_unique<ServiceBar>(*ui, deviceController, *logPane, [this](int page) {
        page == WindowLayout::DevicesPage ? on_m_btn_Devices_clicked() : showServicePage(page);
    });
    report = std::make_unique<WindowReport>(*logPane, *ui->toolButton, *serviceBar, *this, *ui->widget_8);
    connectController();
    setWindowFlags(Qt::FramelessWindowHint);
    showDeviceStatus(false);

    QPalette palette;
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(QPixmap(QStringLiteral(":/image/bg2.jpg"))));
    ui->widget_2->setPalette(palette);
    ui->widget_2->setAutoFillBackground(true);

    devicePage = std::make_unique<DevicePage>(*ui, deviceController, *report, info);
    settingsPage = std::make_unique<SettingsPage>(*ui, deviceController, *report, info);
    firmwarePage = std::make_unique<FirmwarePage>(*ui, deviceController, *report, info, *settingsPage);
    slotsPage = std::make_unique<SlotsPage>(*ui, deviceController, *report);
    devicePage->setRangesRead([this] { settingsPage->checkRanges(); });
    deviceChoice = std::make_unique<DeviceChoice>(deviceController, *report, [this] { devicePage->readDevice(); });
    serviceBar->setDeviceBoxUser([choice = deviceChoice.get()](QComboBox *box) { choice->attachBox(box); });
    setupServiceMode();
    setupTitleMenu();
    setupDeviceGate();
    connect(ui->stackedWidget, &QStackedWidget::currentChanged, this, &MainWindow::highlightNavigation);
    makeWindowAccessible(this);
    on_m_btn_Devices_clicked();

    // From here on a device plugged in or out is noticed. The start-up query
    // has told the watch what is there, so that device is not read again.
    // The controller lists the system's devices between its jobs; the
    // Devices page hears what arrived and what left.
    deviceController.startPresenceWatch();
    // Every job of the window goes into the service history.
    connect(new ServiceHistoryRecorder(deviceController, &deviceController), &ServiceHistoryRecorder::problem, this,
            &MainWindow::appendLog);
}

MainWindow::~MainWindow()
{
    // The device thread ends before hidapi does: a firmware write still
    // running (the window was closed during it) stops between two chunks. A
    // thread stuck in a call keeps hidapi as it is.
    // A handle still open (the window was closed by the system rather than
    // by its close button) is closed as the device thread ends.
    const bool deviceThreadEnded = deviceController.shutdown();
    if (deviceThreadEnded)
        hid_exit();
    delete ui;
}

void MainWindow::appendLogDetail(const QString &text)
{
    report->addLogDetail(text);
}

void MainWindow::setLogFile(const QString &path)
{
    logPane->flush();
    if (path.isEmpty()) {
        logPane->setFile(nullptr);
        return;
    }
    // A file that cannot be written says so once, in the pane only.
    logPane->setFile(std::make_unique<LogFile>(path, [this](const QString &line) {
        QTimer::singleShot(0, this, [this, line] { appendLog(line); });
    }));
}

void MainWindow::appendLog(const QString &text)
{
    report->addLogLine(text);
}

void MainWindow::showDeviceStatus(bool online)
{
    report->showReachable(online);
}

// The title strip's context menu; the window has no system title bar.
void MainWindow::setupTitleMenu()
{
    auto *about = new QAction(tr("关于 Tessel Control…"), ui->widget_1title);
    about->setObjectName(QStringLiteral("aboutAction"));
    connect(about, &QAction::triggered, this, [this] { showAboutBox(this); });
    ui->widget_1title->addAction(about);
    addLanguageMenu();
    ui->widget_1title->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void MainWindow::reportDeviceBusy()
{
    appendLog(deviceBusyText());
    showServiceStatus(deviceBusyText());
}

void MainWindow::setSideButtonIcons(const char *devices, const char *upload, const char *settings)
{
    ui->m_btn_Devices->setIcon(QIcon(QLatin1String(devices)));
    ui->m_btn_Upgtade->setIcon(QIcon(QLatin1String(upload)));
    ui->m_btn_Settings->setIcon(QIcon(QLatin1String(settings)));
    ui->m_btn_User->setIcon(QIcon(QStringLiteral(":/image/select_user.jpg")));
}

// DEVICE is lit on the Devices page and HELP on the settings page; the pages
// service mode reaches without a side button light none.
void MainWindow::highlightNavigation(int page)
{
    setSideButtonIcons(page == WindowLayout::DevicesPage ? ":/image/select_devices_on.jpg"
                                                         : ":/image/select_devices_off.jpg",
                       ":/image/select_upgrade.jpg",
                       page == WindowLayout::SettingsPage ? ":/image/select_settings_on.jpg"
                                                          : ":/image/select_settings.jpg");
}

// --- window dragging: the window has no system frame

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    dragPressed = true;
    dragOffset = mapToGlobal(event->pos()) - pos();
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragPressed || event->buttons() == Qt::NoButton)
        return;
    const QPoint global = mapToGlobal(event->pos());
    const QPoint target = global - dragOffset;
    if (target.manhattanLength() > QApplication::startDragDistance()) {
        move(target);
        dragOffset = global - pos();
    }
}

void MainWindow::mouseReleaseEvent(QMouseEvent *)
{
    dragPressed = false;
}

// --- side buttons

void MainWindow::on_m_btn_Upgtade_clicked()
{
    setSideButtonIcons(":/image/select_devices_off.jpg", ":/image/select_upgrade_on.jpg",
                       ":/image/select_settings.jpg");
    // An editor kept open for its unsaved picture is not joined by another.
    if (!closeDialog(openImageEditor))
        return;
    slotsPage->openEditor(4, ui->label_10->text());
}

void MainWindow::on_m_btn_Devices_clicked()
{
    closeDialog(openImageEditor);
    ui->m_btn_User->hide();
    if (!serviceMode)
        ui->logTextBrowser->hide();
    setSideButtonIcons(":/image/select_devices_on.jpg", ":/image/select_upgrade.jpg",
                       ":/image/select_settings.jpg");
    ui->stackedWidget->setCurrentIndex(WindowLayout::DevicesPage);
    devicePage->readDevice();
}

void MainWindow::on_m_btn_Settings_clicked()
{
    setSideButtonIcons(":/image/select_devices_off.jpg", ":/image/select_upgrade.jpg",
                       ":/image/select_settings_on.jpg");
    ui->stackedWidget->setCurrentIndex(WindowLayout::SettingsPage);
    closeDialog(openImageEditor);
    // The handle the slot query left open for an upload that will not come;
    // closed between jobs, never under one.
    deviceController.releaseHandle();
}

void MainWindow::on_m_btn_User_clicked()
{
}

// --- title bar

void MainWindow::on_toolButton_2_title_mini_clicked()
{
    showMinimized();
}

void MainWindow::on_toolButton_2_title_close_released()
{
    close();
}

// The title-bar button and the system close the window the same way: the
// dialogs first, then the device, then the window, which ends the program.
// Never under a running device action: the window closes once it ends.
void MainWindow::closeEvent(QCloseEvent *event)
{
    // During the erase or the write stage the user may close at once (the
    // device then stays in its bootloader); a job that takes a Cancel stops
    // after its report in flight; the others are short writes, waited for.
    if (deviceController.state() == DeviceState::Unresponsive) {
        // The device thread is stuck in a call and may never come back: say
        // so, and end without it.
        tellDeviceStuck(this);
    } else if (!(firmwarePage->isWriting() && firmwarePage->mayCloseDuringWrite()) && deviceController.isBusy()) {
        event->ignore();
        deviceController.cancel();
        // Closed as soon as the device is free: before what the job's end
        // offers next (the backup written back), which a closed window skips.
        deviceController.whenFree(this, [this] { close(); });
        return;
    }
    if (!closeToolWindows()) {
        event->ignore();
        return;
    }
    // A closed window neither reads nor reports a device any more, and no
    // upload comes for a handle the slot query left open.
    firmwarePage->windowClosed();
    deviceController.stopPresenceWatch();
    deviceController.releaseHandle();
    QMainWindow::closeEvent(event);
}

// Every editor, drawing board and curve dialog goes with the window, not only
// the newest of each kind: an older editor left open would keep the program
// running, and its UPLOAD would still send.
bool MainWindow::closeToolWindows()
{
    // Unsaved pictures and curve points are asked about before anything closes.
    for (QWidget *window : QApplication::topLevelWidgets()) {
        auto *editor = qobject_cast<editDlg *>(window);
        if (editor && editor->isVisible() && !editor->mayClose())
            return false;
        auto *curves = qobject_cast<lineDlg *>(window);
        if (curves && curves->isVisible() && !curves->mayClose()) {
            // Points on their way to the device: the window closes once they got there.
            if (curves->isDeviceJobRunning())
                closeAfterCurveWrite(curves);
            return false;
        }
    }
    if (!editDlg::mayCloseDrawingBoards())
        return false;
    closeDialog(openCurveDialog);
    closeDialog(openImageEditor);
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (qobject_cast<lineDlg *>(window) || qobject_cast<editDlg *>(window))
            window->close();
    }
    editDlg::dropDrawingBoards();
    return true;
}

// --- product pages

void MainWindow::on_toolButton_9_clicked()
{
    QDesktopServices::openUrl(QUrl(ProductLinks::DevicePage, QUrl::TolerantMode));
}

void MainWindow::on_toolButton_20_clicked()
{
    QDesktopServices::openUrl(QUrl(ProductLinks::TankPage, QUrl::TolerantMode));
}

// --- controls that do nothing

void MainWindow::on_device_image_clicked()
{
}

void MainWindow::on_label_18_linkActivated(const QString &)
{
}

void MainWindow::on_toolButton_triggered(QAction *)
{
}

void MainWindow::on_progressBar_img4_valueChanged(int)
{
}

// The window's closing waits for the dialog's write of its unsaved points:
// once they reached the device (the dialog then closes itself) the window
// closes too; a failed write leaves both open.
void MainWindow::closeAfterCurveWrite(lineDlg *dialog)
{
    auto once = std::make_shared<QMetaObject::Connection>();
    *once = connect(dialog, &lineDlg::curveWriteFinished, this, [this, once](int, bool written) {
        disconnect(*once);
        if (written)
            QTimer::singleShot(0, this, &QWidget::close);
    });
}

// --- service mode: navigation to every page, the log pane, the write stage
// for a device already in its bootloader, and a visible result for every
// action. Off, the window starts and navigates exactly as without it.

void MainWindow::setupServiceMode()
{
    auto *toggle = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this);
    connect(toggle, &QShortcut::activated, this, [this] { setServiceMode(!serviceMode); });
}

void MainWindow::setServiceMode(bool on)
{
    if (on == serviceMode)
        return;
    serviceMode = on;
    report->setServiceMode(on);
    serviceBar->setShown(on);
    firmwarePage->serviceModeChanged();
    for (QPushButton *side : {ui->m_btn_Devices, ui->m_btn_Upgtade, ui->m_btn_Settings}) {
        side->setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
        side->setStyleSheet(on ? QLatin1String(SideButtonFocusStyle) : QString());
    }
    // Back to whatever title the program gave the window.
    if (on)
        titleOutsideServiceMode = windowTitle();
    setWindowTitle(on ? tr(ServiceTitle) : titleOutsideServiceMode);
    settingsPage->checkRanges();
    showServiceHistory(ui->verticalLayout_8, deviceController, on);
    if (on) {
        logPane->flush();
        ui->logTextBrowser->show();
        ui->logTextBrowser->moveCursor(QTextCursor::End);
        showServicePage(ui->stackedWidget->currentIndex());
    } else {
        // Back to the default navigation: the Devices page, the product panel
        // on top of the settings, no log pane.
        ui->widget_13->show();
        ui->widget_13->raise();
        ui->logTextBrowser->hide();
        ui->stackedWidget->setCurrentIndex(WindowLayout::DevicesPage);
    }
}

void MainWindow::showServicePage(int page)
{
    closeDialog(openImageEditor);
    ui->stackedWidget->setCurrentIndex(page);
    // The settings controls lie under the product panel.
    ui->widget_13->setVisible(page != WindowLayout::SettingsPage);
    if (page == WindowLayout::SlotsPage)
        slotsPage->refreshIcons();
}

void MainWindow::showServiceStatus(const QString &text)
{
    report->showResult(text);
}

bool MainWindow::remembersChoices()
{
    return SettingsPage::remembersChoices();
}

void MainWindow::setRemembersChoices(bool on)
{
    SettingsPage::setRemembersChoices(on);
}

// --- the pages' buttons, connected by name, and what others ask of a page

void MainWindow::on_openFirmwareFilePushButton_clicked() { firmwarePage->chooseFile(); }
void MainWindow::on_pushButton_clicked() { firmwarePage->startUpgrade(); }
void MainWindow::on_upgradeFirmwarePushButton_clicked() { firmwarePage->startWriteAlone(); }
void MainWindow::on_pushButton_2_clicked() { firmwarePage->sendRefresh(); }

void MainWindow::on_toolButton_2_clicked() { settingsPage->writeTable(); }
void MainWindow::on_toolButton_5_clicked() { settingsPage->loadProfile(); }
void MainWindow::on_toolButton_6_clicked() { settingsPage->saveProfile(); }
void MainWindow::on_toolButton_7_clicked() { settingsPage->fillDefaults(); }
void MainWindow::on_toolButton_8_clicked() { settingsPage->openCurves(); }
void MainWindow::on_pushButton_6_clicked() { settingsPage->setFahrenheitShown(false); }
void MainWindow::on_pushButton_7_clicked() { settingsPage->setFahrenheitShown(true); }

void MainWindow::on_toolButton_4_clicked() { slotsPage->openRow(1); }
void MainWindow::on_toolButton_10_clicked() { slotsPage->openRow(2); }
void MainWindow::on_toolButton_11_clicked() { slotsPage->openRow(3); }
void MainWindow::on_toolButton_12_clicked() { slotsPage->openRow(4); }
void MainWindow::on_toolButton_13_clicked() { slotsPage->openRow(5); }
void MainWindow::on_toolButton_14_clicked() { slotsPage->openTypedRow(1); }
void MainWindow::on_toolButton_15_clicked() { slotsPage->openTypedRow(2); }
void MainWindow::on_toolButton_16_clicked() { slotsPage->openTypedRow(3); }
void MainWindow::on_toolButton_17_clicked() { slotsPage->openTypedRow(4); }
void MainWindow::on_toolButton_18_clicked() { slotsPage->openTypedRow(5); }

void MainWindow::openSlotEditor(int slot, const QString &caption) { slotsPage->openEditor(slot, caption); }
void MainWindow::adoptImageEditor(editDlg *editor) { slotsPage->adoptImageEditor(editor); }
void MainWindow::refreshSlotIcons() { slotsPage->refreshIcons(); }
void MainWindow::refreshSlotIcon(int slot) { slotsPage->refreshIcon(slot); }
void MainWindow::setImageProgress(int value) { slotsPage->setImageProgress(value); }
