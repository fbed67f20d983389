#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/dialogpointers.h"
#include "app/productlinks.h"
#include "device/devicelink.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QIcon>
#include <QMouseEvent>
#include <QTime>
#include <QTimer>
#include <QTextCharFormat>
#include <QUrl>

#include <hidapi.h>

namespace {

const QTextCharFormat &logFormat()
{
    static const QTextCharFormat format = [] {
        QTextCharFormat f;
        f.setForeground(QColor(235, 235, 235, 255));
        return f;
    }();
    return format;
}

// "  hh:mm:ss:zzz   ", written directly: QTime::toString parses its format
// string on every call.
QString logTimeStamp(const QTime &t)
{
    QString stamp(QStringLiteral("  00:00:00:000   "));
    const auto put = [&stamp](int at, int value, int digits) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            stamp[at + i] = QLatin1Char(char('0' + value % 10));
    };
    put(2, t.hour(), 2);
    put(5, t.minute(), 2);
    put(8, t.second(), 2);
    put(11, t.msec(), 3);
    return stamp;
}

// The local time of day, without asking the C library for the time zone on
// every log line (glibc looks at /etc/localtime on each call, which made the
// stamp the dearest part of a line). The offset from UTC is taken afresh
// whenever the minute changes, the only moments daylight saving time can
// begin or end.
QTime localTimeNow()
{
    static qint64 offsetMinute = -1;
    static qint64 offsetMs = 0;
    const qint64 utcMs = QDateTime::currentMSecsSinceEpoch();
    const qint64 minute = utcMs / 60000;
    if (minute != offsetMinute) {
        offsetMinute = minute;
        offsetMs = qint64(QDateTime::fromMSecsSinceEpoch(utcMs).offsetFromUtc()) * 1000;
    }
    constexpr qint64 DayMs = 24 * 60 * 60 * 1000;
    return QTime::fromMSecsSinceStartOfDay(int(((utcMs + offsetMs) % DayMs + DayMs) % DayMs));
}

constexpr qint64 HiddenLogEventIntervalMs = 4;

const QString DeviceBusyText = QStringLiteral("设备忙，请等待当前操作完成");

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    handle = nullptr;
    setWindowFlags(Qt::FramelessWindowHint);
    showDeviceStatus(false);

    QPalette palette;
    palette.setBrush(QPalette::All, QPalette::Window, QBrush(QPixmap(QStringLiteral(":/image/bg2.jpg"))));
    ui->widget_2->setPalette(palette);
    ui->widget_2->setAutoFillBackground(true);

    resetUpgradePage();
    setupSettingsTable();
    on_m_btn_Devices_clicked();
}

MainWindow::~MainWindow()
{
    // A handle still open here (the window was closed by the system rather
    // than by its close button) would otherwise never be released.
    closeDevice(handle);
    hid_exit();
    delete ui;
}

void MainWindow::appendLog(const QString &text)
{
    // One paragraph per line, written through a cursor at the end of the
    // document: the same text and colour as appending the pieces one by one,
    // at a fraction of the cost when a transfer logs thousands of lines.
    QTextDocument *document = ui->logTextBrowser->document();
    QTextCursor cursor(document);
    cursor.movePosition(QTextCursor::End);
    // A line break in the inserted text starts the new paragraph within the same edit.
    const QString paragraphBreak = document->isEmpty() ? QString() : QStringLiteral("\n");
    cursor.insertText(paragraphBreak + logTimeStamp(localTimeNow()) + QStringLiteral("-->   ") + text,
                      logFormat());
    // Keeping the newest line in view lays the text out; a hidden pane needs no view.
    const bool shown = ui->logTextBrowser->isVisible();
    if (shown)
        ui->logTextBrowser->moveCursor(QTextCursor::End);
    // A shown line is drawn at once. With the pane hidden there is nothing to
    // draw, and a transfer logging a line per report would spend most of its
    // time looking for events: they are handled every few milliseconds, often
    // enough for clicks and repaints to feel immediate.
    static QElapsedTimer sinceEvents;
    if (shown || !sinceEvents.isValid() || sinceEvents.hasExpired(HiddenLogEventIntervalMs)) {
        QCoreApplication::processEvents();
        sinceEvents.start();
    }
}

bool MainWindow::openDeviceForAction(const QString &failureText)
{
    const bool online = openDeviceQuietly(failureText);
    showDeviceStatus(online);
    return online;
}

bool MainWindow::openDeviceQuietly(const QString &failureText)
{
    if (!handle)
        handle = openDeviceOnce();
    if (!handle) {
        appendLog(failureText);
        return false;
    }
    return true;
}

void MainWindow::showDeviceStatus(bool online)
{
    ui->toolButton->setIcon(QIcon(online ? QStringLiteral("imageformats/USB_ON.jpg")
                                         : QStringLiteral("imageformats/USB_OFF.jpg")));
}

void MainWindow::reportDeviceBusy()
{
    appendLog(DeviceBusyText);
}

void MainWindow::setSideButtonIcons(const char *devices, const char *upload, const char *settings)
{
    ui->m_btn_Devices->setIcon(QIcon(QLatin1String(devices)));
    ui->m_btn_Upgtade->setIcon(QIcon(QLatin1String(upload)));
    ui->m_btn_Settings->setIcon(QIcon(QLatin1String(settings)));
    ui->m_btn_User->setIcon(QIcon(QStringLiteral(":/image/select_user.jpg")));
}

void MainWindow::resetUpgradePage()
{
    ui->upgradeFirmwarePushButton->hide();
    ui->label_4_updata_sta->setText(QStringLiteral("请打开固件"));
    ui->label_3_file_inf->setText(QString());
    ui->progressBar_updata->hide();
    ui->pushButton->setEnabled(false);
}

// --- window dragging: the window has no system frame

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    dragPressed = true;
    dragOffset = event->screenPos().toPoint() - pos();
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragPressed || event->buttons() == Qt::NoButton)
        return;
    const QPoint global = event->screenPos().toPoint();
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
    closeDialog(openImageEditor);
    openSlotEditor(4, ui->label_10->text());
}

void MainWindow::on_m_btn_Settings_clicked()
{
    setSideButtonIcons(":/image/select_devices_off.jpg", ":/image/select_upgrade.jpg",
                       ":/image/select_settings_on.jpg");
    ui->stackedWidget->setCurrentIndex(2);
    closeDialog(openImageEditor);
    // A running action owns the handle and closes it itself.
    if (!activity.isBusy())
        closeDevice(handle);
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
    if (activity.isBusy()) {
        event->ignore();
        activity.whenIdle([this] { QTimer::singleShot(0, this, &QWidget::close); });
        return;
    }
    closeDialog(openCurveDialog);
    closeDialog(openImageEditor);
    closeDevice(handle);
    QMainWindow::closeEvent(event);
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
