#include "desktop/accessiblewindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <algorithm>

namespace {

// Set on every window that walks by Tab in reading order.
const char *const KeyboardWalkProperty = "tesselKeyboardWalk";
const char *const FocusFrameName = "focusFrame";

// Drawn around the control the keyboard reached: amber inside a dark line,
// so it shows on the navy panels and on the white table alike. The pages'
// buttons are pictures drawn by style sheets, which leave no focus mark of
// their own.
class FocusFrame : public QWidget
{
public:
    static constexpr int Margin = 3;

    explicit FocusFrame(QWidget *window) : QWidget(window)
    {
        setObjectName(QLatin1String(FocusFrameName));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setFocusPolicy(Qt::NoFocus);
        hide();
    }

    void follow(QWidget *control)
    {
        target = control;
        place();
    }
    QWidget *followed() const { return target; }

    void place()
    {
        if (!target || !target->isVisible() || target->window() != parentWidget()) {
            hide();
            return;
        }
        const QRect around(target->mapTo(parentWidget(), QPoint(0, 0)), target->size());
        setGeometry(around.adjusted(-Margin, -Margin, Margin, Margin).intersected(parentWidget()->rect()));
        raise();
        show();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(QPen(QColor(20, 20, 20), 1));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
        painter.setPen(QPen(QColor(255, 200, 60), 2));
        painter.drawRect(QRectF(rect()).adjusted(2, 2, -2, -2));
    }

private:
    QPointer<QWidget> target;
};

FocusFrame *frameOf(QWidget *window)
{
    for (QObject *child : window->children())
        if (child->objectName() == QLatin1String(FocusFrameName))
            return static_cast<FocusFrame *>(child);
    return nullptr;
}

bool walksByKeyboard(const QWidget *window)
{
    return window && window->property(KeyboardWalkProperty).toBool();
}

// A control a panel lies over (the product links over the settings) is not
// seen, so Tab passes it by: none of its middle and corners can be pointed at.
bool covered(QWidget *control, QWidget *window)
{
    const QRect inner = control->rect().adjusted(2, 2, -2, -2);
    for (const QPoint &at : {inner.center(), inner.topLeft(), inner.topRight(), inner.bottomLeft(),
                             inner.bottomRight()}) {
        QWidget *hit = window->childAt(control->mapTo(window, at));
        if (!hit || hit == control || control->isAncestorOf(hit))
            return false;
    }
    return true;
}

bool isStop(QWidget *w, QWidget *window)
{
    return w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && !w->focusProxy() && w->width() > 0
           && w->height() > 0 && !covered(w, window);
}

struct Panel
{
    QRect area;
    QList<QWidget *> stops;
};

// Reading order of the panels and controls side by side in one parent: by
// rows (what begins above the first one's bottom shares its row), each row
// from left to right.
void sortForReading(QList<Panel> &panels)
{
    std::stable_sort(panels.begin(), panels.end(),
                     [](const Panel &a, const Panel &b) { return a.area.top() < b.area.top(); });
    QList<Panel> ordered;
    int at = 0;
    while (at < panels.size()) {
        const int rowBottom = panels[at].area.bottom();
        int end = at + 1;
        while (end < panels.size() && panels[end].area.center().y() < rowBottom)
            ++end;
        QList<Panel> row = panels.mid(at, end - at);
        std::stable_sort(row.begin(), row.end(),
                         [](const Panel &a, const Panel &b) { return a.area.left() < b.area.left(); });
        ordered += row;
        at = end;
    }
    panels = ordered;
}

void collectStops(QWidget *parent, QWidget *window, QList<QWidget *> &out)
{
    QList<Panel> panels;
    for (QObject *object : parent->children()) {
        auto *w = qobject_cast<QWidget *>(object);
        if (!w || w->isWindow() || !w->isVisibleTo(window))
            continue;
        Panel panel{w->geometry(), {}};
        if (isStop(w, window))
            panel.stops << w;
        collectStops(w, window, panel.stops);
        if (!panel.stops.isEmpty())
            panels << panel;
    }
    sortForReading(panels);
    for (const Panel &panel : panels)
        out += panel.stops;
}

void step(QWidget *window, QWidget *current, bool back)
{
    const QList<QWidget *> stops = tabStops(window);
    if (stops.isEmpty())
        return;
    // The stop itself, else the innermost stop holding it (a box's own line
    // edit): a table or a chart is a stop that holds further stops.
    int at = stops.indexOf(current);
    for (int i = 0; i < stops.size() && stops.indexOf(current) < 0 && current; ++i)
        if (stops[i]->isAncestorOf(current) && (at < 0 || stops[at]->isAncestorOf(stops[i])))
            at = i;
    const int count = stops.size();
    const int next = at < 0 ? (back ? count - 1 : 0) : (at + (back ? count - 1 : 1)) % count;
    stops[next]->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
}

// One filter for the whole program: it sees a key before the control does, so
// a table or a text box does not keep Tab to itself.
class KeyboardWalk : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Sees every event of the program: the few it wants are picked first.
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::FocusIn && type != QEvent::Move && type != QEvent::Resize
            && type != QEvent::Show && type != QEvent::Hide)
            return false;
        auto *w = qobject_cast<QWidget *>(watched);
        if (!w)
            return false;
        switch (type) {
        case QEvent::KeyPress: {
            QWidget *window = w->window();
            if (!walksByKeyboard(window))
                return false;
            auto *key = static_cast<QKeyEvent *>(event);
            const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
            if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
                && !(mods & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))) {
                QWidget *current = window->focusWidget() ? window->focusWidget() : w;
                step(window, current, key->key() == Qt::Key_Backtab || (mods & Qt::ShiftModifier));
                return true;
            }
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && mods == Qt::NoModifier) {
                auto *button = qobject_cast<QAbstractButton *>(w);
                if (button && button->isEnabled()) {
                    button->click();
                    return true;
                }
            }
            return false;
        }
        case QEvent::FocusIn: {
            QWidget *window = w->window();
            FocusFrame *frame = walksByKeyboard(window) ? frameOf(window) : nullptr;
            if (!frame)
                return false;
            // Only the keyboard's way there is framed: a click shows where it went.
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            const bool byKeyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
                                    || reason == Qt::ShortcutFocusReason;
            frame->follow(byKeyboard ? w : nullptr);
            return false;
        }
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::Show:
        case QEvent::Hide: {
            QWidget *window = w->window();
            if (!walksByKeyboard(window))
                return false;
            FocusFrame *frame = frameOf(window);
            if (frame && frame->followed() && (frame->followed() == w || w->isAncestorOf(frame->followed())))
                frame->place();
            return false;
        }
        default:
            return false;
        }
    }
};

} // namespace

void nameControls(QWidget *root, const char *context, const AccessibleText *texts, int count)
{
    for (int i = 0; i < count; ++i) {
        auto *w = root->findChild<QWidget *>(QLatin1String(texts[i].objectName));
        if (!w)
            continue;
        w->setAccessibleName(QCoreApplication::translate(context, texts[i].name));
        if (texts[i].description)
            w->setAccessibleDescription(QCoreApplication::translate(context, texts[i].description));
    }
}

void enableKeyboardWalk(QWidget *window)
{
    static QPointer<KeyboardWalk> walk;
    if (!walk)
        walk = new KeyboardWalk(qApp);
    qApp->removeEventFilter(walk);
    qApp->installEventFilter(walk);
    window->setProperty(KeyboardWalkProperty, true);
    if (!frameOf(window))
        new FocusFrame(window);
}

QList<QWidget *> tabStops(QWidget *window)
{
    QList<QWidget *> stops;
    collectStops(window, window, stops);
    return stops;
}
