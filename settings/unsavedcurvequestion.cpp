#include "settings/unsavedcurvequestion.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

UnsavedCurveQuestion &replacement()
{
    static UnsavedCurveQuestion question;
    return question;
}

} // namespace

UnsavedCurveAnswer askAboutUnsavedCurve(QWidget *parent, int curve)
{
    if (replacement())
        return replacement()(parent, curve);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tessel Control"),
                    QCoreApplication::translate("lineDlg", "功率曲线 M%1 有未写入设备的修改。").arg(curve + 1),
                    QMessageBox::NoButton, parent);
    QPushButton *write = box.addButton(QCoreApplication::translate("lineDlg", "写入设备"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QCoreApplication::translate("lineDlg", "放弃修改"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QCoreApplication::translate("lineDlg", "取消"), QMessageBox::RejectRole);
    box.setDefaultButton(write);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == write)
        return UnsavedCurveAnswer::Write;
    if (box.clickedButton() == discard)
        return UnsavedCurveAnswer::Discard;
    return UnsavedCurveAnswer::Cancel;
}

void setUnsavedCurveQuestion(UnsavedCurveQuestion question)
{
    replacement() = std::move(question);
}
