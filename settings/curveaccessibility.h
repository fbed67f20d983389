#pragma once
// The curve dialog for keyboards and screen readers: names for its close
// button and its chart, whose ten points are also given as text, and Tab in
// reading order with a focus frame.

#include "settings/powercurves.h"

class QWidget;

// Called once from the dialog's constructor.
void makeCurveDialogAccessible(QWidget *dialog);

// The chart's name and its points as words: "0 s: 30 W, 1 s: 30 W, …".
void describeCurveChart(QWidget *chart, int curve, const CurvePointsRow &points);
