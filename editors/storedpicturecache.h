#pragma once
// The editor's picture as its slot file will give it back (see
// storedAsBmp), worked out once per picture. It is prepared as soon as the
// events waiting after a change have run, while the user looks at the
// result, so that UPLOAD sends at once instead of encoding first.

#include "images/imageslot.h"

#include <QObject>
#include <QPixmap>
#include <QTimer>

#include <functional>

class StoredPictureCache : public QObject
{
public:
    // current gives the editor's picture as it is now.
    StoredPictureCache(std::function<QPixmap()> current, QObject *parent);

    // The current picture's stored form, worked out now unless it already
    // is; empty for no picture.
    const StoredPicture &get();
    // Works it out once the events waiting now have run.
    void prepareSoon();

private:
    std::function<QPixmap()> current;
    qint64 key = 0;
    StoredPicture stored;
    QTimer idle;
};
