#include <gtest/gtest.h>

#include <QDir>
#include <optional>
#include <pwd.h>
#include <unistd.h>

#include "app/cdtapp.h"
#include "document/save_paths.h"
#include "platform/folders.h"
#include "support/test_env.h"

TEST(Folders, the_settings_folder_follows_the_xdg_rules_and_names_no_other_folder)
{
    const QString account = QFile::decodeName(getpwuid(getuid())->pw_dir);
    const std::optional<QByteArray> unset;
    const struct {
        std::optional<QByteArray> home, configHome;
        QString folder; // of the settings; empty for none
    } rows[] = {{"/h", "/cfg", "/cfg/rq730-datalogger"},
                {"/h", unset, "/h/.config/rq730-datalogger"},
                {"/h", "cfg", "/h/.config/rq730-datalogger"}, // relative: ignored
                {unset, unset, account + "/.config/rq730-datalogger"},
                {"", "", account + "/.config/rq730-datalogger"},
                {"h", unset, ""},          // a relative home
                {"/h\xff\xfe", unset, ""}, // bytes of no text
                {"/h", "/cfg\xff", ""}};
    for (const auto& row : rows) {
        row.home ? qputenv("HOME", *row.home) : qunsetenv("HOME");
        row.configHome ? qputenv("XDG_CONFIG_HOME", *row.configHome) : qunsetenv("XDG_CONFIG_HOME");
        EXPECT_EQ(configFolderPath(), row.folder) << row.home.value_or("-").toStdString();
    }
    // Such a home names no Documents folder either, keeps no recent files, and nothing is
    // made anywhere.
    const QString root = testenv::resetHome();
    qputenv("HOME", QFile::encodeName(root) + "/h\xff");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(windowsFolder() + documentsFolder() + dataFolder(), QString());
    RecentFileList().Add(root + "/a.stdata");
    EXPECT_TRUE(QDir(root).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    testenv::resetHome();
}
