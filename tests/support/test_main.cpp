// Test entry point shared by every test program: a QApplication on the offscreen
// platform, with HOME and XDG_CONFIG_HOME pointing at a fresh temporary folder so
// that no test reads or writes the user's own settings or documents, and a message box
// or dialog that no test scripted failing the test instead of waiting for a click.
#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/dialog_hooks.h"
#include "support/test_env.h"

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
    testenv::failUnexpectedDialogs();
    return RUN_ALL_TESTS();
}
