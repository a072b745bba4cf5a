#include "display/num_edit.h"
#include "display/up_down_control.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>

namespace {

// One key press and release as the keyboard delivers them.
void press(QWidget* w, int key, const QString& text = QString(),
           Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent down(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &up);
}

// Types each character of `text` as a plain key press.
void type(QWidget* w, const QString& text)
{
    for (QChar c : text) {
        int key = c.toUpper().unicode();
        press(w, key, QString(c));
    }
}

void ctrl(QWidget* w, int letterKey, int code)
{
    press(w, letterKey, QString(QChar(code)), Qt::ControlModifier);
}

} // namespace

TEST(NumEdit, lets_only_digits_point_minus_through_the_keyboard)
{
    CNumEdit edit;
    type(&edit, QStringLiteral("1-2.3.4"));
    EXPECT_EQ(edit.text(), QStringLiteral("1-2.3.4")); // positions and counts are not checked

    edit.clear();
    type(&edit, QStringLiteral("a7 B+,8e;"));
    EXPECT_EQ(edit.text(), QStringLiteral("78"));

    // Backspace deletes, Ctrl+Backspace (a DEL character) does not.
    press(&edit, Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(edit.text(), QStringLiteral("7"));
    press(&edit, Qt::Key_Backspace, QString(QChar(0x7F)), Qt::ControlModifier);
    EXPECT_EQ(edit.text(), QStringLiteral("7"));
}

TEST(NumEdit, input_method_commits_and_dropped_text_pass_the_same_filter)
{
    CNumEdit edit;
    edit.resize(200, 24);
    edit.show();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("4a-b.5"));
    QApplication::sendEvent(&edit, &commit);
    EXPECT_EQ(edit.text(), QStringLiteral("4-.5"));

    // A drag of text ending behind the text: enter, move, drop.
    const auto drop = [&edit](const QString& text) {
        QMimeData data;
        data.setText(text);
        const QPointF at(edit.width() - 3, edit.height() / 2);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &enter);
        QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &move);
        QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &dropped);
    };
    drop(QStringLiteral("7x,8 +9\b"));
    EXPECT_EQ(edit.text(), QStringLiteral("4-.5789"));
    drop(QStringLiteral("abc")); // nothing of it could be typed
    EXPECT_EQ(edit.text(), QStringLiteral("4-.5789"));
}

TEST(NumEdit, keyboard_copy_paste_cut_undo_do_nothing)
{
    CNumEdit edit;
    QApplication::clipboard()->setText(QStringLiteral("55"));
    type(&edit, QStringLiteral("12"));
    ctrl(&edit, Qt::Key_V, 22);
    EXPECT_EQ(edit.text(), QStringLiteral("12"));

    edit.selectAll();
    ctrl(&edit, Qt::Key_X, 24);
    EXPECT_EQ(edit.text(), QStringLiteral("12"));
    ctrl(&edit, Qt::Key_C, 3);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("55"));

    edit.deselect();
    edit.setCursorPosition(2);
    type(&edit, QStringLiteral("3"));
    ctrl(&edit, Qt::Key_Z, 26);
    EXPECT_EQ(edit.text(), QStringLiteral("123"));
}

TEST(NumEdit, keys_that_are_not_characters_and_program_text_work_as_usual)
{
    CNumEdit edit;
    type(&edit, QStringLiteral("19"));
    press(&edit, Qt::Key_Left);
    type(&edit, QStringLiteral("5"));
    EXPECT_EQ(edit.text(), QStringLiteral("159"));
    press(&edit, Qt::Key_Home);
    press(&edit, Qt::Key_Delete, QString(QChar(0x7F)));
    EXPECT_EQ(edit.text(), QStringLiteral("59"));

    // Text from the program (or pasted through the context menu) is not filtered.
    edit.setText(QStringLiteral("abc"));
    EXPECT_EQ(edit.text(), QStringLiteral("abc"));
}

TEST(UpDownControl, steps_the_buddy_integer_within_its_range)
{
    CNumEdit edit;
    UpDownControl spin;
    spin.setBuddy(&edit);
    spin.SetRange32(0, 60);

    edit.setText(QStringLiteral("59"));
    spin.stepUp();
    EXPECT_EQ(edit.text(), QStringLiteral("60"));
    spin.stepUp();
    EXPECT_EQ(edit.text(), QStringLiteral("60"));

    edit.setText(QStringLiteral("1"));
    spin.stepDown();
    spin.stepDown();
    EXPECT_EQ(edit.text(), QStringLiteral("0"));

    // A buddy text beyond the range starts from the bound; text that is no number
    // keeps the last position.
    edit.setText(QStringLiteral("500"));
    spin.stepDown();
    EXPECT_EQ(edit.text(), QStringLiteral("59"));
    edit.setText(QStringLiteral("x"));
    spin.stepUp();
    EXPECT_EQ(edit.text(), QStringLiteral("60"));

    // Arrow keys in the buddy step as well.
    press(&edit, Qt::Key_Down);
    EXPECT_EQ(edit.text(), QStringLiteral("59"));
    press(&edit, Qt::Key_Up);
    EXPECT_EQ(edit.text(), QStringLiteral("60"));

    // A disabled control does not step.
    spin.setEnabled(false);
    spin.stepDown();
    EXPECT_EQ(edit.text(), QStringLiteral("60"));
}
