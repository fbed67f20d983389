#include "app/pages/slotspage.h"
#include "ui_mainwindow.h"

#include "app/dialogpointers.h"
#include "app/pages/windowoutput.h"
#include "app/progressthrottle.h"
#include "control/devicecontroller.h"
#include "editors/editdlg.h"
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

SlotsPage::SlotsPage(Ui::MainWindow &ui, DeviceController &controller, WindowOutput &output, QObject *parent)
    : QObject(parent), ui(ui), controller(controller), output(output),
      imageProgress(std::make_unique<ProgressThrottle>(ui.progressBar_img4))
{
    setupSlotNumberBoxes();
    connect(&controller, &DeviceController::finished, this, [this](DeviceJob kind, bool success, const QVariant &result) {
        if (kind == DeviceJob::SlotQuery)
            queryFinished(success, result);
        // The editor sets the bar while it listens; one closed meanwhile no
        // longer does, and a transfer that did not go through leaves no progress.
        else if (kind == DeviceJob::PictureUpload && !success)
            setImageProgress(0);
    });
}

SlotsPage::~SlotsPage() = default;

void SlotsPage::openEditor(int slot, const QString &caption)
{
    // The editor's title names the slot and its size; the row's caption is not shown there.
    Q_UNUSED(caption)
    // Refused, with its log line, while the device is busy.
    if (controller.startSlotQuery(slot))
        queriedSlot = slot;
}

void SlotsPage::queryFinished(bool success, const QVariant &result)
{
    const int slot = std::exchange(queriedSlot, 0);
    const SlotQueryResult answer = result.value<SlotQueryResult>();
    // Not opened, no usable size, or cancelled: no editor.
    if (!success || slot == 0 || !answer.geometry) {
        output.showResult(output.newestLogLine());
        return;
    }
    // The handle stays open on the device thread: the editor's upload uses it and closes it.
    const SlotGeometry &geometry = *answer.geometry;
    auto *editor = new editDlg(slot, geometry.imageWidth, geometry.imageHeight, geometry.screenType,
                               &controller);
    adoptImageEditor(editor);
    editor->setDeleteWhenClosed(true);
    openImageEditor = editor;
    editor->setWindowFlags(Qt::FramelessWindowHint);
    editor->move(output.dialogPlace());
    editor->show();
}

void SlotsPage::adoptImageEditor(editDlg *editor)
{
    connect(editor, &editDlg::progressChanged, this, &SlotsPage::setImageProgress);
    // The transfer's end, as the status line says it.
    connect(editor, &editDlg::uploadFinished, this, [this](bool sent, bool cancelled) {
        if (cancelled)
            output.showResult(output.newestLogLine());
        else
            output.showResult(sent ? tr("图片已发送") : tr("发送图片失败：") + output.newestLogLine());
    });
    connect(editor, &editDlg::slotPictureSaved, this, &SlotsPage::refreshIcon);
}

void SlotsPage::refreshIcons()
{
    for (int slot = 1; slot <= SlotThumbnails; ++slot)
        refreshIcon(slot);
}

// Only the slot whose file changed: a thumbnail reads its whole picture file
// again, which took longer than sending the picture.
void SlotsPage::refreshIcon(int slot)
{
    // The right-hand thumbnails show slots 6-10 whatever number their row holds.
    QAbstractButton *const thumbnails[SlotThumbnails] = {ui.pushButton_8,  ui.pushButton_9,  ui.pushButton_10,
                                                         ui.pushButton_11, ui.pushButton_12, ui.pushButton_14,
                                                         ui.pushButton_17, ui.pushButton_16, ui.pushButton_15,
                                                         ui.pushButton_13};
    if (slot >= 1 && slot <= SlotThumbnails)
        thumbnails[slot - 1]->setIcon(QIcon(slotImagePath(slot)));
}

void SlotsPage::setImageProgress(int value)
{
    // The start, the end and a failure's 0 show at once; the steps between
    // as often as the eye can follow.
    if (value >= 0 && value <= 100) {
        imageProgress->setValue(value, value == 0 || value == 100);
        if (value == 0 || value == 100)
            imageProgress->settle();
    }
}

// The right-hand rows take the slot number from their box: digits only, a
// slot the slot byte can name, the row's button off while there is none.
void SlotsPage::setupSlotNumberBoxes()
{
    const std::pair<QLineEdit *, QAbstractButton *> rows[] = {{ui.lineEdit_1, ui.toolButton_14},
                                                              {ui.lineEdit_2, ui.toolButton_15},
                                                              {ui.lineEdit_3, ui.toolButton_16},
                                                              {ui.lineEdit_4, ui.toolButton_17},
                                                              {ui.lineEdit_5, ui.toolButton_18}};
    for (const auto &[box, button] : rows) {
        box->setValidator(new QRegularExpressionValidator(SlotNumberPattern, box));
        button->setEnabled(typedSlot(box).has_value());
        connect(box, &QLineEdit::textChanged, button,
                [box = box, button = button] { button->setEnabled(typedSlot(box).has_value()); });
    }
}

void SlotsPage::openRow(int row)
{
    const QLabel *const captions[] = {ui.label_4, ui.label_6, ui.label_8, ui.label_10, ui.label_12};
    if (row >= 1 && row <= 5)
        openEditor(row, captions[row - 1]->text());
}

QLineEdit *SlotsPage::typedRowBox(int row) const
{
    QLineEdit *const boxes[] = {ui.lineEdit_1, ui.lineEdit_2, ui.lineEdit_3, ui.lineEdit_4, ui.lineEdit_5};
    return row >= 1 && row <= 5 ? boxes[row - 1] : nullptr;
}

void SlotsPage::openTypedRow(int row)
{
    if (const QLineEdit *box = typedRowBox(row))
        if (const std::optional<int> slot = typedSlot(box))
            openEditor(*slot, box->text());
}
