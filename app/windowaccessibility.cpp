#include "app/windowaccessibility.h"

#include "desktop/accessiblewindow.h"
#include "desktop/textfit.h"

#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QTableWidget>
#include <QTextBrowser>

namespace {

const char *const Context = "MainWindow";

// The forms' controls whose name says nothing, or whose face is a picture of
// words: what a screen reader says for them.
const AccessibleText WindowTexts[] = {
    {"toolButton_2_title_mini", QT_TRANSLATE_NOOP("MainWindow", "最小化"), QT_TRANSLATE_NOOP("MainWindow", "把窗口缩到任务栏")},
    {"toolButton_2_title_max", QT_TRANSLATE_NOOP("MainWindow", "最大化"), QT_TRANSLATE_NOOP("MainWindow", "窗口大小固定，此按钮不起作用")},
    {"toolButton_2_title_close", QT_TRANSLATE_NOOP("MainWindow", "关闭"), QT_TRANSLATE_NOOP("MainWindow", "关闭窗口并结束程序")},
    {"toolButton", QT_TRANSLATE_NOOP("MainWindow", "设备状态"), nullptr},
    {"m_btn_Devices", QT_TRANSLATE_NOOP("MainWindow", "设备信息"),
     QT_TRANSLATE_NOOP("MainWindow", "图片按钮「DEVICE」：读取设备并显示它的信息")},
    {"m_btn_Upgtade", QT_TRANSLATE_NOOP("MainWindow", "上传图片"),
     QT_TRANSLATE_NOOP("MainWindow", "图片按钮「UPLOAD」：为广告画面（槽 4）打开图片编辑器")},
    {"m_btn_Settings", QT_TRANSLATE_NOOP("MainWindow", "帮助"),
     QT_TRANSLATE_NOOP("MainWindow", "图片按钮「HELP」：显示产品页面的链接")},
    {"m_btn_User", QT_TRANSLATE_NOOP("MainWindow", "自定义"), QT_TRANSLATE_NOOP("MainWindow", "图片按钮「Usercustom」：不起作用")},
    {"device_image", QT_TRANSLATE_NOOP("MainWindow", "设备图片"), QT_TRANSLATE_NOOP("MainWindow", "已读取设备的图片")},
    {"firmwareFileLineEdit", QT_TRANSLATE_NOOP("MainWindow", "固件文件"), nullptr},
    {"progressBar_updata", QT_TRANSLATE_NOOP("MainWindow", "升级进度"), nullptr},
    {"tableWidget", QT_TRANSLATE_NOOP("MainWindow", "工作模式表"),
     QT_TRANSLATE_NOOP("MainWindow", "每种工作模式的功率、温度和发热丝系数；Tab 走到每个数值，上下方向键增减")},
    {"pushButton_6", QT_TRANSLATE_NOOP("MainWindow", "摄氏度"), QT_TRANSLATE_NOOP("MainWindow", "温度单位：°C")},
    {"pushButton_7", QT_TRANSLATE_NOOP("MainWindow", "华氏度"), QT_TRANSLATE_NOOP("MainWindow", "温度单位：°F")},
    {"toolButton_9", QT_TRANSLATE_NOOP("MainWindow", "VELTRA-MINI 产品页面"),
     QT_TRANSLATE_NOOP("MainWindow", "在浏览器中打开产品页面")},
    {"toolButton_20", QT_TRANSLATE_NOOP("MainWindow", "ORBIS TANK 产品页面"),
     QT_TRANSLATE_NOOP("MainWindow", "在浏览器中打开产品页面")},
    {"progressBar_img4", QT_TRANSLATE_NOOP("MainWindow", "图片上传进度"), nullptr},
    {"logTextBrowser", QT_TRANSLATE_NOOP("MainWindow", "日志"), nullptr},
};

// The image slot rows: caption, left thumbnail and file button; the right-hand
// thumbnails show slots 6-10 whatever number their row's box holds.
const struct
{
    const char *caption;
    const char *thumbnail;
    const char *fileButton;
    const char *rightThumbnail;
    const char *numberEdit;
    const char *rightFileButton;
} SlotRows[] = {
    {"label_4", "pushButton_8", "toolButton_4", "pushButton_14", "lineEdit_1", "toolButton_14"},
    {"label_6", "pushButton_9", "toolButton_10", "pushButton_17", "lineEdit_2", "toolButton_15"},
    {"label_8", "pushButton_10", "toolButton_11", "pushButton_16", "lineEdit_3", "toolButton_16"},
    {"label_10", "pushButton_11", "toolButton_12", "pushButton_15", "lineEdit_4", "toolButton_17"},
    {"label_12", "pushButton_12", "toolButton_13", "pushButton_13", "lineEdit_5", "toolButton_18"},
};

// A text of the window's, in the window's translation context.
QString inWindow(const char *text)
{
    return QCoreApplication::translate(Context, text);
}

void nameSlotRows(QWidget *window)
{
    int row = 0;
    for (const auto &names : SlotRows) {
        ++row;
        auto *caption = window->findChild<QLabel *>(QLatin1String(names.caption));
        const QString slotCaption = caption ? caption->text() : QString::number(row);
        const struct
        {
            const char *object;
            QString name;
        } controls[] = {
            {names.thumbnail, QCoreApplication::translate("MainWindow", "槽 %1 的图片").arg(row)},
            {names.fileButton, QCoreApplication::translate("MainWindow", "%1：选择文件").arg(slotCaption)},
            {names.rightThumbnail, QCoreApplication::translate("MainWindow", "槽 %1 的图片").arg(row + 5)},
            {names.numberEdit, QCoreApplication::translate("MainWindow", "第 %1 行的槽号").arg(row)},
            {names.rightFileButton, QCoreApplication::translate("MainWindow", "第 %1 行：按槽号选择文件").arg(row)},
        };
        for (const auto &control : controls)
            if (auto *w = window->findChild<QWidget *>(QLatin1String(control.object)))
                w->setAccessibleName(control.name);
        for (const char *thumbnail : {names.thumbnail, names.rightThumbnail})
            if (auto *w = window->findChild<QWidget *>(QLatin1String(thumbnail)))
                w->setAccessibleDescription(QCoreApplication::translate("MainWindow", "槽文件中保存的图片"));
        if (auto *w = window->findChild<QWidget *>(QLatin1String(names.numberEdit)))
            w->setAccessibleDescription(QCoreApplication::translate("MainWindow", "1 到 10；右边的按钮为这个槽打开图片编辑器"));
    }
}

// A number of the working-mode table: Up and Down step it as its buttons do,
// and its name says which mode and setting it holds, as the table shows them
// when it is reached (the temperature caption follows the unit).
class TableNumberKeys : public QObject
{
public:
    TableNumberKeys(QTableWidget *table, QWidget *window, QObject *parent)
        : QObject(parent), table(table), window(window)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *edit = qobject_cast<QLineEdit *>(watched);
        if (!edit)
            return false;
        if (event->type() == QEvent::FocusIn) {
            edit->setAccessibleName(cellName(edit));
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            const char *button = key == Qt::Key_Up ? "toolButton_2" : key == Qt::Key_Down ? "toolButton" : nullptr;
            if (button) {
                if (auto *step = edit->parentWidget()->findChild<QAbstractButton *>(QLatin1String(button)))
                    step->click();
                return true;
            }
        }
        return false;
    }

public:
    QString cellName(QLineEdit *edit) const
    {
        static const char *const headers[] = {"label_20", "label_21", "label_3"};
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 1; column < table->columnCount() && column <= 3; ++column)
                if (table->cellWidget(row, column) == edit->parentWidget()) {
                    const QTableWidgetItem *mode = table->item(row, 0);
                    auto *header = window->findChild<QLabel *>(QLatin1String(headers[column - 1]));
                    return QCoreApplication::translate("MainWindow", "%1：%2").arg(mode ? mode->text() : QString(), header ? header->text() : QString());
                }
        return edit->accessibleName();
    }

