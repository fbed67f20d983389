#include "images/unsavedquestion.h"

#include <QMessageBox>
#include <QPushButton>
#include <QCoreApplication>

namespace {

UnsavedQuestion &replacement()
{
    static UnsavedQuestion question;
    return question;
}

} // namespace

UnsavedAnswer askAboutUnsavedPicture(QWidget *parent, int slot)
{
    if (replacement())
        return replacement()(parent, slot);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Tessel Control"),
                    QCoreApplication::translate("Pictures", "槽 %1 的图片有未保存的修改。").arg(slot), QMessageBox::NoButton, parent);
    QPushButton *save = box.addButton(QCoreApplication::translate("Pictures", "保存到槽文件"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QCoreApplication::translate("Pictures", "放弃修改"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QCoreApplication::translate("Pictures", "取消"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return UnsavedAnswer::Save;
    if (box.clickedButton() == discard)
        return UnsavedAnswer::Discard;
    return UnsavedAnswer::Cancel;
}

void setUnsavedQuestion(UnsavedQuestion question)
{
    replacement() = std::move(question);
}
