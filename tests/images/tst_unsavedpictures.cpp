// Edits are not lost: an editor or drawing board with unsaved changes asks
// before it goes (save to the slot file, discard, cancel), whether the user
// closes it, changes page, or closes the main window.

#include "app/mainwindow.h"
#include "emulator/emulateddevice.h"
#include "imagetests.h"
#include "editors/editdlg.h"
#include "images/myview.h"
#include "images/unsavedquestion.h"
#include "testsupport.h"

#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace imagetest;
using namespace testsupport;

namespace {

QImage slotFile()
{
    const QImage file("imageformats/page4.bmp");
    return file.isNull() ? file : file.convertToFormat(QImage::Format_RGB32);
}

void press(MyView *board, QEvent::Type type, const QPointF &at, Qt::MouseButtons held)
{
    QMouseEvent event(type, at, board->viewport()->mapToGlobal(at.toPoint()), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(board->viewport(), &event);
}

} // namespace

class TestUnsavedPictures : public QObject
{
    Q_OBJECT

    ScratchDirectory scratch;
    QStringList asked;
    UnsavedAnswer answer = UnsavedAnswer::Cancel;

private slots:
    void init()
    {
        scratchSettings();
        emu::EmulatedDevice::instance().reset();
        scratch.enter();
        asked.clear();
        setUnsavedQuestion([this](QWidget *parent, int slot) {
            asked << QString("%1 %2").arg(parent->metaObject()->className()).arg(slot);
            return answer;
        });
    }
    void cleanup()
    {
        setUnsavedQuestion(nullptr);
        for (QWidget *w : QApplication::topLevelWidgets())
            if (qobject_cast<MyView *>(w))
                delete w;
        scratch.leave();
    }

    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("changed");   // "picture", "board", "orphan board" (its editor gone) or "nothing"
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("question");  // who asked, and about which slot; empty: nobody
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        const int save = int(UnsavedAnswer::Save), discard = int(UnsavedAnswer::Discard),
                  cancel = int(UnsavedAnswer::Cancel);
        for (const char *how : {"close button", "page change", "UPLOAD again", "main window"}) {
            const QString h = how;
            QTest::newRow(qPrintable(h + ", save")) << h << "picture" << save << "editDlg 4" << true << true;
            QTest::newRow(qPrintable(h + ", discard")) << h << "picture" << discard << "editDlg 4" << true << false;
            QTest::newRow(qPrintable(h + ", cancel")) << h << "picture" << cancel << "editDlg 4" << false << false;
            QTest::newRow(qPrintable(h + ", nothing changed")) << h << "nothing" << cancel << "" << true << false;
        }
        QTest::newRow("board, save") << "main window" << "board" << save << "MyView 4" << true << true;
        QTest::newRow("board, discard") << "main window" << "board" << discard << "MyView 4" << true << false;
        QTest::newRow("board, cancel") << "main window" << "board" << cancel << "MyView 4" << false << false;
        QTest::newRow("orphan board, save") << "main window" << "orphan board" << save << "MyView 4" << true << true;
        // A page change takes the editor, not the board: its strokes are still there to keep.
        QTest::newRow("board at a page change") << "page change" << "board" << cancel << "" << true << false;
    }
    void closing()
    {
        QFETCH(QString, how);
        QFETCH(QString, changed);
        QFETCH(int, answer);
        QFETCH(QString, question);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        this->answer = UnsavedAnswer(answer);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        window.show();
        window.openSlotEditor(4, QString());
        QVERIFY(waitForDeviceIdle(window.controller()));
        QPointer<editDlg> editor = qobject_cast<editDlg *>(openImageEditor.data());
        QVERIFY(editor);
        editor->setPicture(QPixmap::fromImage(pattern(240, 280)));
        QPointer<MyView> board;
        if (changed == "picture") {
            QTest::mouseClick(child<QToolButton>(editor, "toolButton_7"), Qt::LeftButton);
        } else if (changed.endsWith("board")) {
            editor->openDrawingBoard();
            board = editor->newestDrawingBoard();
            press(board, QEvent::MouseButtonPress, QPointF(40, 40), Qt::LeftButton);
            press(board, QEvent::MouseMove, QPointF(200, 300), Qt::LeftButton);
            press(board, QEvent::MouseButtonRelease, QPointF(200, 300), Qt::NoButton);
            if (changed == "orphan board")
                delete editor;
        }
        const QImage expected = changed.endsWith("board") ? board->paintedPicture().toImage().convertToFormat(QImage::Format_RGB32)
                                                           : editor->picture().toImage().convertToFormat(QImage::Format_RGB32);

        bool windowClosed = false;
        if (how == "close button")
            QTest::mouseClick(child<QToolButton>(editor, "toolButton"), Qt::LeftButton);
        else if (how == "page change")
            QTest::mouseClick(child<QPushButton>(&window, "m_btn_Devices"), Qt::LeftButton);
        else if (how == "UPLOAD again")
            QTest::mouseClick(child<QPushButton>(&window, "m_btn_Upgtade"), Qt::LeftButton);
        else
            windowClosed = window.close();
        QVERIFY(waitForDeviceIdle(window.controller()));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        QCOMPARE(asked, question.isEmpty() ? QStringList() : QStringList{question});
        if (how == "main window")
            QCOMPARE(windowClosed, closed);
        if (changed.endsWith("board")) {
            QCOMPARE(board.isNull() || !board->isVisible(), closed && how == "main window");
        } else {
            QCOMPARE(editor.isNull(), closed);
            // UPLOAD opens slot 4 anew only once the old editor has gone.
            if (how == "UPLOAD again")
                QCOMPARE(openImageEditor.data() != editor.data(), closed);
        }
        QCOMPARE(slotFile(), saved ? expected : QImage());
    }

    // The real question: saving is the default, Esc cancels.
    void question()
    {
        setUnsavedQuestion(nullptr);
        MainWindow window;
        QVERIFY(testsupport::waitForDeviceIdle(window.controller()));
        editDlg editor(4, 240, 280, 0x54, &window.controller());
        editor.show();
        editor.setPicture(QPixmap::fromImage(pattern(240, 280)));
        QTest::mouseClick(child<QToolButton>(&editor, "toolButton_6"), Qt::LeftButton);
        QStringList buttons;
        QString defaultButton;
        const auto answerWith = [&](const QString &choice) {
            QTimer::singleShot(50, [&, choice] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                QVERIFY(box);
                buttons.clear();
                for (QAbstractButton *b : box->buttons())
                    buttons << b->text();
                defaultButton = box->defaultButton()->text();
                if (choice == "Esc")
                    QTest::keyClick(box, Qt::Key_Escape);
                for (QAbstractButton *b : box->buttons())
                    if (b->text() == choice)
                        b->click();
            });
        };
        answerWith("Esc");
        QVERIFY(!editor.close());
        QVERIFY(editor.isVisible());
        QCOMPARE(defaultButton, QStringLiteral("保存到槽文件"));
        QVERIFY(buttons.contains("放弃修改") && buttons.contains("取消"));
        answerWith("放弃修改");
        QVERIFY(editor.close());
        QVERIFY(!QFile::exists("imageformats/page4.bmp"));
    }
};

QTEST_MAIN(TestUnsavedPictures)
#include "tst_unsavedpictures.moc"
