#pragma once
// The power-curve chart's widget, for the curve dialog's form and the code
// that reads it. Qt 5 keeps Qt Charts in the namespace QtCharts, Qt 6 in
// none: with this header the names are used bare under both.

#include <QtCharts/QChartView>

#ifdef QT_CHARTS_USE_NAMESPACE
QT_CHARTS_USE_NAMESPACE
#endif
