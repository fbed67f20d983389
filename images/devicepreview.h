#pragma once
// What the device's screen will show, in a small window beside the editor: at
// its own size and magnified four times with the pixel edges drawn, so that a
// one-bit conversion can be judged dot by dot. The boot animation plays at the
// emulated screen's pace and then holds its last frame, as the screen does.

#include <QImage>
#include <QTimer>
#include <QVector>
#include <QWidget>

class QLabel;

class DevicePreview : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Magnification = 4;
    // The emulated screen shows a boot animation frame this long.
    static constexpr int FrameIntervalMs = 80;

    explicit DevicePreview(QWidget *parent = nullptr);

    // Shows screen (stopping an animation that plays).
    void showStill(const QImage &screen);
    // Plays frames one after the other; the last one stays.
    void play(const QVector<QImage> &frames);
    bool isPlaying() const { return frameTimer.isActive(); }

    // What is shown now, at the screen's size.
    QImage shownPicture() const { return shown; }

    // screen with every pixel a factor x factor block whose right column and
    // bottom row are mixed half and half with grey: the edges show on black
    // and on white alike.
    static QImage magnified(const QImage &screen, int factor = Magnification);

signals:
    // Each still and each frame, as it is shown.
    void pictureShown(const QImage &screen);
    // The user closed the window.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    // Opens wholly on the screen, shrunk to it where the picture is larger.
    void showEvent(QShowEvent *event) override;
    // A hidden view plays nothing.
    void hideEvent(QHideEvent *event) override;

private:
    void fitOnScreen();
    void display(const QImage &screen);
    void showNextFrame();

    QLabel *actualSize = nullptr;
    QLabel *magnifiedView = nullptr;
    QImage shown;
    QTimer frameTimer;
    QVector<QImage> frames;
    int nextFrame = 0;
};
