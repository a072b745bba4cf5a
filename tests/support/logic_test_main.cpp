// Test entry point of the logic library's tests: a QCoreApplication (the logic needs
// no windows), with HOME and XDG_CONFIG_HOME pointing at a fresh temporary folder so
// that no test reads or writes the user's own settings or documents.
#include <QCoreApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "support/test_env.h"

int main(int argc, char** argv)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    testenv::setHomeRoot(home.path());
    testenv::resetHome();

    QCoreApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
