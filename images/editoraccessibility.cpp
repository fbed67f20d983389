#include "images/editoraccessibility.h"

#include "desktop/accessiblewindow.h"
#include "desktop/textfit.h"

#include <QTextEdit>

namespace {

const AccessibleText EditorTexts[] = {
    {"toolButton", QT_TRANSLATE_NOOP("editDlg", "关闭"), QT_TRANSLATE_NOOP("editDlg", "关闭编辑器；未保存的图片会先询问")},
    {"pushButton", QT_TRANSLATE_NOOP("editDlg", "图片"),
     QT_TRANSLATE_NOOP("editDlg", "要发送到槽的图片；按下打开绘画板")},
    {"spinBox", QT_TRANSLATE_NOOP("editDlg", "文字大小"), nullptr},
    {"comboBox", QT_TRANSLATE_NOOP("editDlg", "字体"), nullptr},
    {"comboBox_2", QT_TRANSLATE_NOOP("editDlg", "配色"), nullptr},
    {"textEdit", QT_TRANSLATE_NOOP("editDlg", "要写到图片上的文字"), nullptr},
    {"fitComboBox", QT_TRANSLATE_NOOP("editDlg", "图片适配方式"), nullptr},
    {"ditheringComboBox", QT_TRANSLATE_NOOP("editDlg", "单色屏的转换方式"), nullptr},
};

} // namespace

void makeEditorAccessible(QWidget *editor)
{
    nameControls(editor, "editDlg", EditorTexts);
    // The text to draw is one short line: Tab leaves the box rather than
    // going into the text.
    if (auto *text = editor->findChild<QTextEdit *>(QStringLiteral("textEdit")))
        text->setTabChangesFocus(true);
    fitTextsWhenShown(editor);
    enableKeyboardWalk(editor);
}
