#include "images/devicepreview.h"

#include "images/toolwindowplace.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>

namespace {

// A grey that differs from both black and white by half.
constexpr int EdgeGrey = 128;

QRgb edge(QRgb p)
{
    return qRgb((qRed(p) + EdgeGrey) / 2, (qGreen(p) + EdgeGrey) / 2, (qBlue(p) + EdgeGrey) / 2);
}

// Room for the pictures before the window scrolls.
const QSize LargestWindow(900, 640);

} // namespace

DevicePreview::DevicePreview(QWidget *parent) : QWidget(parent)
{
    auto *content = new QWidget;
    auto *row = new QHBoxLayout(content);
    actualSize = new QLabel;
    actualSize->setObjectName(QStringLiteral("actualSizeLabel"));
    actualSize->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    magnifiedView = new QLabel;
    magnifiedView->setObjectName(QStringLiteral("magnifiedLabel"));
    magnifiedView->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    row->addWidget(actualSize);
    row->addWidget(magnifiedView);
    row->addStretch();

    auto *scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);

    frameTimer.setInterval(FrameIntervalMs);
    connect(&frameTimer, &QTimer::timeout, this, &DevicePreview::showNextFrame);
}

void DevicePreview::showStill(const QImage &screen)
{
    frameTimer.stop();
    frames.clear();
    display(screen);
}

void DevicePreview::play(const QVector<QImage> &animation)
{
    frames = animation;
    nextFrame = 0;
    if (frames.isEmpty()) {
        frameTimer.stop();
        return;
    }
    showNextFrame();
    frameTimer.start();
}

void DevicePreview::showNextFrame()
{
    if (nextFrame >= frames.size()) {
        frameTimer.stop();
        return;
    }
    display(frames.at(nextFrame++));
    if (nextFrame >= frames.size())
        frameTimer.stop();
}

void DevicePreview::display(const QImage &screen)
{
    // The window fits a screen of a new size, up to a size that scrolls, and
    // stays wholly on the screen as it grows.
    if (screen.size() != shown.size()) {
        const QSize wanted(screen.width() * (Magnification + 1) + 50, screen.height() * Magnification + 30);
        resize(wanted.boundedTo(LargestWindow));
        if (isVisible())
            fitOnScreen();
    }
    shown = screen;
    actualSize->setPixmap(QPixmap::fromImage(screen));
    magnifiedView->setPixmap(QPixmap::fromImage(magnified(screen)));
    emit pictureShown(screen);
}

QImage DevicePreview::magnified(const QImage &screen, int factor)
{
    if (screen.isNull() || factor < 1)
        return QImage();
    if (factor == 1)
        return screen.convertToFormat(QImage::Format_RGB32);
    const QImage source = screen.convertToFormat(QImage::Format_RGB32);
    QImage large(source.width() * factor, source.height() * factor, QImage::Format_RGB32);
    for (int y = 0; y < large.height(); ++y) {
        const auto *in = reinterpret_cast<const QRgb *>(source.constScanLine(y / factor));
        auto *out = reinterpret_cast<QRgb *>(large.scanLine(y));
        const bool bottomRow = y % factor == factor - 1;
        for (int x = 0; x < large.width(); ++x) {
            const QRgb p = in[x / factor];
            out[x] = (bottomRow || x % factor == factor - 1) ? edge(p) : p;
        }
    }
    return large;
}

void DevicePreview::closeEvent(QCloseEvent *event)
{
    frameTimer.stop();
    QWidget::closeEvent(event);
    emit closed();
}

void DevicePreview::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    fitOnScreen();
}

void DevicePreview::fitOnScreen()
{
    // What scrolls needs no more than the screen's free area, frame included.
    const QSize room = ToolWindowPlace::availableArea(this).size() - (frameGeometry().size() - size());
    if (!room.isEmpty() && (width() > room.width() || height() > room.height()))
        resize(size().boundedTo(room));
    ToolWindowPlace::keepOnScreen(this);
}

void DevicePreview::hideEvent(QHideEvent *event)
{
    frameTimer.stop();
    QWidget::hideEvent(event);
}
