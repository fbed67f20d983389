#pragma once
// DEVICE VIEW and PLAY of the image editor: its picture as the device's screen
// will show it, rebuilt from the data the upload would send, and the small
// window beside the editor that shows it. The editor tells it what to show;
// it tells the editor, by its signals, what the window did.

#include "images/dithering.h"
#include "images/pictureupload.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QVector>

class DevicePreview;
class QWidget;

class EditorPreview : public QObject
{
    Q_OBJECT

public:
    // target: the slot the editor sends to; editor: the window the preview
    // goes with (its title names the preview's, and the preview sits beside it).
    EditorPreview(const PictureTarget &target, QWidget *editor);

    // The conversion a one-bit screen gets.
    void setConversion(Dithering dithering, bool invert);
    // What the screen is sent of picture: one-bit screens get the chosen conversion.
    QImage sent(const QImage &picture) const;
    // What the device will show of stored (the picture as the slot file gives
    // it back): the slot picture, or for the boot screen of a colour device
    // the last frame of its animation. Null for a null picture.
    QImage view(const QImage &stored) const;
    // The boot animation's 25 frames as they would be sent.
    QVector<QImage> animation(const QImage &stored) const;

    // Makes the window, the first time only.
    void makeWindow();
    // Shows the window beside the editor, or hides it; nothing before it is made.
    void setWindowShown(bool shown);
    // What the window shows now (stopping an animation); nothing before it is made.
    void showStill(const QImage &screen);
    // Plays frames in the window.
    void play(const QVector<QImage> &frames);
    // Closes the window, when there is one.
    void closeWindow();
    // The window, once made and while it lasts.
    DevicePreview *window() const;

signals:
    // Each still and each frame, as the window shows it.
    void pictureShown(const QImage &screen);
    // The user closed the window.
    void closed();

private:
    PictureTarget target;
    QWidget *editor;
    Dithering dithering = Dithering::None;
    bool invert = false;
    QPointer<DevicePreview> preview;
};