private:
    QTableWidget *table;
    QWidget *window;
};

void makeTableKeyboardReady(QWidget *window)
{
    auto *table = window->findChild<QTableWidget *>(QStringLiteral("tableWidget"));
    if (!table)
        return;
    auto *keys = new TableNumberKeys(table, window, table);
    for (int row = 0; row < table->rowCount(); ++row)
        for (int column = 0; column < table->columnCount(); ++column) {
            QWidget *cell = table->cellWidget(row, column);
            if (!cell)
                continue;
            // Up and Down in the number do what the two buttons do, so Tab
            // needs to stop only at the number.
            const QString step[] = {QStringLiteral("toolButton"), QStringLiteral("toolButton_2")};
            const char *const stepNames[] = {QT_TRANSLATE_NOOP("MainWindow", "减小"),
                                             QT_TRANSLATE_NOOP("MainWindow", "增大")};
            for (int i = 0; i < 2; ++i)
                if (auto *button = cell->findChild<QAbstractButton *>(step[i])) {
                    button->setFocusPolicy(Qt::NoFocus);
                    button->setAccessibleName(inWindow(stepNames[i]));
                }
            if (auto *edit = cell->findChild<QLineEdit *>(QStringLiteral("lineEdit"))) {
                edit->installEventFilter(keys);
                edit->setAccessibleName(keys->cellName(edit));
                edit->setAccessibleDescription(QCoreApplication::translate("MainWindow", "上下方向键增减"));
            }
        }
}

