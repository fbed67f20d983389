#pragma once
// One operation of the image editor as an undo step: the picture before and
// after it. Consecutive steps share their pictures (a step's "after" is the
// next one's "before", and QPixmap shares its pixels), so a step costs about
// one picture.

#include <QPixmap>
#include <QUndoCommand>

#include <functional>

class PictureStep : public QUndoCommand
{
public:
    // show puts a picture on the editor; the first redo (on push) shows after.
    using Show = std::function<void(const QPixmap &picture)>;
    PictureStep(const QString &text, const QPixmap &before, const QPixmap &after, Show show);

    void undo() override;
    void redo() override;

    // Bytes of picture this step keeps alive beyond its neighbours.
    static qint64 cost(const QSize &pictureSize);

private:
    QPixmap before;
    QPixmap after;
    Show show;
};
