#include "images/undoshortcuts.h"

#include <QAction>
#include <QKeySequence>
#include <QWidget>

namespace {

void addAction(QWidget *window, const char *name, const QList<QKeySequence> &keys, std::function<void()> run)
{
    auto *action = new QAction(window);
    action->setObjectName(QLatin1String(name));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(action, &QAction::triggered, window, std::move(run));
    window->addAction(action);
}

} // namespace

void addUndoActions(QWidget *window, std::function<void()> undo, std::function<void()> redo)
{
    addAction(window, "undoAction", {QKeySequence(Qt::CTRL | Qt::Key_Z)}, std::move(undo));
    addAction(window, "redoAction",
              {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)}, std::move(redo));
}
