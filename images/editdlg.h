#pragma once
// The image editor: the picture of one image slot, prepared for the device's
// screen and sent to it with UPLOAD.

#include <QColor>
#include <QDialog>
#include <QPixmap>
#include <QPointer>

class DeviceSession;
class MyView;
class QImage;
class QPaintEvent;

namespace Ui {
class editDlg;
}

class editDlg : public QDialog
{
    Q_OBJECT

public:
    // slotNumber and the picture geometry come from the slot query; the
    // upload goes through session, whose messages carry the editor's log lines.
    editDlg(int slotNumber, int imageWidth, int imageHeight, int screenType, DeviceSession *session,
            QWidget *parent = nullptr);
    ~editDlg() override;

    // The picture being edited: what the image button shows and UPLOAD sends.
    const QPixmap &picture() const { return workPixmap; }
    // Replaces the picture (the drawing board hands its result back this way).
    void setPicture(const QPixmap &picture);
    QColor schemeBackground() const { return backgroundColour; }
    QColor schemeForeground() const { return foregroundColour; }

    void setTitleText(const QString &text);
    // An editor opened for an image slot is deleted once closed; one closed
    // while its own upload runs goes when the upload has ended.
    void setDeleteWhenClosed(bool on) { deleteWhenClosed = on; }
    void done(int result) override;

    void refreshImageButton();
    void renderText();
    void openDrawingBoard();
    // The newest drawing board this editor opened, while it is open.
    MyView *newestDrawingBoard() const;
    void uploadImage();

signals:
    // The upload's progress, for the window's progress bar (values outside
    // 0-100 occur and mean nothing).
    void progressChanged(int value);
    // The slot picture file was written: thumbnails showing it are stale.
    void slotPictureSaved(int slot);

protected slots:
    // The dialog draws only through its children.
    void paintEvent(QPaintEvent *event) override;

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

private:
    void applyScheme(int index);
    void mirror(bool horizontal, bool vertical);
    bool log(const QString &text);

    // The picture transfer (imagetransfer.cpp).
    void transferPicture();
    QImage storeSlotPicture();

    Ui::editDlg *ui = nullptr;
    // Guarded: the editor may outlive the window that owns the session.
    QPointer<DeviceSession> session;
    int slotNumber = 0;
    int imageWidth = 0;
    int imageHeight = 0;
    int screenType = 0;
    QPixmap sourcePixmap;
    QPixmap workPixmap;
    QColor backgroundColour;
    QColor foregroundColour;
    QPointer<MyView> drawingBoard;

    bool deleteWhenClosed = false;
    bool uploading = false;
    bool deleteAfterUpload = false;
};
