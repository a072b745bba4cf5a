#include "platform/message_box.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <utility>

namespace {
MessageBoxHook& hook()
{
    static MessageBoxHook h;
    return h;
}

QMessageBox::Icon toQtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::Stop:
        return QMessageBox::Critical;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

// What a title bar holds besides its caption: the window's icon and its buttons.
constexpr int kTitleBarRoom = 150;

// A box sizes itself to its text alone; the window manager then cuts its caption, and
// long lines break at their blanks, inside file names too. Here the box is made wide
// enough for its caption, and its text for its longest line (up to half the screen).
void fitToCaptionAndLines(QMessageBox& box, const QString& caption)
{
    QFont titleFont = QApplication::font();
    titleFont.setBold(true); // title bars show their captions in bold, as a rule
    const int captionWidth = QFontMetrics(titleFont).horizontalAdvance(caption) + kTitleBarRoom;
    if (auto* buttons = box.findChild<QDialogButtonBox*>()) {
        const QMargins margins = box.layout() ? box.layout()->contentsMargins() : QMargins();
        buttons->setMinimumWidth(captionWidth - margins.left() - margins.right());
    }
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        const QFontMetrics metrics(label->font());
        int longest = 0;
        for (const QString& line : box.text().split(QLatin1Char('\n')))
            longest = std::max(longest, metrics.horizontalAdvance(line));
        const QScreen* screen = box.screen();
        const int limit = screen ? screen->availableGeometry().width() / 2 : longest;
        label->setMinimumWidth(std::min(longest + 1, limit));
    }
}

MsgResult fromQt(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    default:
        return MsgResult::Ok;
    }
}
} // namespace

MsgResult messageBox(QWidget* parent, const QString& text, const QString& caption,
                     MsgButtons buttons, MsgIcon icon)
{
    const MessageBoxCall call{text, caption, buttons, icon};
    if (hook())
        return hook()(call);
    QMessageBox box(toQtIcon(icon), caption, text, toQtButtons(buttons),
                    parent ? parent : QApplication::activeWindow());
    fitToCaptionAndLines(box, caption);
    // A box can come up while a long operation shows the wait cursor (a load that
    // refuses its file, a save that fails); the box waits for a click, so it shows the
    // ordinary pointer, and the wait cursor returns once it is answered.
    const bool busy = QApplication::overrideCursor() != nullptr;
    if (busy)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    const int answer = box.exec();
    if (busy)
        QApplication::restoreOverrideCursor();
    return fromQt(answer);
}

MsgResult appMessageBox(const QString& text, MsgButtons buttons, MsgIcon icon)
{
    return messageBox(nullptr, text, kAppTitle, buttons, icon);
}

MessageBoxHook setMessageBoxHook(MessageBoxHook h)
{
    return std::exchange(hook(), std::move(h));
}
