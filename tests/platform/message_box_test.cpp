// A real message box raised during a wait cursor.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include "platform/message_box.h"

namespace {
// The boxes here are real: the hook that fails a test on a box stays off meanwhile.
struct RealBoxes {
    MessageBoxHook previous = setMessageBoxHook({});
    ~RealBoxes() { setMessageBoxHook(previous); }
};
} // namespace

TEST(MessageBox, box_shows_the_arrow_during_a_wait_cursor)
{
    RealBoxes real;
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

TEST(MessageBox, box_fits_its_caption_and_keeps_each_file_name_whole)
{
    RealBoxes real;
    const QString path = QStringLiteral("/home/someone/Documents/RQ730/RQ730 26-12-09 14.20");
    const QString boxes[][2] = {
        {QStringLiteral("Invalid Format!"), QStringLiteral("QH5Datalogger")},
        {QStringLiteral("These files already exist:\n%1.stdata\n%1_tr.csv\nDo you want to "
                        "replace them?").arg(path),
         QStringLiteral("RQ730 Datalogger")},
    };
    for (const auto& [text, caption] : boxes) {
        QTimer::singleShot(0, [text = text, caption = caption] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            // The title bar holds the caption in bold, an icon and three buttons.
            QFont bold = QApplication::font();
            bold.setBold(true);
            EXPECT_GE(box->width(), QFontMetrics(bold).horizontalAdvance(caption) + 4 * 24);
            // Every line fits the text's width, so none is broken.
            const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            for (const QString& line : text.split(QLatin1Char('\n')))
                EXPECT_LE(label->fontMetrics().horizontalAdvance(line), label->contentsRect().width());
            box->close();
        });
        messageBox(nullptr, text, caption, MsgButtons::YesNo, MsgIcon::Exclamation);
    }
}
