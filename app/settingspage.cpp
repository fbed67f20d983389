// Output settings page: the working-mode table and its write to the device.
// The device is never asked for its settings; the table only flows to it.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "device/deviceactivity.h"
#include "settings/my_spinbox.h"
#include "settings/settingsblocks.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QTableWidgetItem>

#include <type_traits>

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

void MainWindow::setupSettingsTable()
{
    static_assert(std::extent<decltype(settingsSpinBoxes), 0>::value == SettingsRows
                      && std::extent<decltype(settingsSpinBoxes), 1>::value == SettingsColumns,
                  "one spin box pointer per cell of the working-mode table");
    QTableWidget *table = ui->tableWidget;
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
            settingsSpinBoxes[row][column] = box;
            table->setCellWidget(row, column, box);
            connect(box->findChild<QLineEdit *>(QStringLiteral("lineEdit")), &QLineEdit::textChanged, this,
                    &MainWindow::checkSettingsRanges);
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

void MainWindow::on_toolButton_2_clicked()
{
    // A number two bytes cannot carry stops the write before the device is
    // touched, rather than reaching it wrapped or zeroed.
    const SettingsCollection settings = collectSettings(settingsTexts());
    markRefusedCell(settings.badRow, settings.badColumn);
    if (!settings.ok()) {
        const QString refusal = unsendableSettingText(settings.badRow, settings.badColumn);
        appendLog(refusal);
        showServiceStatus(tr("未写入：") + refusal);
        return;
    }

    // In service mode, values outside the device's ranges are sent only when
    // the user says so.
    if (serviceMode && !confirmOutOfRange(settings.values))
        return;
    // The write runs on the device thread; its end is shown by
    // settingsWriteFinished. Refused while another job runs (the controller
    // logs that).
    if (!deviceController.startSettingsWrite(settings.values))
        showServiceStatus(deviceBusyText());
}

void MainWindow::settingsWriteFinished(bool written)
{
    showServiceStatus(written ? tr("设置已写入设备") : lastLogLine);
}
