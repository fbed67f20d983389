// Service mode: navigation to every page, the log pane, the write stage for a
// device already in its bootloader, and a visible result for every action.
// Off, the window starts and navigates exactly as without it.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/dialogpointers.h"
#include "app/servicehistoryview.h"
#include "app/windowlayout.h"
#include "desktop/recentfolders.h"
#include "settings/my_spinbox.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTextStream>

namespace {

const char *const ServiceTitle = QT_TRANSLATE_NOOP("MainWindow", "Tessel Control — 服务模式");

// White text on the window's translucent panels; the focused button gets a
// clear frame so the row can be used from the keyboard.
const char *const ServiceButtonStyle =
    "QPushButton { color: white; background: rgba(255, 255, 255, 40); border: 1px solid rgba(255, 255, 255, 90);"
    " border-radius: 3px; padding: 2px 8px; }"
    "QPushButton:hover { background: rgba(255, 255, 255, 70); }"
    "QPushButton:checked { background: rgba(255, 255, 255, 110); }"
    "QPushButton:focus { border: 2px solid rgb(255, 200, 60); }";
const char *const SideButtonFocusStyle = "QPushButton:focus { border: 2px solid rgb(255, 200, 60); }";
const char *const RefusedCellColour = "color: rgb(255, 70, 70);";

LogFileChooser &logFileChooser()
{
    static LogFileChooser chooser;
    return chooser;
}

// Return and Enter press a focused button, as Space does.
class EnterPresses : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (auto *button = qobject_cast<QAbstractButton *>(watched)) {
                    button->click();
                    return true;
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

void setLogFileChooser(LogFileChooser chooser)
{
    logFileChooser() = std::move(chooser);
}

void MainWindow::setupServiceMode()
{
    auto *toggle = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), this);
    connect(toggle, &QShortcut::activated, this, [this] { setServiceMode(!serviceMode); });
}

void MainWindow::buildServiceBar()
{
    // In the title strip, between the wordmark and the window buttons.
    serviceBar = new QWidget(ui->widget_1title);
    serviceBar->setObjectName(QStringLiteral("serviceBar"));
    // The title strip's style sheet draws its picture as a border image and
    // reaches every child: the row would show a squeezed copy of it.
    serviceBar->setStyleSheet(QStringLiteral("border-image: none;"));
    auto *row = new QHBoxLayout(serviceBar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    auto *filter = new EnterPresses(serviceBar);
    const struct
    {
        const char *name;
        const char *text;
        std::function<void()> action;
    } buttons[] = {
        {"serviceDevicesButton", QT_TR_NOOP("设备信息"), [this] { on_m_btn_Devices_clicked(); }},
        {"serviceFirmwareButton", QT_TR_NOOP("固件升级"), [this] { showServicePage(WindowLayout::FirmwarePage); }},
        {"serviceSettingsButton", QT_TR_NOOP("输出设置"), [this] { showServicePage(WindowLayout::SettingsPage); }},
        {"serviceSlotsButton", QT_TR_NOOP("图片槽位"), [this] { showServicePage(WindowLayout::SlotsPage); }},
        {"serviceLogButton", QT_TR_NOOP("日志"), [this] {
             logPane->flush();
             ui->logTextBrowser->setVisible(!ui->logTextBrowser->isVisible());
         }},
    };
    for (const auto &b : buttons) {
        auto *button = new QPushButton(tr(b.text), serviceBar);
        button->setObjectName(QLatin1String(b.name));
        button->setFocusPolicy(Qt::StrongFocus);
        button->setStyleSheet(QLatin1String(ServiceButtonStyle));
        button->installEventFilter(filter);
        connect(button, &QPushButton::clicked, this, b.action);
        row->addWidget(button);
    }
    serviceStatus = new QLabel(serviceBar);
    serviceStatus->setObjectName(QStringLiteral("serviceStatusLabel"));
    serviceStatus->setTextFormat(Qt::PlainText);
    serviceStatus->setStyleSheet(QStringLiteral("color: white;"));
    row->addWidget(serviceStatus, 1);
    // Right of the wordmark, left of the window buttons.
    serviceBar->setGeometry(330, 5, 570, 28);

    for (QPushButton *side : {ui->m_btn_Devices, ui->m_btn_Upgtade, ui->m_btn_Settings}) {
        side->installEventFilter(filter);
    }

    // The log pane follows new lines; copy and save from its menu.
    ui->logTextBrowser->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->logTextBrowser, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu *menu = ui->logTextBrowser->createStandardContextMenu(at);
        menu->addAction(tr("另存为…"), this, &MainWindow::saveLogAs);
        menu->exec(ui->logTextBrowser->viewport()->mapToGlobal(at));
        delete menu;
    });
}

