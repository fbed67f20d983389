#include "app/pages/settingspage.h"
#include "ui_mainwindow.h"

#include "app/dialogpointers.h"
#include "app/pages/windowoutput.h"
#include "app/profilefilechooser.h"
#include "device/deviceactivity.h"
#include "control/devicecontroller.h"
#include "device/deviceinfo.h"
#include "editors/linedlg.h"
#include "settings/my_spinbox.h"
#include "settings/profile.h"
#include "settings/settingsranges.h"
#include "settings/temperatureunits.h"

#include <QDateTime>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QSaveFile>
#include <QSettings>
#include <QTableWidgetItem>

#include <type_traits>

SettingsPage::SettingsPage(Ui::MainWindow &ui, DeviceController &controller, WindowOutput &output,
                           const DeviceInfo &info, QObject *parent)
    : QObject(parent), ui(ui), controller(controller), output(output), info(info)
{
    setupTable();
    restoreTemperatureUnit();
    connect(&controller, &DeviceController::finished, this, [this](DeviceJob kind, bool success, const QVariant &) {
        if (kind == DeviceJob::SettingsWrite)
            writeFinished(success);
    });
}

QWidget *SettingsPage::window() const
{
    return ui.centralWidget->window();
}

namespace {

// A spin box for a cell: value, minimum, maximum and step of its column.
my_spinbox *makeSettingsSpinBox(int column)
{
    switch (column) {
    case WattageColumn: return new my_spinbox(200, 0, 1000, 1);
    case TemperatureColumn: return new my_spinbox(280, 0, 1000, 1);
    default: return new my_spinbox(0.0005f, 0.0005f, 0.008f, 0.00001f);
    }
}

QTableWidgetItem *centredItem(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    return item;
}

} // namespace

