#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>
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
