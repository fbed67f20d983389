#pragma once
// Undo and redo from the keyboard, the same in the editor and on the drawing
// board: Ctrl+Z undoes, Ctrl+Shift+Z and Ctrl+Y redo.

#include <functional>

class QWidget;

// Adds the actions "undoAction" and "redoAction" to window; they work while
// the window is active.
void addUndoActions(QWidget *window, std::function<void()> undo, std::function<void()> redo);
