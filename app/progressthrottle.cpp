#include "app/progressthrottle.h"

#include <QProgressBar>
#include <QTimer>

ProgressThrottle::ProgressThrottle(QProgressBar *bar) : bar(bar) {}

void ProgressThrottle::setMaximum(int maximum)
{
    holding = false;
    first = true;
    bar->setMaximum(maximum);
}

bool ProgressThrottle::looksTheSame(int value) const
{
    // The bar shows a whole percentage.
    const qint64 span = qint64(bar->maximum()) - bar->minimum();
    if (span <= 0)
        return value == bar->value();
    const auto percent = [&](int v) { return (qint64(v) - bar->minimum()) * 100 / span; };
    return percent(value) == percent(bar->value());
}

void ProgressThrottle::setValue(int value, bool atOnce)
{
    if (!bar)
        return;
    // Progress only goes back when a new action starts: its first value.
    const bool restart = value < bar->value();
    if (atOnce || first || restart
        || (sinceShown.isValid() && sinceShown.hasExpired(IntervalMs) && !looksTheSame(value))) {
        show(value);
        return;
    }
    // Held back; shown when the interval is over unless a newer value comes first.
    held = value;
    holding = true;
    if (!timerArmed) {
        timerArmed = true;
        QTimer::singleShot(IntervalMs, bar, [this] {
            timerArmed = false;
            if (holding) {
                holding = false;
                show(held);
            }
        });
    }
}

void ProgressThrottle::settle()
{
    if (holding && bar)
        show(held);
    holding = false;
    first = true;
}

void ProgressThrottle::show(int value)
{
    holding = false;
    first = false;
    // Drawn with the window's next frame rather than inside setValue(), which
    // repaints the bar at once: the window's event loop runs while the device
    // works, and several values shown before that frame cost one drawing.
    bar->setUpdatesEnabled(false);
    bar->setValue(value);
    bar->setUpdatesEnabled(true);
    sinceShown.start();
}