void MainWindow::setServiceMode(bool on)
{
    if (on == serviceMode)
        return;
    serviceMode = on;
    if (on && !serviceBar)
        buildServiceBar();
    serviceBar->setVisible(on);
    serviceStatus->clear();
    ui->upgradeFirmwarePushButton->setVisible(on);
    labelUpgradeButtons();
    releaseWriteStageButton();
    for (QPushButton *side : {ui->m_btn_Devices, ui->m_btn_Upgtade, ui->m_btn_Settings}) {
        side->setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
        side->setStyleSheet(on ? QLatin1String(SideButtonFocusStyle) : QString());
    }
    // Back to whatever title the program gave the window.
    if (on)
        titleOutsideServiceMode = windowTitle();
    setWindowTitle(on ? tr(ServiceTitle) : titleOutsideServiceMode);
    checkSettingsRanges();
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

void MainWindow::labelUpgradeButtons()
{
    ui->upgradeFirmwarePushButton->setText(serviceMode ? tr("升级固件（仅写入）") : tr("升级固件"));
    ui->upgradeFirmwarePushButton->setToolTip(
        serviceMode ? tr("只执行写入阶段，用于停在 Bootloader 中等待的设备（例如升级中断之后）：\n"
                         "先查询设备型号，再探测、写入、跳转，不擦除。\n"
                         "设备正常运行时请用“开始升级”。")
                    : QString());
    ui->pushButton->setToolTip(serviceMode ? tr("检查固件型号，擦除设备上的程序，然后写入固件") : QString());
}

void MainWindow::showServicePage(int page)
{
    closeDialog(openImageEditor);
    ui->stackedWidget->setCurrentIndex(page);
    // The settings controls lie under the product panel.
    ui->widget_13->setVisible(page != WindowLayout::SettingsPage);
    if (page == WindowLayout::SlotsPage)
        refreshSlotIcons();
}

void MainWindow::showServiceStatus(const QString &text)
{
    if (!serviceMode || !serviceStatus)
        return;
    // A long result is cut to the room in the title strip; the whole of it is
    // the tool tip (and the log's last line).
    const QFontMetrics metrics(serviceStatus->font());
    serviceStatus->setText(metrics.elidedText(text, Qt::ElideRight, qMax(40, serviceStatus->width())));
    serviceStatus->setToolTip(text);
}

void MainWindow::markRefusedCell(int row, int column)
{
    checkSettingsRanges();
    if (serviceMode && row >= 0)
        markSettingsCell(settingsSpinBoxes[row][column], RefusedCellColour,
                         unsendableSettingText(row, column));
}

void MainWindow::saveLogAs()
{
    const LogFileChooser &chooser = logFileChooser();
    QString path;
    if (chooser) {
        path = chooser(this);
    } else {
        const QString folder = recentFolder(QStringLiteral("log"));
        const QString name = QStringLiteral("tessel-control.log");
        path = QFileDialog::getSaveFileName(this, tr("保存日志"),
                                            folder.isEmpty() ? name : QDir(folder).filePath(name),
                                            tr("日志 (*.log *.txt)"));
        rememberFolderOf(QStringLiteral("log"), path);
    }
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        showServiceStatus(tr("日志无法保存：") + file.errorString());
        return;
    }
    QTextStream(&file) << ui->logTextBrowser->toPlainText() << '\n';
    showServiceStatus(tr("日志已保存：") + path);
}
