#include "desktop/textfit.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>

namespace {

// Smaller than this, the product links' 10-point captions would no longer be
// easy to read; they are cut instead.
constexpr qreal SmallestPointSize = 7.5;

int textRoom(const QAbstractButton *button)
{
    // What the frame and padding of the face leave of the width.
    return button->width() - (button->sizeHint().width() - button->fontMetrics().size(0, button->text()).width());
}

int labelRoom(const QLabel *label)
{
    return label->width() - (label->sizeHint().width() - label->fontMetrics().horizontalAdvance(label->text()));
}

// Sets the font of w a half point smaller while its text needs more than
// room gives, down to the smallest size; true when the text then fits.
template <typename Room, typename Needs>
bool shrinkToFit(QWidget *w, Room room, Needs needs)
{
    QFont font = w->font();
    if (font.pointSizeF() <= 0)
        return needs() <= room();
    while (needs() > room() && font.pointSizeF() - 0.5 >= SmallestPointSize) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        w->setFont(font);
    }
    return needs() <= room();
}

void fitLabelText(QLabel *label)
{
    const QString text = label->text();
    if (text.isEmpty() || label->wordWrap() || text.contains(QLatin1Char('\n')) || label->width() <= 0
        || label->textFormat() == Qt::RichText || label->sizeHint().width() <= label->width())
        return;
    if (shrinkToFit(label, [label] { return labelRoom(label); },
                    [label] { return label->fontMetrics().horizontalAdvance(label->text()); }))
        return;
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideRight, labelRoom(label)));
    label->setToolTip(text);
}

// Fits every text of the window that is too wide now.
class TextFitter : public QObject
{
public:
    explicit TextFitter(QWidget *window) : QObject(window), window(window) {}

    void fitAll()
    {
        // A label with a tool tip already shows a cut text of its own.
        for (QLabel *label : window->findChildren<QLabel *>())
            if (label->isVisibleTo(window) && label->toolTip().isEmpty())
                fitLabelText(label);
        for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
            auto *tool = qobject_cast<QToolButton *>(button);
            const bool textShown = !(tool && tool->toolButtonStyle() == Qt::ToolButtonIconOnly && !tool->icon().isNull());
            if (textShown && button->isVisibleTo(window) && button->sizeHint().width() > button->width())
                fitButtonText(button);
        }
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // At once, for what is placed by hand; once more when the layouts
        // have placed the rest.
        if (event->type() == QEvent::Show && watched == window) {
            fitAll();
            QTimer::singleShot(0, this, [this] { fitAll(); });
        }
        return false;
    }

private:
    QWidget *window;
};

} // namespace

void fitButtonText(QAbstractButton *button)
{
    const QString text = button->text();
    if (text.isEmpty() || button->width() <= 0)
        return;
    if (shrinkToFit(button, [button] { return textRoom(button); },
                    [button] { return button->fontMetrics().size(0, button->text()).width(); }))
        return;
    const int room = textRoom(button);
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines)
        line = button->fontMetrics().elidedText(line, Qt::ElideMiddle, room);
    button->setText(lines.join(QLatin1Char('\n')));
    button->setToolTip(text);
}

void fitTextsWhenShown(QWidget *window)
{
    auto *fitter = new TextFitter(window);
    window->installEventFilter(fitter);
    for (QStackedWidget *pages : window->findChildren<QStackedWidget *>())
        QObject::connect(pages, &QStackedWidget::currentChanged, fitter,
                         [fitter] {
                             fitter->fitAll();
                             QTimer::singleShot(0, fitter, [fitter] { fitter->fitAll(); });
                         });
    if (window->isVisible())
        fitter->fitAll();
}
