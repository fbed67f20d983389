#include "editors/editorpreview.h"

#include "images/devicepreview.h"
#include "images/imageslot.h"
#include "images/streampreview.h"
#include "images/toolwindowplace.h"

#include <QCoreApplication>
#include <QWidget>

EditorPreview::EditorPreview(const PictureTarget &target, QWidget *editor)
    : QObject(editor), target(target), editor(editor)
{
}

void EditorPreview::setConversion(Dithering newDithering, bool newInvert)
{
    dithering = newDithering;
    invert = newInvert;
}

QImage EditorPreview::sent(const QImage &picture) const
{
    if (target.screenType == ColourScreenType)
        return picture;
    return oneBitPicture(picture, dithering, invert);
}

QImage EditorPreview::view(const QImage &stored) const
{
    if (stored.isNull())
        return QImage();
    const QImage screen = sent(stored);
    if (target.screenType != ColourScreenType)
        return oneBitStreamPreview(screen);
    if (target.slot == BootScreenSlot)
        return animation(stored).constLast();
    return colourStreamPreview(screen, target.width, target.height);
}

QVector<QImage> EditorPreview::animation(const QImage &stored) const
{
    return bootAnimationPreview(stored);
}

void EditorPreview::makeWindow()
{
    if (preview)
        return;
    // A window of its own beside the editor, going with it.
    preview = new DevicePreview(editor);
    preview->setWindowFlags(Qt::Tool);
    preview->setWindowTitle(QCoreApplication::translate("Pictures", "设备显示 — %1").arg(editor->windowTitle()));
    connect(preview, &DevicePreview::pictureShown, this, &EditorPreview::pictureShown);
    connect(preview, &DevicePreview::closed, this, &EditorPreview::closed);
}

void EditorPreview::setWindowShown(bool shown)
{
    if (!preview)
        return;
    if (!shown)
        preview->hide();
    else if (!preview->isVisible())
        ToolWindowPlace::showBeside(preview, editor);
}

void EditorPreview::showStill(const QImage &screen)
{
    if (preview)
        preview->showStill(screen);
}

void EditorPreview::play(const QVector<QImage> &frames)
{
    if (preview)
        preview->play(frames);
}

DevicePreview *EditorPreview::window() const
{
    return preview;
}

void EditorPreview::closeWindow()
{
    if (preview)
        preview->close();
}
