#pragma once
// The picture of an upload as the window's editor would send it. The editor
// keeps the picture as a pixmap and sends what its slot picture file (BMP)
// gives back; the same steps on a QImage give the same pixels without a
// window system.

#include "images/imageslot.h"   // throughBmpFile: what the slot file gives back

#include <QImage>

// The pixel format a pixmap on a 32-bit screen gives the picture: opaque
// pictures become RGB32, pictures with translucent pixels premultiplied ARGB32.
QImage asPixmapPicture(const QImage &picture);

