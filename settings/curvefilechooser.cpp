#include "settings/curvefilechooser.h"

#include "desktop/filechooser.h"

#include <QCoreApplication>

QString askForCurveFile(QWidget *parent, bool saving, const QString &suggested)
{
    const QString filter = QCoreApplication::translate("Settings", "CSV 文件 (*.csv);;所有文件 (*)");
    const QString purpose = QStringLiteral("curves");
    return saving ? chooseFileToSave(parent, {purpose, QCoreApplication::translate("Settings", "导出功率曲线"), filter,
                                              suggested, QString()})
                  : chooseFileToOpen(parent, {purpose, QCoreApplication::translate("Settings", "导入功率曲线"), filter,
                                              QString(), QString()});
}

void setCurveFileChooser(CurveFileChooser chooser)
{
    if (!chooser) {
        setFileToOpenChooser({});
        setFileToSaveChooser({});
        return;
    }
    setFileToOpenChooser([chooser](QWidget *parent, const FileQuestion &question) {
        return chooser(parent, false, question.suggestedName);
    });
    setFileToSaveChooser([chooser](QWidget *parent, const FileQuestion &question) {
        return chooser(parent, true, question.suggestedName);
    });
}