// The title strip's menu on the window's own colours: a menu made by the strip
// would take its navy picture and draw black words on it.
void giveTitleMenuItsOwnColours(QWidget *window)
{
    auto *strip = window->findChild<QWidget *>(QStringLiteral("widget_1title"));
    if (!strip)
        return;
    auto showMenu = [window, strip](const QPoint &global) {
        QMenu menu(window);
        menu.setObjectName(QStringLiteral("titleMenu"));
        menu.addActions(strip->actions());
        menu.exec(global);
    };
    strip->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(strip, &QWidget::customContextMenuRequested, strip,
                     [strip, showMenu](const QPoint &at) { showMenu(strip->mapToGlobal(at)); });
    // From the keyboard: Shift+F10 or the menu key; the log pane keeps its own menu.
    for (const QKeySequence &keys : {QKeySequence(Qt::SHIFT | Qt::Key_F10), QKeySequence(Qt::Key_Menu)}) {
        auto *shortcut = new QShortcut(keys, window);
        QObject::connect(shortcut, &QShortcut::activated, window, [window, strip, showMenu] {
            QWidget *focus = window->focusWidget();
            if (auto *log = qobject_cast<QTextBrowser *>(focus)) {
                const QPoint at = log->viewport()->rect().center();
                QContextMenuEvent event(QContextMenuEvent::Keyboard, at, log->viewport()->mapToGlobal(at));
                QCoreApplication::sendEvent(log->viewport(), &event);
                return;
            }
            showMenu(strip->mapToGlobal(QPoint(strip->width() / 4, strip->height())));
        });
    }
}

} // namespace

void makeWindowAccessible(QWidget *window)
{
    nameControls(window, Context, WindowTexts);
    nameSlotRows(window);
    makeTableKeyboardReady(window);
    giveTitleMenuItsOwnColours(window);
    fitTextsWhenShown(window);
    enableKeyboardWalk(window);
}

void describeDeviceStatus(QWidget *statusButton, bool online)
{
    statusButton->setAccessibleDescription(online ? QCoreApplication::translate("MainWindow", "设备已连接") : QCoreApplication::translate("MainWindow", "设备未连接"));
}
