// The settings page's files and units: loading and saving profiles, the
// default values, degrees Celsius or Fahrenheit, and the device's ranges.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/profilefilechooser.h"
#include "settings/my_spinbox.h"
#include "settings/profile.h"
#include "settings/settingsranges.h"
#include "settings/temperatureunits.h"

#include <QDateTime>
#include <QLineEdit>
#include <QMessageBox>
#include <QSaveFile>
#include <QSettings>

namespace {

const char *const FahrenheitKey = "settings/fahrenheit";
// A marked cell's number turns amber (outside the device's range) or red
// (cannot be sent at all); its tool tip says why.
const char *const OutOfRangeColour = "color: rgb(255, 200, 40);";

QString celsiusCaption(bool fahrenheit)
{
    return fahrenheit ? MainWindow::tr("温度设定（°F）") : MainWindow::tr("温度设定（°C）");
}

} // namespace

SettingsTexts MainWindow::settingsTexts() const
{
    SettingsTexts texts;
    for (int row = 0; row < SettingsRows; ++row)
        for (int column = WattageColumn; column < SettingsColumns; ++column)
            if (const my_spinbox *box = settingsSpinBoxes[row][column])
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

void MainWindow::showSettingsValues(const SettingsValues &values)
{
    for (int row = 0; row < SettingsRows; ++row) {
        for (int column = WattageColumn; column < SettingsColumns; ++column) {
            my_spinbox *box = settingsSpinBoxes[row][column];
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
    checkSettingsRanges();
}

// Wattages and temperatures the device would not take are marked, with the
// allowed range as the tool tip, once the Devices page has read the ranges.
void MainWindow::checkSettingsRanges()
{
    for (auto &cells : settingsSpinBoxes)
        for (my_spinbox *box : cells)
            markSettingsCell(box, nullptr, QString());
    if (!serviceMode)
        return;
    const SettingsCollection settings = collectSettings(settingsTexts());
    if (!settings.ok())
        return;
    for (const OutOfRangeCell &cell : cellsOutOfRange(settings.values, info.screen))
        markSettingsCell(settingsSpinBoxes[cell.row][cell.column], OutOfRangeColour, outOfRangeText(cell));
}

void MainWindow::markSettingsCell(my_spinbox *box, const char *colour, const QString &why)
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
bool MainWindow::confirmOutOfRange(const SettingsValues &values)
{
    const QVector<OutOfRangeCell> cells = cellsOutOfRange(values, info.screen);
    if (cells.isEmpty())
        return true;
    QStringList lines;
    for (const OutOfRangeCell &cell : cells)
        lines << outOfRangeText(cell);
    const bool write = QMessageBox::question(this, tr("超出设备范围"),
                                             tr("以下设置超出设备报告的范围：\n%1\n仍要写入设备吗？")
                                                 .arg(lines.join(QLatin1Char('\n'))),
                                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                       == QMessageBox::Yes;
    if (!write) {
        appendLog(tr("设置超出设备范围，未写入设备"));
        showServiceStatus(tr("未写入：设置超出设备范围"));
    }
    return write;
}

void MainWindow::setFahrenheitShown(bool fahrenheit)
{
    if (fahrenheit == fahrenheitShown)
        return;
    // Each temperature is carried over through its Celsius value, so switching
    // back and forth changes nothing the device receives.
    for (auto &cells : settingsSpinBoxes) {
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
    ui->label_21->setText(celsiusCaption(fahrenheit));
    if (remembersChoices())
        QSettings().setValue(QLatin1String(FahrenheitKey), fahrenheit);
}

namespace {
bool choicesRemembered = false;
}

// Choices are remembered for the program as started by its users; a window
// made without that (a test) starts from the defaults every time.
bool MainWindow::remembersChoices()
{
    return choicesRemembered;
}

void MainWindow::setRemembersChoices(bool on)
{
    choicesRemembered = on;
}

void MainWindow::restoreTemperatureUnit()
{
    if (remembersChoices() && QSettings().value(QLatin1String(FahrenheitKey), false).toBool())
        setFahrenheitShown(true);
}

void MainWindow::on_pushButton_6_clicked()
{
    setFahrenheitShown(false);
}

void MainWindow::on_pushButton_7_clicked()
{
    setFahrenheitShown(true);
}

// 默认值（5）: the values the spin boxes start from, within the device's ranges
// once it has reported them (a 200 W default on an 80 W device would be
// refused by the device and marked in every row).
void MainWindow::on_toolButton_7_clicked()
{
    showSettingsValues(defaultSettingsValues(info.screen));
    showServiceStatus(tr("已填入默认值（未写入设备）"));
}

// 加载文件（3）: the whole file is checked first; a bad one changes nothing.
// Loading writes nothing to the device: the write buttons do.
void MainWindow::on_toolButton_5_clicked()
{
    const QString path = askForProfileToLoad(this);
    if (path.isEmpty())
        return;
    const SettingsCollection current = collectSettings(settingsTexts());
    ProfileLoad load = loadProfileFile(path, ProfileMode::Complete, current.values);
    // A file that leaves cells out may fill the others, if the user says so.
    if (!load.ok() && load.cellMissing && current.ok()
        && QMessageBox::question(this, tr("加载配置文件"),
                                 tr("%1\n只加载文件中有的设置，其余保持表格中的值吗？").arg(load.error),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               == QMessageBox::Yes)
        load = loadProfileFile(path, ProfileMode::Merge, current.values);
    if (!load.ok()) {
        appendLog(tr("%1：%2").arg(path, load.error));
        showServiceStatus(tr("未加载：") + load.error);
        return;
    }
    showSettingsValues(load.profile.settings);
    for (int curve = 0; curve < CurveCount; ++curve) {
        if (const auto &points = load.profile.curves[size_t(curve)]) {
            curveTable[size_t(curve)] = *points;
            curveHeld[size_t(curve)] = true;
        }
    }
    appendLog(tr("已加载配置文件：") + path);
    showServiceStatus(tr("已加载配置文件（未写入设备）"));
}

// 保存文件（4）: the table as shown and every curve the program holds.
void MainWindow::on_toolButton_6_clicked()
{
    const SettingsCollection settings = collectSettings(settingsTexts());
    if (!settings.ok()) {
        const QString refusal = unsendableSettingText(settings.badRow, settings.badColumn);
        appendLog(refusal);
        showServiceStatus(tr("未保存：") + refusal);
        return;
    }
    const QString path =
        askForProfileToSave(this, defaultProfileFileName(info.name, QDateTime::currentDateTime()));
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
        appendLog(tr("配置文件无法保存：") + path);
        showServiceStatus(tr("配置文件无法保存"));
        return;
    }
    appendLog(tr("已保存配置文件：") + path);
    showServiceStatus(tr("已保存配置文件"));
}
