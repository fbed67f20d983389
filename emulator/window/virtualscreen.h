#pragma once

#include <QHash>
#include <QImage>
#include <QTimer>
#include <QVector>
#include <QWidget>

class QLabel;
class QPushButton;

namespace emu {

// What the emulated device's screen shows: the last picture uploaded to a slot, with
// the slot number, or the boot animation played through once, holding its last frame.
// Follows the emulated device by itself from construction on.
class VirtualScreen : public QWidget
{
    Q_OBJECT

public:
    static constexpr int frameIntervalMs = 80;

    explicit VirtualScreen(QWidget *parent = nullptr);

    QImage shownImage() const;   // the picture on the screen now; null before the first
    QString caption() const;

    // Places the window beside `anchor` where it has room, never over it
    // (see windowplacement.h).
    void placeBeside(const QWidget *anchor);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void togglePlug();
    void showPlugState();
    void takeNewPictures();
    void showPicture(const QImage &picture, const QString &caption);
    void showNextFrame();

    QLabel *m_caption;
    QLabel *m_screen;
    QPushButton *m_plug;
    QImage m_shown;
    QTimer m_frameTimer;
    QVector<QImage> m_frames;
    int m_frameIndex = 0;
    // Identity of the pictures already seen, so that a re-upload of the same picture
    // still counts as new.
    QHash<int, qint64> m_seenSlots;
    qint64 m_seenBoot = 0;
};

} // namespace emu
