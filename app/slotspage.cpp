// Image slots page: the ten "选择文件(S)" buttons, the slot thumbnails, and
// the slot query that opens the image editor.

#include "app/mainwindow.h"
#include "ui_mainwindow.h"

#include "app/dialogpointers.h"
#include "images/editdlg.h"
#include "images/imageslot.h"

#include <QIcon>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include <optional>
#include <utility>

namespace {

// The numbers the slot byte can carry; slot 0 is no slot.
constexpr int FirstSlot = 1;
constexpr int LastSlot = 255;

// Plain digits only: no sign, no leading zero, no separator. Typing beyond
// 255 is refused as it is typed.
const QRegularExpression SlotNumberPattern(QStringLiteral("[1-9][0-9]?|1[0-9][0-9]|2[0-4][0-9]|25[0-5]"));

// The slot a row's box names; none while it is empty (or holds text put there
// around the validator).
std::optional<int> typedSlot(const QLineEdit *box)
{
    bool ok = false;
    const int slot = box->text().toInt(&ok);
    if (!ok || slot < FirstSlot || slot > LastSlot || box->text() != QString::number(slot))
        return std::nullopt;
    return slot;
}

} // namespace

void MainWindow::openSlotEditor(int slot, const QString &caption)
{
    // The editor's title names the slot and its size; the row's caption is not shown there.
    Q_UNUSED(caption)
    // Refused, with its log line, while the device is busy.
    if (deviceController.startSlotQuery(slot))
        queriedSlot = slot;
}

void MainWindow::slotQueryFinished(bool success, const QVariant &result)
{
    const int slot = std::exchange(queriedSlot, 0);
    const SlotQueryResult answer = result.value<SlotQueryResult>();
    // Not opened, no usable size, or cancelled: no editor.
    if (!success || slot == 0 || !answer.geometry) {
        showServiceStatus(lastLogLine);
        return;
    }
    // The handle stays open on the device thread: the editor's upload uses it and closes it.
    const SlotGeometry &geometry = *answer.geometry;
    auto *editor = new editDlg(slot, geometry.imageWidth, geometry.imageHeight, geometry.screenType,
                               &deviceController);
    adoptImageEditor(editor);
    editor->setDeleteWhenClosed(true);
    openImageEditor = editor;
    editor->setWindowFlags(Qt::FramelessWindowHint);
    editor->move(dialogPosition());
    editor->show();
}

void MainWindow::adoptImageEditor(editDlg *editor)
{
    connect(editor, &editDlg::progressChanged, this, &MainWindow::setImageProgress);
    // The transfer's end, as the status line says it.
    connect(editor, &editDlg::uploadFinished, this, [this](bool sent, bool cancelled) {
        if (cancelled)
            showServiceStatus(lastLogLine);
        else
            showServiceStatus(sent ? tr("图片已发送") : tr("发送图片失败：") + lastLogLine);
    });
    connect(editor, &editDlg::slotPictureSaved, this, &MainWindow::refreshSlotIcon);
}

void MainWindow::refreshSlotIcons()
{
    for (int slot = 1; slot <= SlotThumbnails; ++slot)
        refreshSlotIcon(slot);
}

// Only the slot whose file changed: a thumbnail reads its whole picture file
// again, which took longer than sending the picture.
void MainWindow::refreshSlotIcon(int slot)
{
    // The right-hand thumbnails show slots 6-10 whatever number their row holds.
    QAbstractButton *const thumbnails[SlotThumbnails] = {ui->pushButton_8,  ui->pushButton_9,  ui->pushButton_10,
                                                         ui->pushButton_11, ui->pushButton_12, ui->pushButton_14,
                                                         ui->pushButton_17, ui->pushButton_16, ui->pushButton_15,
                                                         ui->pushButton_13};
    if (slot >= 1 && slot <= SlotThumbnails)
        thumbnails[slot - 1]->setIcon(QIcon(slotImagePath(slot)));
}

void MainWindow::setImageProgress(int value)
{
    // The start, the end and a failure's 0 show at once; the steps between
    // as often as the eye can follow.
    if (value >= 0 && value <= 100) {
        imageProgress->setValue(value, value == 0 || value == 100);
        if (value == 0 || value == 100)
            imageProgress->settle();
    }
}

void MainWindow::on_toolButton_4_clicked()
{
    openSlotEditor(1, ui->label_4->text());
}

void MainWindow::on_toolButton_10_clicked()
{
    openSlotEditor(2, ui->label_6->text());
}

void MainWindow::on_toolButton_11_clicked()
{
    openSlotEditor(3, ui->label_8->text());
}

void MainWindow::on_toolButton_12_clicked()
{
    openSlotEditor(4, ui->label_10->text());
}

void MainWindow::on_toolButton_13_clicked()
{
    openSlotEditor(5, ui->label_12->text());
}

// The right-hand rows take the slot number from their box: digits only, a
// slot the slot byte can name, the row's button off while there is none.
void MainWindow::setupSlotNumberBoxes()
{
    const std::pair<QLineEdit *, QAbstractButton *> rows[] = {{ui->lineEdit_1, ui->toolButton_14},
                                                              {ui->lineEdit_2, ui->toolButton_15},
                                                              {ui->lineEdit_3, ui->toolButton_16},
                                                              {ui->lineEdit_4, ui->toolButton_17},
                                                              {ui->lineEdit_5, ui->toolButton_18}};
    for (const auto &[box, button] : rows) {
        box->setValidator(new QRegularExpressionValidator(SlotNumberPattern, box));
        button->setEnabled(typedSlot(box).has_value());
        connect(box, &QLineEdit::textChanged, button,
                [box = box, button = button] { button->setEnabled(typedSlot(box).has_value()); });
    }
}

void MainWindow::openTypedSlot(const QLineEdit *box)
{
    if (const std::optional<int> slot = typedSlot(box))
        openSlotEditor(*slot, box->text());
}

void MainWindow::on_toolButton_14_clicked()
{
    openTypedSlot(ui->lineEdit_1);
}

void MainWindow::on_toolButton_15_clicked()
{
    openTypedSlot(ui->lineEdit_2);
}

void MainWindow::on_toolButton_16_clicked()
{
    openTypedSlot(ui->lineEdit_3);
}

void MainWindow::on_toolButton_17_clicked()
{
    openTypedSlot(ui->lineEdit_4);
}

void MainWindow::on_toolButton_18_clicked()
{
    openTypedSlot(ui->lineEdit_5);
}
