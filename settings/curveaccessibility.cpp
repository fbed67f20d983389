#include "settings/curveaccessibility.h"

#include "desktop/accessiblewindow.h"
#include "desktop/textfit.h"

#include <QCoreApplication>
#include <QStringList>
#include <QWidget>

namespace {

const AccessibleText CurveDialogTexts[] = {
    {"toolButton", QT_TRANSLATE_NOOP("lineDlg", "关闭"), QT_TRANSLATE_NOOP("lineDlg", "关闭功率曲线窗口；未写入的点会先询问")},
};

} // namespace

void makeCurveDialogAccessible(QWidget *dialog)
{
    nameControls(dialog, "lineDlg", CurveDialogTexts);
    fitTextsWhenShown(dialog);
    enableKeyboardWalk(dialog);
}

void describeCurveChart(QWidget *chart, int curve, const CurvePointsRow &points)
{
    chart->setAccessibleName(QCoreApplication::translate("lineDlg", "功率曲线 M%1").arg(curve + 1));
    QStringList words;
    for (int second = 0; second < CurvePoints; ++second)
        words << QCoreApplication::translate("lineDlg", "%1 秒：%2 W").arg(second).arg(points[size_t(second)]);
    chart->setAccessibleDescription(words.join(QCoreApplication::translate("lineDlg", "，")));
}
