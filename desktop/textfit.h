#pragma once
// Texts that fit their control: a button's words too wide for it are set a
// little smaller, down to a size still easy to read; what is still too wide is
// cut with "…" and the whole text becomes the tool tip.

class QAbstractButton;
class QLabel;

// Fits the button's text (each of its lines) to its present width.
void fitButtonText(QAbstractButton *button);

class QWidget;

// Fits the one-line texts of window's labels and buttons that are wider than
// their control, each time the window or one of its pages is shown: a little
// smaller first, then cut with the whole text as tool tip. Texts that fit are
// left exactly as they are.
void fitTextsWhenShown(QWidget *window);
