#include "settings/curvefilechooser.h"

#include <QFileDialog>
#include <QCoreApplication>

namespace {

CurveFileChooser &replacement()
{
    static CurveFileChooser chooser;
    return chooser;
}

} // namespace

QString askForCurveFile(QWidget *parent, bool saving, const QString &suggested)
{
    if (const CurveFileChooser &chooser = replacement())
        return chooser(parent, saving, suggested);
    const QString filter = QCoreApplication::translate("Settings", "CSV 文件 (*.csv);;所有文件 (*)");
    return saving ? QFileDialog::getSaveFileName(parent, QCoreApplication::translate("Settings", "导出功率曲线"), suggested, filter)
                  : QFileDialog::getOpenFileName(parent, QCoreApplication::translate("Settings", "导入功率曲线"), QString(), filter);
}

void setCurveFileChooser(CurveFileChooser chooser)
{
    replacement() = std::move(chooser);
}
