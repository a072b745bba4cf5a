// A real message box raised during a wait cursor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QTimer>
#include <QWidget>

#include "platform/message_box.h"

TEST(MessageBox, box_shows_the_arrow_during_a_wait_cursor)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Qt::CursorShape shown = Qt::WaitCursor;
    QTimer::singleShot(0, [&] {
        shown = QApplication::overrideCursor()->shape();
        if (QWidget* box = QApplication::activeModalWidget())
            box->close();
    });
    messageBox(nullptr, QStringLiteral("x"), QStringLiteral("y"));
    EXPECT_EQ(shown, Qt::ArrowCursor);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
