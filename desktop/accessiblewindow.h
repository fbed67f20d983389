#pragma once
// A frameless window that keyboards and screen readers can use: Tab and
// Shift+Tab walk the controls a person sees in reading order (top to bottom,
// left to right, one panel at a time), a frame marks the control the keyboard
// reached, Return and Enter press a focused button, and controls whose face
// is a picture get a name and a description from the translator.

#include <QList>

class QWidget;

// One control's spoken name and, where its face is a picture of words, what
// the picture says and does. Source texts in Chinese, translated in the
// context given to nameControls (nullptr: no description).
struct AccessibleText
{
    const char *objectName;
    const char *name;
    const char *description;
};

// Names the controls under root from texts, each translated in context.
// A control missing from root is passed over (a form may leave one out).
void nameControls(QWidget *root, const char *context, const AccessibleText *texts, int count);
template <int N>
void nameControls(QWidget *root, const char *context, const AccessibleText (&texts)[N])
{
    nameControls(root, context, texts, N);
}

// From now on window walks by Tab in reading order, frames the control the
// keyboard reached and lets Return or Enter press a focused button.
void enableKeyboardWalk(QWidget *window);

// The controls Tab reaches in window now, in the order it reaches them:
// shown, enabled, taking Tab focus, of some size, and not covered by a
// panel lying over them.
QList<QWidget *> tabStops(QWidget *window);
