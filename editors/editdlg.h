#pragma once
// The image editor: the picture of one image slot, prepared for the device's
// screen and sent to it with UPLOAD. Every change of the picture is a step
// that can be undone (Ctrl+Z) and redone (Ctrl+Shift+Z, Ctrl+Y).
//
// The transfer runs on the device controller's thread: UPLOAD starts it and
// returns, the editor follows its progress and hears its end. While it runs,
// CANCEL and Esc stop it; a stopped transfer sends no end report and leaves
// nothing marked as done (no slot file, no thumbnail, the picture still
// unsaved).

#include "images/dithering.h"
#include "images/picturefit.h"

#include <QColor>
#include <QDialog>
#include <QPixmap>
#include <QPointer>
#include <QUndoStack>

class DeviceController;
class DevicePreview;
class EditorPreview;
class PictureTransfer;
class StoredPictureCache;
class MyView;
class QDragEnterEvent;
class QDropEvent;
class QImage;
class QKeyEvent;
class QPaintEvent;

namespace Ui {
class editDlg;
}

class editDlg : public QDialog
{
    Q_OBJECT

public:
    // slotNumber and the picture geometry come from the slot query; the
    // upload runs on controller, whose log lines carry the editor's own.
    editDlg(int slotNumber, int imageWidth, int imageHeight, int screenType, DeviceController *controller,
            QWidget *parent = nullptr);
    ~editDlg() override;

    // The picture being edited: what the image button shows and UPLOAD sends.
    const QPixmap &picture() const { return workPixmap; }
    // Starts editing picture afresh, as if the slot file held it: no step to
    // undo, nothing unsaved.
    void setPicture(const QPixmap &picture);

    void setTitleText(const QString &text);
    // An editor opened for an image slot is deleted once closed; one closed
    // while its own upload runs stops the upload and goes when it has ended.
    void setDeleteWhenClosed(bool on) { deleteWhenClosed = on; }
    // Closing asks first when the picture has unsaved changes; Cancel keeps
    // the editor open. Its drawing boards stay open and answer for their own strokes.
    void done(int result) override;

    void refreshImageButton();
    void renderText();
    void openDrawingBoard();
    // The newest drawing board this editor opened, while it is open.
    MyView *newestDrawingBoard() const;
    // Every drawing board still open, also those whose editor has gone: before
    // the program closes, each asks about its strokes; false when one was
    // told to stay.
    static bool mayCloseDrawingBoards();
    // Closes every drawing board without its own question (asked before).
    static void dropDrawingBoards();
    // Starts the transfer of the picture; it ends with uploadFinished().
    void uploadImage();
    // True while this editor's transfer runs.
    bool isUploading() const;
    // Stops the running transfer after the report in flight; false when none runs.
    bool cancelUpload();

    // ADD without the file dialog (also what a dropped file does): the file's
    // picture fitted to the slot as the fit box says, or the reason it was
    // refused beside the picture and in the log.
    void addPictureFile(const QString &path);
    // The drawing board's picture, as a step of its own.
    void acceptBoardPicture(const QPixmap &picture);

    // Steps taken since the picture was loaded or saved to the slot file.
    bool hasUnsavedChanges() const;
    // Before the editor goes: with unsaved changes, asks whether they are
    // saved to the slot file, discarded, or the closing cancelled (false).
    bool mayClose();
    // Writes the picture to the slot file; false (and said why) when it could not.
    bool saveToSlotFile();
    QUndoStack &history() { return steps; }

    // What the device will show, rebuilt from the very data the upload would
    // send: the slot picture, or for the boot screen of a colour device the
    // last frame of its animation. Null without a picture.
    QImage deviceView() const;
    // The boot animation's 25 frames as they would be sent.
    QVector<QImage> bootAnimationView() const;
    // The window showing the device's view, while DEVICE VIEW is on.
    DevicePreview *devicePreview() const;
    // The text shown beside the picture (a refused file, a failed save); empty when none.
    QString message() const;

signals:
    // The upload's progress, for the window's progress bar (values outside
    // 0-100 occur and mean nothing).
    void progressChanged(int value);
    // The slot picture file was written: thumbnails showing it are stale.
    void slotPictureSaved(int slot);
    // Another colour scheme was chosen: the drawing boards paint with it.
    void schemeChanged(const QColor &foreground, const QColor &background);
    // The transfer ended: sent (the end report went out), or not; cancelled
    // when the user stopped it.
    void uploadFinished(bool sent, bool cancelled);

protected slots:
    // The dialog draws only through its children.
    void paintEvent(QPaintEvent *event) override;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // Esc stops a running transfer instead of closing the editor.
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void on_toolButton_clicked();
    void on_toolButton_2_clicked();
    void on_toolButton_3_clicked();
    void on_toolButton_5_clicked();
    void on_toolButton_6_clicked();
    void on_toolButton_7_clicked();
    void on_toolButton_8_clicked();
    void on_toolButton_9_clicked();
    void on_toolButton_4_clicked();
    void on_toolButton_10_clicked();
    void on_pushButton_pressed();
    void on_pushButton_clicked();
    void on_comboBox_2_currentIndexChanged(int index);
    void on_comboBox_2_activated(const QString &arg1);
    void on_fitComboBox_currentIndexChanged(int index);
    void on_ditheringComboBox_currentIndexChanged(int index);
    void on_invertCheckBox_toggled(bool checked);
    void on_previewToolButton_toggled(bool checked);
    void on_playToolButton_clicked();
    void on_cancelToolButton_clicked();

private:
    void applyScheme(int index);
    void mirror(bool horizontal, bool vertical);
    bool log(const QString &text);
    // Replaces the picture as a step that can be undone.
    void changePicture(const QPixmap &picture, const QString &operation);
    void showPicture(const QPixmap &picture);
    void showMessage(const QString &text);
    void setupChoices();
    void showDeviceView(const QImage &screen);

    // The picture transfer's end: the slot file, the bar, the editor's own end.
    void uploadEnded(bool sent, bool cancelled, bool fileWritten);
    void showTransferRunning(bool running);
    // The picture as the slot file gives it back, written and read as BMP.
    QImage pictureAsStored() const;

    Ui::editDlg *ui = nullptr;
    // Guarded: the editor may outlive the window that owns the controller.
    QPointer<DeviceController> controller;
    int slotNumber = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    int screenType = 0;
    QPixmap sourcePixmap;
    QPixmap workPixmap;
    QColor backgroundColour;
    QColor foregroundColour;
    QPointer<MyView> drawingBoard;
    EditorPreview *preview = nullptr;
    PictureTransfer *transfer = nullptr;
    StoredPictureCache *stored = nullptr;

    PictureFit fit = PictureFit::Stretch;
    Dithering dithering = Dithering::None;
    bool invertBits = false;

    bool deleteWhenClosed = false;
    bool deleteAfterUpload = false;
    // The history step the running transfer's picture was taken at.
    int sendingStep = -1;
    // The user chose to discard the changes; the close that follows does not ask again.
    bool discardChosen = false;
    QUndoStack steps;
};
