#include "app/windowposition.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace {

// The frameless window is dragged by its top strip; so much of it must show.
constexpr int DragStripHeight = 40;
constexpr int VisibleStripWidth = 120;

QString settingsKey(const QString &key)
{
    return QStringLiteral("windows/") + key + QStringLiteral("/position");
}

} // namespace

std::optional<QPoint> restorablePosition(const QPoint &saved, const QSize &size, const QVector<QRect> &screens)
{
    const QRect strip(saved, QSize(size.width(), DragStripHeight));
    for (const QRect &screen : screens) {
        const QRect shown = strip.intersected(screen);
        if (shown.width() >= qMin(VisibleStripWidth, size.width()) && shown.height() >= DragStripHeight)
            return saved;
    }
    return std::nullopt;
}

void restoreWindowPosition(QWidget &window, const QString &key)
{
    const QVariant saved = QSettings().value(settingsKey(key));
    if (!saved.canConvert<QPoint>())
        return;
    QVector<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->availableGeometry();
    if (const auto at = restorablePosition(saved.toPoint(), window.frameGeometry().size(), screens))
        window.move(*at);
}

void saveWindowPosition(const QWidget &window, const QString &key)
{
    QSettings().setValue(settingsKey(key), window.pos());
}
