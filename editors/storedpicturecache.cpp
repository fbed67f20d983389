#include "editors/storedpicturecache.h"

#include <utility>

StoredPictureCache::StoredPictureCache(std::function<QPixmap()> currentPicture, QObject *parent)
    : QObject(parent), current(std::move(currentPicture))
{
    // Several changes in one pass (an undo and its repaint) cost one encoding.
    idle.setSingleShot(true);
    idle.setInterval(0);
    connect(&idle, &QTimer::timeout, this, [this] { get(); });
}

const StoredPicture &StoredPictureCache::get()
{
    const QPixmap picture = current();
    // A changed pixmap gets a new key; a null one has key 0.
    if (picture.cacheKey() != key) {
        key = picture.cacheKey();
        stored = picture.isNull() ? StoredPicture{} : storedAsBmp(picture.toImage());
    }
    return stored;
}

void StoredPictureCache::prepareSoon()
{
    idle.start();
}
