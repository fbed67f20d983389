#include "app/pages/servicebar.h"
#include "ui_mainwindow.h"

#include "app/logpane.h"
#include "app/windowlayout.h"
#include "desktop/filechooser.h"
#include "control/devicecontroller.h"

#include <QComboBox>
#include <QFile>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTextStream>

namespace {

// White text on the window's translucent panels; the focused button gets a
// clear frame so the row can be used from the keyboard.
const char *const ServiceButtonStyle =
    "QPushButton { color: white; background: rgba(255, 255, 255, 40); border: 1px solid rgba(255, 255, 255, 90);"
    " border-radius: 3px; padding: 2px 8px; }"
    "QPushButton:hover { background: rgba(255, 255, 255, 70); }"
    "QPushButton:checked { background: rgba(255, 255, 255, 110); }"
    "QPushButton:focus { border: 2px solid rgb(255, 200, 60); }";

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


ServiceBar::ServiceBar(Ui::MainWindow &ui, DeviceController &controller, LogPane &log,
                       std::function<void(int page)> showPage, QObject *parent)
    : QObject(parent), ui(ui), log(log), showPage(std::move(showPage))
{
    // The result line speaks of the running action.
    connect(&controller, &DeviceController::jobStarted, this, [this] { showStatus(QString()); });
}

void ServiceBar::setShown(bool on)
{
    shown = on;
    if (on && !bar)
        build();
    if (!bar)
        return;
    bar->setVisible(on);
    status->clear();
}

void ServiceBar::build()
{
    // In the title strip, between the wordmark and the window buttons.
    bar = new QWidget(ui.widget_1title);
    bar->setObjectName(QStringLiteral("serviceBar"));
    // The title strip's style sheet draws its picture as a border image and
    // reaches every child: the row would show a squeezed copy of it.
    bar->setStyleSheet(QStringLiteral("border-image: none;"));
    auto *row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    auto *filter = new EnterPresses(bar);
    const struct
    {
        const char *name;
        const char *text;
        std::function<void()> action;
    } buttons[] = {
        {"serviceDevicesButton", QT_TR_NOOP("设备信息"), [this] { showPage(WindowLayout::DevicesPage); }},
        {"serviceFirmwareButton", QT_TR_NOOP("固件升级"), [this] { showPage(WindowLayout::FirmwarePage); }},
        {"serviceSettingsButton", QT_TR_NOOP("输出设置"), [this] { showPage(WindowLayout::SettingsPage); }},
        {"serviceSlotsButton", QT_TR_NOOP("图片槽位"), [this] { showPage(WindowLayout::SlotsPage); }},
        {"serviceLogButton", QT_TR_NOOP("日志"), [this] {
             log.flush();
             ui.logTextBrowser->setVisible(!ui.logTextBrowser->isVisible());
         }},
    };
    for (const auto &b : buttons) {
        auto *button = new QPushButton(tr(b.text), bar);
        button->setObjectName(QLatin1String(b.name));
        button->setFocusPolicy(Qt::StrongFocus);
        button->setStyleSheet(QLatin1String(ServiceButtonStyle));
        button->installEventFilter(filter);
        connect(button, &QPushButton::clicked, this, b.action);
        row->addWidget(button);
    }
    if (useDeviceBox) {
        // Shown only while more than one device is attached.
        auto *box = new QComboBox(bar);
        box->setObjectName(QStringLiteral("deviceChoiceBox"));
        box->setToolTip(tr("服务的设备（序列号 — 路径）"));
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        row->addWidget(box);
        useDeviceBox(box);
    }
    status = new QLabel(bar);
    status->setObjectName(QStringLiteral("serviceStatusLabel"));
    status->setTextFormat(Qt::PlainText);
    status->setStyleSheet(QStringLiteral("color: white;"));
    row->addWidget(status, 1);
    // Right of the wordmark, left of the window buttons.
    bar->setGeometry(330, 5, 570, 28);

    for (QPushButton *side : {ui.m_btn_Devices, ui.m_btn_Upgtade, ui.m_btn_Settings}) {
        side->installEventFilter(filter);
    }

    // The log pane follows new lines; copy and save from its menu.
    ui.logTextBrowser->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui.logTextBrowser, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu *menu = ui.logTextBrowser->createStandardContextMenu(at);
        menu->addAction(tr("另存为…"), this, &ServiceBar::saveLogAs);
        menu->exec(ui.logTextBrowser->viewport()->mapToGlobal(at));
        delete menu;
    });
}

void ServiceBar::setDeviceBoxUser(std::function<void(QComboBox *box)> use)
{
    useDeviceBox = std::move(use);
}

void ServiceBar::showStatus(const QString &text)
{
    if (!shown)
        return;
    // A long result is cut to the room in the title strip; the whole of it is
    // the tool tip (and the log's last line).
    const QFontMetrics metrics(status->font());
    status->setText(metrics.elidedText(text, Qt::ElideRight, qMax(40, status->width())));
    status->setToolTip(text);
}

void ServiceBar::saveLogAs()
{
    const QString path = chooseFileToSave(ui.centralWidget->window(),
                                          {QStringLiteral("log"), tr("保存日志"), tr("日志 (*.log *.txt)"),
                                           QStringLiteral("tessel-control.log"), QString()});
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        showStatus(tr("日志无法保存：") + file.errorString());
        return;
    }
    QTextStream(&file) << ui.logTextBrowser->toPlainText() << '\n';
    showStatus(tr("日志已保存：") + path);
}
