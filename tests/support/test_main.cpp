// Test entry point shared by every test program: a QApplication on the offscreen
// platform, with HOME and XDG_CONFIG_HOME pointing at a fresh temporary folder so
// that no test reads or writes the user's own settings or documents.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/dialog_hooks.h"
#include "support/test_env.h"

namespace {
// A box or dialog that the running test did not script would wait for a click that
// never comes: it fails the test at once and is answered the way that changes least
// (the box's Cancel, else No, else OK; a dialog rejected), so that the test goes on.
void failUnexpectedDialogs()
{
    setMessageBoxHook([](const MessageBoxCall& call) {
        ADD_FAILURE() << "unexpected message box \"" << call.caption.toStdString()
                      << "\": " << call.text.toStdString();
        if (call.buttons == MsgButtons::Ok)
            return MsgResult::Ok;
        return call.buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Cancel;
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
} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    testenv::setHomeRoot(home.path());
    testenv::resetHome();

    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    failUnexpectedDialogs();
    return RUN_ALL_TESTS();
}
