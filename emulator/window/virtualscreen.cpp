#include "virtualscreen.h"

#include "emulator/emulateddevice.h"
#include "windowplacement.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace emu {

namespace {

constexpr int slotNumbers = 256;   // the slot travels as one byte
// The main window's own title strip, with its buttons, which this window
// must never hide.
constexpr int mainTitleStripHeight = 40;
// Room for the decorations a window manager puts around this window, which
// are not known before it is first shown.
constexpr QMargins assumedFrame(4, 30, 4, 4);

qint64 identity(const QImage &picture)
{
    return picture.isNull() ? 0 : picture.cacheKey();
}

} // namespace

VirtualScreen::VirtualScreen(QWidget *parent)
    : QWidget(parent)
    , m_caption(new QLabel(this))
    , m_screen(new QLabel(this))
    , m_plug(new QPushButton(this))
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

    // The USB cable: tests and demonstrations of plugging the device in and out.
    m_plug->setObjectName(QStringLiteral("plugButton"));
    connect(m_plug, &QPushButton::clicked, this, &VirtualScreen::togglePlug);
    showPlugState();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(m_screen, 1);
    layout->addWidget(m_plug);

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
    const QScreen *screen = anchor->screen();
    if (!screen)
        return;
    QSize size = frameGeometry().size().expandedTo(sizeHint());
    if (frameGeometry() == geometry())
        size = size.grownBy(assumedFrame);
    move(emu::placeBeside(anchor->frameGeometry(), size, screen->availableGeometry(), mainTitleStripHeight));
}

void VirtualScreen::showEvent(QShowEvent *event)
{
    showPlugState();
    QWidget::showEvent(event);
}

void VirtualScreen::togglePlug()
{
    EmulatedDevice &device = EmulatedDevice::instance();
    device.setPresent(!device.isPresent());
    showPlugState();
}

void VirtualScreen::showPlugState()
{
    m_plug->setText(EmulatedDevice::instance().isPresent() ? tr("Unplug") : tr("Plug in"));
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
