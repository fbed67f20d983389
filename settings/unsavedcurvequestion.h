#pragma once
// The question before dragged or imported points that the device has not
// received give way to another curve, a new read or the dialog's closing:
// write them to the device, discard them, or stay. Replaceable, so that an
// automated run answers it without a modal window.

#include <functional>

class QWidget;

enum class UnsavedCurveAnswer { Write, Discard, Cancel };

// Asks about curve (0-4, shown as "M1"-"M5"); Esc and closing the question are Cancel.
UnsavedCurveAnswer askAboutUnsavedCurve(QWidget *parent, int curve);

// Replaces the question (an empty function puts the real one back).
using UnsavedCurveQuestion = std::function<UnsavedCurveAnswer(QWidget *parent, int curve)>;
void setUnsavedCurveQuestion(UnsavedCurveQuestion question);