void SettingsPage::setupTable()
{
    static_assert(std::extent<decltype(spinBoxes), 0>::value == SettingsRows
                      && std::extent<decltype(spinBoxes), 1>::value == SettingsColumns,
                  "one spin box pointer per cell of the working-mode table");
    QTableWidget *table = ui.tableWidget;
    table->setColumnCount(SettingsColumns);
    table->setRowCount(SettingsRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->hide();

    // The table starts from zeros: the device is never asked for its settings.
    const SettingsValues values{};
    for (int row = 0; row < SettingsRows; ++row) {
        table->setItem(row, ModeColumn, centredItem(QString::fromUtf8(settingsRows()[size_t(row)].name)));
        for (int column = WattageColumn; column < SettingsColumns; ++column) {
            if (!settingsCellTakesNumber(row, column)) {
                table->setItem(row, column, centredItem(tr("暂不支持")));
                continue;
            }
            my_spinbox *box = makeSettingsSpinBox(column);
            const qint32 value = values[size_t(row)][size_t(column)];
            box->setValue(column == TcrColumn ? float(value / TcrWireScale) : float(value));
            spinBoxes[row][column] = box;
            table->setCellWidget(row, column, box);
            connect(box->findChild<QLineEdit *>(QStringLiteral("lineEdit")), &QLineEdit::textChanged, this,
                    &SettingsPage::checkRanges);
        }
    }

    table->setColumnWidth(ModeColumn, 80);
    const int numberColumnWidth = (table->width() - 100) / 3;
    for (int column = WattageColumn; column < SettingsColumns; ++column)
        table->setColumnWidth(column, numberColumnWidth);
    const int rowHeight = table->height() / SettingsRows;
    for (int row = 0; row < SettingsRows; ++row)
        table->setRowHeight(row, rowHeight);
    table->setSelectionMode(QAbstractItemView::NoSelection);
}

void SettingsPage::writeTable()
{
    // A number two bytes cannot carry stops the write before the device is
    // touched, rather than reaching it wrapped or zeroed.
    const SettingsCollection settings = collectSettings(tableTexts());
    markRefusedCell(settings.badRow, settings.badColumn);
    if (!settings.ok()) {
        const QString refusal = unsendableSettingText(settings.badRow, settings.badColumn);
        output.addLogLine(refusal);
        output.showResult(tr("未写入：") + refusal);
        return;
    }

    // In service mode, values outside the device's ranges are sent only when
    // the user says so.
    if (output.inServiceMode() && !confirmOutOfRange(settings.values))
        return;
    // The write runs on the device thread; its end is shown by
    // writeFinished. Refused while another job runs (the controller
    // logs that).
    if (!controller.startSettingsWrite(settings.values))
        output.showResult(deviceBusyText());
}

void SettingsPage::writeFinished(bool written)
{
    output.showResult(written ? tr("设置已写入设备") : output.newestLogLine());
}

namespace {

const char *const FahrenheitKey = "settings/fahrenheit";
// A marked cell's number turns amber (outside the device's range) or red
// (cannot be sent at all); its tool tip says why.
const char *const OutOfRangeColour = "color: rgb(255, 200, 40);";
const char *const RefusedCellColour = "color: rgb(255, 70, 70);";

QString celsiusCaption(bool fahrenheit)
{
    return fahrenheit ? QCoreApplication::translate("MainWindow", "温度设定（°F）")
                      : QCoreApplication::translate("MainWindow", "温度设定（°C）");
}

} // namespace

SettingsTexts SettingsPage::tableTexts() const
{
    SettingsTexts texts;
    for (int row = 0; row < SettingsRows; ++row)
        for (int column = WattageColumn; column < SettingsColumns; ++column)
            if (const my_spinbox *box = spinBoxes[row][column])
                texts[size_t(row)][size_t(column)] = box->text();
    // The device is told degrees Celsius, whatever the table shows.
    if (fahrenheitShown) {
        for (auto &cells : texts) {
            QString &text = cells[size_t(TemperatureColumn)];
            bool number = false;
            const double fahrenheit = text.toDouble(&number);
            qint32 celsius = 0;
            if (number && fahrenheitToCelsius(fahrenheit, celsius))
                text = QString::number(celsius);
            else if (number)
                text = QStringLiteral("-1");   // below 0 °C or beyond two bytes: refused like any such cell
        }
    }
    return texts;
}

void SettingsPage::showValues(const SettingsValues &values)
{
    for (int row = 0; row < SettingsRows; ++row) {
        for (int column = WattageColumn; column < SettingsColumns; ++column) {
            my_spinbox *box = spinBoxes[row][column];
            if (!box)
                continue;
            const qint32 value = values[size_t(row)][size_t(column)];
            if (column == TcrColumn)
                box->setValue(float(value / TcrWireScale));
            else if (column == TemperatureColumn && fahrenheitShown)
                box->setValue(float(celsiusToFahrenheit(value)));
            else
                box->setValue(float(value));
        }
    }
    checkRanges();
}

// Wattages and temperatures the device would not take are marked, with the
// allowed range as the tool tip, once the Devices page has read the ranges.
void SettingsPage::checkRanges()
{
    for (auto &cells : spinBoxes)
        for (my_spinbox *box : cells)
            markCell(box, nullptr, QString());
    if (!output.inServiceMode())
        return;
    const SettingsCollection settings = collectSettings(tableTexts());
    if (!settings.ok())
        return;
    for (const OutOfRangeCell &cell : cellsOutOfRange(settings.values, info.screen))
        markCell(spinBoxes[cell.row][cell.column], OutOfRangeColour, outOfRangeText(cell));
}

void SettingsPage::markCell(my_spinbox *box, const char *colour, const QString &why)
{
    if (!box)
        return;
    auto *edit = box->findChild<QLineEdit *>(QStringLiteral("lineEdit"));
    // The form's own look of the number field stays; the colour goes on top.
    QVariant base = edit->property("formStyle");
    if (!base.isValid()) {
        base = edit->styleSheet();
        edit->setProperty("formStyle", base);
    }
    edit->setStyleSheet(colour ? base.toString() + QLatin1Char('\n') + QLatin1String(colour) : base.toString());
    box->setToolTip(why);
}

// Before a write with values outside the device's ranges: the list, and No
// unless the user says otherwise.
bool SettingsPage::confirmOutOfRange(const SettingsValues &values)
{
    const QVector<OutOfRangeCell> cells = cellsOutOfRange(values, info.screen);
    if (cells.isEmpty())
        return true;
    QStringList lines;
    for (const OutOfRangeCell &cell : cells)
        lines << outOfRangeText(cell);
    const bool write = QMessageBox::question(window(), tr("超出设备范围"),
                                             tr("以下设置超出设备报告的范围：\n%1\n仍要写入设备吗？")
                                                 .arg(lines.join(QLatin1Char('\n'))),
                                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                       == QMessageBox::Yes;
    if (!write) {
        output.addLogLine(tr("设置超出设备范围，未写入设备"));
        output.showResult(tr("未写入：设置超出设备范围"));
    }
    return write;
}

void SettingsPage::setFahrenheitShown(bool fahrenheit)
{
    if (fahrenheit == fahrenheitShown)
        return;
    // Each temperature is carried over through its Celsius value, so switching
    // back and forth changes nothing the device receives.
    for (auto &cells : spinBoxes) {
        my_spinbox *box = cells[TemperatureColumn];
        if (!box)
            continue;
        bool number = false;
        const double shown = box->text().toDouble(&number);
        if (!number)
            continue;
        qint32 celsius = 0;
        if (fahrenheit) {
            if (settingsWireValue(TemperatureColumn, box->text(), celsius))
                box->setValue(float(celsiusToFahrenheit(celsius)));
        } else if (fahrenheitToCelsius(shown, celsius)) {
            box->setValue(float(celsius));
        }
    }
    fahrenheitShown = fahrenheit;
    ui.label_21->setText(celsiusCaption(fahrenheit));
    if (remembersChoices())
        QSettings().setValue(QLatin1String(FahrenheitKey), fahrenheit);
}

namespace {
bool choicesRemembered = false;
}

// Choices are remembered for the program as started by its users; a window
// made without that (a test) starts from the defaults every time.
bool SettingsPage::remembersChoices()
{
    return choicesRemembered;
}

void SettingsPage::setRemembersChoices(bool on)
{
    choicesRemembered = on;
}

void SettingsPage::restoreTemperatureUnit()
{
    if (remembersChoices() && QSettings().value(QLatin1String(FahrenheitKey), false).toBool())
        setFahrenheitShown(true);
}

// 默认值（5）: the values the spin boxes start from, within the device's ranges
// once it has reported them (a 200 W default on an 80 W device would be
// refused by the device and marked in every row).
void SettingsPage::fillDefaults()
{
    showValues(defaultSettingsValues(info.screen));
    output.showResult(tr("已填入默认值（未写入设备）"));
}

// 加载文件（3）: the whole file is checked first; a bad one changes nothing.
// Loading writes nothing to the device: the write buttons do.
void SettingsPage::loadProfile()
{
    const QString path = askForProfileToLoad(window());
    if (path.isEmpty())
        return;
    const SettingsCollection current = collectSettings(tableTexts());
    ProfileLoad load = loadProfileFile(path, ProfileMode::Complete, current.values);
    // A file that leaves cells out may fill the others, if the user says so.
    if (!load.ok() && load.cellMissing && current.ok()
        && QMessageBox::question(window(), tr("加载配置文件"),
                                 tr("%1\n只加载文件中有的设置，其余保持表格中的值吗？").arg(load.error),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               == QMessageBox::Yes)
        load = loadProfileFile(path, ProfileMode::Merge, current.values);
    if (!load.ok()) {
        output.addLogLine(tr("%1：%2").arg(path, load.error));
        output.showResult(tr("未加载：") + load.error);
        return;
    }
    showValues(load.profile.settings);
    for (int curve = 0; curve < CurveCount; ++curve) {
        if (const auto &points = load.profile.curves[size_t(curve)]) {
            curveTable[size_t(curve)] = *points;
            curveHeld[size_t(curve)] = true;
        }
    }
    output.addLogLine(tr("已加载配置文件：") + path);
    output.showResult(tr("已加载配置文件（未写入设备）"));
}

// 保存文件（4）: the table as shown and every curve the program holds.
void SettingsPage::saveProfile()
{
    const SettingsCollection settings = collectSettings(tableTexts());
    if (!settings.ok()) {
        const QString refusal = unsendableSettingText(settings.badRow, settings.badColumn);
        output.addLogLine(refusal);
        output.showResult(tr("未保存：") + refusal);
        return;
    }
    const QString path =
        askForProfileToSave(window(), defaultProfileFileName(info.name, QDateTime::currentDateTime()));
    if (path.isEmpty())
        return;
    Profile profile;
    if (!info.name.isEmpty())
        profile.deviceName = info.name;
    if (!info.firmwareVersion.isEmpty())
        profile.firmwareVersion = info.firmwareVersion;
    profile.settings = settings.values;
    for (int curve = 0; curve < CurveCount; ++curve)
        if (curveHeld[size_t(curve)])
            profile.curves[size_t(curve)] = curveTable[size_t(curve)];
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(profileToJson(profile)) < 0 || !file.commit()) {
        output.addLogLine(tr("配置文件无法保存：") + path);
        output.showResult(tr("配置文件无法保存"));
        return;
    }
    output.addLogLine(tr("已保存配置文件：") + path);
    output.showResult(tr("已保存配置文件"));
}

void SettingsPage::markRefusedCell(int row, int column)
{
    checkRanges();
    if (output.inServiceMode() && row >= 0)
        markCell(spinBoxes[row][column], RefusedCellColour, unsendableSettingText(row, column));
}

void SettingsPage::openCurves()
{
    auto *dialog = new lineDlg(&controller, info.screen.powerHigh);
    connect(dialog, &lineDlg::message, this, [this](const QString &text) { output.addLogLine(text); });
    // Points above the device's top are asked about where the settings table's values are.
    dialog->setAsksAboutRange(output.inServiceMode());
    connect(dialog, &lineDlg::curveWriteFinished, this, [this](int curve, bool written) {
        output.showResult(written ? tr("曲线 M%1 已写入设备").arg(curve + 1) : output.newestLogLine());
    });
    // Each opening makes a new dialog; a closed one is not kept, and one left
    // open does not keep the program running once the main window closes.
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAttribute(Qt::WA_QuitOnClose, false);
    openCurveDialog = dialog;
    dialog->setWindowFlags(Qt::FramelessWindowHint);
    // Over the right-hand body of the window.
    dialog->move(output.dialogPlace());
    dialog->show();
}

