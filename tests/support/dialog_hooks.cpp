#include "support/dialog_hooks.h"

#include <gtest/gtest.h>

namespace testenv {

namespace {
// The answer that changes least: the box's Cancel, else No, else OK.
MsgResult leastAnswer(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel:
        return MsgResult::Cancel;
    case MsgButtons::YesNo:
        return MsgResult::No;
    case MsgButtons::Ok:
        break;
    }
    return MsgResult::Ok;
}
} // namespace

void failUnexpectedDialogs()
{
    setMessageBoxHook([](const MessageBoxCall& call) {
        ADD_FAILURE() << "unexpected message box \"" << call.caption.toStdString()
                      << "\": " << call.text.toStdString();
        return leastAnswer(call.buttons);
    });
    setModalDialogHook([](QDialog& dialog) {
        ADD_FAILURE() << "unexpected dialog \"" << dialog.windowTitle().toStdString() << "\" ("
                      << dialog.metaObject()->className() << ")";
        return static_cast<int>(QDialog::Rejected);
    });
    setFileDialogHook([](const FileDialogCall& call) {
        ADD_FAILURE() << "unexpected " << (call.save ? "save" : "open") << " dialog for \""
                      << call.filter.toStdString() << "\"";
        return std::optional<QString>();
    });
}

} // namespace testenv
