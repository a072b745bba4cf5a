#pragma once
// Message boxes with an exact caption, button set and icon, and a hook that lets
// tests record every box and answer it without showing a window.
#include <QString>
#include <functional>

class QWidget;

enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgIcon { None, Exclamation, Information, Question, Stop };
enum class MsgResult { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

struct MessageBoxCall {
    QString text;
    QString caption;
    MsgButtons buttons = MsgButtons::Ok;
    MsgIcon icon = MsgIcon::None;
};

// The program title used on the boxes of the frame and the logger link.
inline const QString kProgramTitle = QStringLiteral("RQ730 Datalogger");
// The application title used on boxes raised through the application object.
inline const QString kAppTitle = QStringLiteral("QH5Datalogger");

// Shows a modal box (or asks the hook) and returns the button pressed.
MsgResult messageBox(QWidget* parent, const QString& text, const QString& caption,
                     MsgButtons buttons = MsgButtons::Ok, MsgIcon icon = MsgIcon::None);

// A box raised through the application object: caption "QH5Datalogger",
// exclamation icon unless another is named.
MsgResult appMessageBox(const QString& text, MsgButtons buttons = MsgButtons::Ok,
                        MsgIcon icon = MsgIcon::Exclamation);

using MessageBoxHook = std::function<MsgResult(const MessageBoxCall&)>;
// Installs a hook (an empty function removes it). Returns the previous hook.
MessageBoxHook setMessageBoxHook(MessageBoxHook hook);
