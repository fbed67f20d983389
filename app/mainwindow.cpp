#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/aboutbox.h"
#include "app/dialogpointers.h"
#include "app/logfile.h"
#include "app/productlinks.h"
#include "app/stucknotice.h"
#include "app/windowaccessibility.h"
#include "app/windowlayout.h"
#include "desktop/datafolder.h"
#include "history/servicehistoryrecorder.h"
#include "images/editdlg.h"
#include "images/myview.h"
#include "settings/linedlg.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QIcon>
#include <QMouseEvent>
#include <QStackedWidget>
#include <QTimer>
#include <QUrl>

#include <hidapi.h>


MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    logPane = std::make_unique<LogPane>(ui->logTextBrowser);
    imageProgress = std::make_unique<ProgressThrottle>(ui->progressBar_img4);
    firmwareProgress = std::make_unique<ProgressThrottle>(ui->progressBar_updata);
    // The dialogs sharing the device write their lines through it.
    connect(&deviceSession, &DeviceSession::message, this, [this](const QString &text, bool detail) {
        detail ? appendLogDetail(text) : appendLog(text);
    });
    connectController();
    setWindowFlags(Qt::FramelessWindowHint);
    showDeviceStatus(false);

    QPalette palette;
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(QPixmap(QStringLiteral(":/image/bg2.jpg"))));
    ui->widget_2->setPalette(palette);
    ui->widget_2->setAutoFillBackground(true);

    // What the device says about itself is shown as it is, never as markup.
    for (QLabel *label : {ui->lab_dev_name, ui->lab_dev_version, ui->lab_dev_size, ui->lab_dev_power,
                          ui->lab_dev_wendu, ui->lab_dev_support})
        label->setTextFormat(Qt::PlainText);

    resetUpgradePage();
    setupSettingsTable();
    restoreTemperatureUnit();
    setupServiceMode();
    setupDeviceHint();
    setupTitleMenu();
    setupSlotNumberBoxes();
    setupDeviceGate();
    connect(ui->stackedWidget, &QStackedWidget::currentChanged, this, &MainWindow::highlightNavigation);
    makeWindowAccessible(this);
    on_m_btn_Devices_clicked();

    // From here on a device plugged in or out is noticed. The start-up query
    // has told the watch what is there, so that device is not read again.
    // The controller lists the system's devices between its jobs.
    connect(&deviceController, &DeviceController::arrived, this, &MainWindow::deviceArrived);
    connect(&deviceController, &DeviceController::left, this, &MainWindow::deviceLeft);
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
    const bool deviceThreadEnded = deviceController.shutdown();
    // A handle still open here (the window was closed by the system rather
    // than by its close button) would otherwise never be released.
    deviceSession.close();
    if (deviceThreadEnded)
        hid_exit();
    delete ui;
}

void MainWindow::appendLogDetail(const QString &text)
{
    logPane->append(text, true);
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
    lastLogLine = text;
    logPane->append(text);
    // A refusal from a dialog comes as a line like any other.
    if (serviceMode && text == deviceBusyText())
        showServiceStatus(text);
}

QPoint MainWindow::dialogPosition() const
{
    return mapToGlobal(ui->widget_8->pos() + WindowLayout::DialogOffset);
}

void MainWindow::showDeviceStatus(bool online)
{
    ui->toolButton->setIcon(
        QIcon(imageFolder() + (online ? QStringLiteral("/USB_ON.jpg") : QStringLiteral("/USB_OFF.jpg"))));
    describeDeviceStatus(ui->toolButton, online);
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

void MainWindow::resetUpgradePage()
{
    ui->upgradeFirmwarePushButton->hide();
    ui->label_4_updata_sta->setText(tr("请打开固件"));
    ui->label_3_file_inf->setText(QString());
    ui->progressBar_updata->hide();
    ui->pushButton->setEnabled(false);
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
    openSlotEditor(4, ui->label_10->text());
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
    } else if (!(firmwareWriting && mayCloseDuringFirmwareWrite())
               && (deviceController.isBusy() || deviceSession.activity().isBusy())) {
        event->ignore();
        deviceController.cancel();
        deviceSession.activity().whenIdle([this] { QTimer::singleShot(0, this, &QWidget::close); });
        return;
    }
    if (!closeToolWindows()) {
        event->ignore();
        return;
    }
    // A closed window neither reads nor reports a device any more.
    windowClosed = true;
    deviceController.stopPresenceWatch();
    deviceSession.close();
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
    for (QWidget *window : QApplication::topLevelWidgets()) {
        auto *board = qobject_cast<MyView *>(window);
        if (board && board->isVisible() && !board->mayClose())
            return false;
    }
    closeDialog(openCurveDialog);
    closeDialog(openImageEditor);
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (qobject_cast<lineDlg *>(window) || qobject_cast<editDlg *>(window)) {
            window->close();
        } else if (qobject_cast<MyView *>(window)) {
            // Its strokes were asked about above; the board's own close
            // question would ask again.
            window->hide();
            window->deleteLater();
        }
    }
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
