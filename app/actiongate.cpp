#include "app/actiongate.h"

#include <QEvent>

void ActionGate::add(QWidget *button)
{
    entries.push_back({button, button->isEnabled(), button->toolTip()});
    button->installEventFilter(this);
    apply(entries.back());
}

void ActionGate::hold(const QString &why)
{
    if (why == reason)
        return;
    const bool wasHolding = isHolding();
    reason = why;
    for (Entry &entry : entries) {
        if (!entry.button)
            continue;
        if (!wasHolding)
            entry.toolTip = entry.button->toolTip();
        apply(entry);
    }
}

void ActionGate::apply(Entry &entry)
{
    applying = true;
    entry.button->setEnabled(entry.wanted && !isHolding());
    entry.button->setToolTip(isHolding() ? reason : entry.toolTip);
    applying = false;
}

bool ActionGate::eventFilter(QObject *watched, QEvent *event)
{
    if (applying || event->type() != QEvent::EnabledChange)
        return false;
    for (Entry &entry : entries) {
        if (entry.button != watched)
            continue;
        // The page changed the button: that is what it wants from now on.
        entry.wanted = entry.button->isEnabled();
        if (isHolding() && entry.wanted) {
            applying = true;
            entry.button->setEnabled(false);
            applying = false;
        }
        break;
    }
    return false;
}
