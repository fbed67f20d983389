#include "images/unsavedquestion.h"

#include <QMessageBox>
#include <QPushButton>

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
                    QStringLiteral("槽 %1 的图片有未保存的修改。").arg(slot), QMessageBox::NoButton, parent);
    QPushButton *save = box.addButton(QStringLiteral("保存到槽文件"), QMessageBox::AcceptRole);
    QPushButton *discard = box.addButton(QStringLiteral("放弃修改"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
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
