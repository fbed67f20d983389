#include "virtualscreen.h"

#include "emulator/emulateddevice.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QScreen>
#include <QVBoxLayout>

namespace emu {

namespace {

constexpr int slotNumbers = 256;   // the slot travels as one byte
constexpr int windowGap = 16;

qint64 identity(const QImage &picture)
{
    return picture.isNull() ? 0 : picture.cacheKey();
}

} // namespace

VirtualScreen::VirtualScreen(QWidget *parent)
    : QWidget(parent)
    , m_caption(new QLabel(this))
    , m_screen(new QLabel(this))
{
    setWindowTitle(tr("Tessel Control — virtual device"));
    setObjectName(QStringLiteral("virtualScreen"));
    m_caption->setObjectName(QStringLiteral("captionLabel"));
    m_caption->setAlignment(Qt::AlignCenter);
    m_caption->setText(tr("No picture received yet"));
    m_screen->setObjectName(QStringLiteral("screenLabel"));
    m_screen->setAlignment(Qt::AlignCenter);
    m_screen->setMinimumSize(280, 300);
    m_screen->setStyleSheet(QStringLiteral("background: #101010; border: 6px solid #2a2a2a;"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(m_screen, 1);

    m_frameTimer.setInterval(frameIntervalMs);
    connect(&m_frameTimer, &QTimer::timeout, this, &VirtualScreen::showNextFrame);

    // Pictures already on the device before the window opened are not news.
    EmulatedDevice &device = EmulatedDevice::instance();
    for (int slot = 0; slot < slotNumbers; ++slot)
        m_seenSlots.insert(slot, identity(device.slotPicture(slot)));
    m_seenBoot = identity(device.bootAnimationFrames().value(0));

    // The device calls from whichever thread wrote the report; the widgets are
    // touched on their own thread only.
    QPointer<VirtualScreen> self(this);
    device.setScreenListener([self] {
        if (self)
            QMetaObject::invokeMethod(self.data(), [self] { if (self) self->takeNewPictures(); });
    });
}

QImage VirtualScreen::shownImage() const
{
    return m_shown;
}

QString VirtualScreen::caption() const
{
    return m_caption->text();
}

void VirtualScreen::placeBeside(const QWidget *anchor)
{
    const QRect frame = anchor->frameGeometry();
    const QScreen *screen = anchor->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    const QSize size = frameGeometry().size().expandedTo(sizeHint());
    QPoint at(frame.right() + windowGap, frame.top());
    if (room.isValid() && at.x() + size.width() > room.right())
        at.setX(qMax(room.left(), frame.left() - windowGap - size.width()));
    move(at);
}

void VirtualScreen::takeNewPictures()
{
    EmulatedDevice &device = EmulatedDevice::instance();
    const QVector<QImage> frames = device.bootAnimationFrames();
    if (identity(frames.value(0)) != m_seenBoot) {
        m_seenBoot = identity(frames.value(0));
        m_frames = frames;
        m_frameIndex = 0;
        showNextFrame();
        m_frameTimer.start();
    }
    for (int slot = 0; slot < slotNumbers; ++slot) {
        const QImage picture = device.slotPicture(slot);
        if (identity(picture) == m_seenSlots.value(slot))
            continue;
        m_seenSlots.insert(slot, identity(picture));
        m_frameTimer.stop();
        showPicture(picture, tr("Slot %1 — %2 × %3").arg(slot).arg(picture.width()).arg(picture.height()));
    }
}

void VirtualScreen::showPicture(const QImage &picture, const QString &caption)
{
    m_shown = picture;
    m_screen->setPixmap(QPixmap::fromImage(picture));
    m_caption->setText(caption);
}

void VirtualScreen::showNextFrame()
{
    if (m_frameIndex >= m_frames.size()) {
        m_frameTimer.stop();
        return;
    }
    showPicture(m_frames.at(m_frameIndex),
                tr("Boot animation — frame %1 of %2").arg(m_frameIndex + 1).arg(m_frames.size()));
    // The last frame stays on the screen, as the device's boot screen does.
    if (++m_frameIndex >= m_frames.size())
        m_frameTimer.stop();
}

} // namespace emu
