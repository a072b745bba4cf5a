// A real message box raised during a wait cursor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMessageBox>
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

TEST(MessageBox, box_is_wide_enough_for_its_caption_and_keeps_each_file_name_whole)
{
    const QString path1 = QStringLiteral("/home/someone/Documents/RQ730/RQ730 26-12-09 14.20.stdata");
    const QString path2 = QStringLiteral("/home/someone/Documents/RQ730/RQ730 26-12-09 14.20_tr.csv");
    const struct {
        QString text, caption;
    } boxes[] = {
        {QStringLiteral("Invalid Format!"), QStringLiteral("QH5Datalogger")},
        {QStringLiteral("These files already exist:\n%1\n%2\nDo you want to replace them?")
             .arg(path1, path2),
         QStringLiteral("RQ730 Datalogger")},
    };
    for (const auto& b : boxes) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = true;
            // The title bar holds the caption in bold, an icon and three buttons.
            QFont bold = QApplication::font();
            bold.setBold(true);
            EXPECT_GE(box->width(), QFontMetrics(bold).horizontalAdvance(b.caption) + 4 * 24)
                << b.caption.toStdString();
            // Every line fits the text's width, so none is broken.
            auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            ASSERT_NE(label, nullptr);
            for (const QString& line : b.text.split(QLatin1Char('\n')))
                EXPECT_LE(label->fontMetrics().horizontalAdvance(line), label->contentsRect().width())
                    << line.toStdString();
            box->close();
        });
        messageBox(nullptr, b.text, b.caption, MsgButtons::YesNo, MsgIcon::Exclamation);
        EXPECT_TRUE(seen);
    }
}
