#pragma once
// The image slots page: the ten "选择文件(S)" rows, the slot thumbnails, and
// the slot query that opens the image editor; the picture upload's progress bar.

#include <QCoreApplication>
#include <QObject>

#include <memory>

class DeviceController;
class editDlg;
class ProgressThrottle;
class QLineEdit;
class WindowOutput;
namespace Ui {
class MainWindow;
}

class SlotsPage : public QObject
{
    Q_DECLARE_TR_FUNCTIONS(MainWindow)

public:
    static constexpr int SlotThumbnails = 10;

    SlotsPage(Ui::MainWindow &ui, DeviceController &controller, WindowOutput &output, QObject *parent = nullptr);
    ~SlotsPage() override;

    // Asks the device for the slot's picture geometry (on the device thread)
    // and opens a new image editor for it once the answer came; the device
    // stays open for the upload. A cancelled or failed query opens none.
    void openEditor(int slot, const QString &caption);
    // The row of a left-hand button (1-5), whose slot is its own number.
    void openRow(int row);
    // The row of a right-hand button (1-5), whose slot is typed in its box.
    void openTypedRow(int row);
    // Lets an image editor write to the progress bar, the result line and the
    // slot thumbnails.
    void adoptImageEditor(editDlg *editor);
    // The thumbnails of slots 1-10 (or of one slot), read again from the slot files.
    void refreshIcons();
    void refreshIcon(int slot);
    // The picture upload's progress bar; values outside 0-100 leave it as it is.
    void setImageProgress(int value);

private:
    void setupSlotNumberBoxes();
    void queryFinished(bool success, const QVariant &result);
    QLineEdit *typedRowBox(int row) const;

    Ui::MainWindow &ui;
    DeviceController &controller;
    WindowOutput &output;
    std::unique_ptr<ProgressThrottle> imageProgress;
    // The slot whose query runs on the controller; 0 when none.
    int queriedSlot = 0;
};
