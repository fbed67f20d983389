#include "images/picturestep.h"

PictureStep::PictureStep(const QString &text, const QPixmap &before, const QPixmap &after, Show show)
    : QUndoCommand(text), before(before), after(after), show(std::move(show))
{
}

void PictureStep::undo()
{
    show(before);
}

void PictureStep::redo()
{
    show(after);
}

qint64 PictureStep::cost(const QSize &pictureSize)
{
    return qint64(pictureSize.width()) * pictureSize.height() * 4;
}
