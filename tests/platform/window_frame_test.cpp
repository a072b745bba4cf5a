#include "platform/window_frame.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QTest>

TEST(WindowFrame, placed_by_the_frame_also_when_the_frame_is_known_only_once_shown)
{
    // A fixed-size window four frame heights below y = 50, placed before it is shown,
    // when no frame is known yet.
    QDialog loading;
    loading.setFixedSize(200, 30);
    placeWindowFrame(&loading, [](const QMargins& m) {
        const QSize frame = QSize(200, 30).grownBy(m);
        return QRect(QPoint(100, 50 + 4 * frame.height()), frame);
    });
    loading.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&loading));
    const QRect frame = loading.frameGeometry();
    EXPECT_FALSE(windowFrameMargins(&loading).isNull());
    EXPECT_EQ(frame.topLeft(), QPoint(100, 50 + 4 * frame.height()));
    EXPECT_EQ(loading.size(), QSize(200, 30));

    // A window that covers an area: its frame does, the client area gives way.
    QDialog list;
    const QRect area(10, 120, 300, 400);
    placeWindowFrame(&list, coverArea(area));
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    EXPECT_EQ(list.frameGeometry(), area);

    // Once placed with its frame, the window is the user's: a move stays.
    list.move(40, 200);
    QCoreApplication::processEvents();
    EXPECT_EQ(list.frameGeometry().topLeft(), QPoint(40, 200));
}
