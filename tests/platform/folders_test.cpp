#include <gtest/gtest.h>

#include <QDir>
#include <optional>
#include <pwd.h>
#include <unistd.h>

#include "document/save_paths.h"
#include "platform/folders.h"
#include "support/test_env.h"

namespace {

// Sets or unsets an environment variable.
void setVariable(const char* name, const std::optional<QByteArray>& value)
{
    if (value)
        qputenv(name, *value);
    else
        qunsetenv(name);
}

TEST(Folders, the_settings_folder_follows_the_xdg_rules_and_names_no_other_folder)
{
    const QByteArray account = getpwuid(getuid())->pw_dir;
    struct Row {
        std::optional<QByteArray> home, configHome;
        QString folder; // empty: no folder at all
    };
    const Row rows[] = {
        {"/h", "/cfg", "/cfg/rq730-datalogger"},
        {"/h", std::nullopt, "/h/.config/rq730-datalogger"},
        {"/h", "", "/h/.config/rq730-datalogger"},
        {"/h", "cfg", "/h/.config/rq730-datalogger"}, // relative: ignored
        {"/", std::nullopt, "/.config/rq730-datalogger"},
        {std::nullopt, std::nullopt, QFile::decodeName(account) + "/.config/rq730-datalogger"},
        {"", std::nullopt, QFile::decodeName(account) + "/.config/rq730-datalogger"},
        {"h", std::nullopt, ""},          // a relative home
        {"/h\xff\xfe", std::nullopt, ""}, // bytes of no text
        {"/h", "/cfg\xff", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.home.value_or("(unset)").toStdString() + " "
                     + row.configHome.value_or("(unset)").toStdString());
        setVariable("HOME", row.home);
        setVariable("XDG_CONFIG_HOME", row.configHome);
        EXPECT_EQ(configFolderPath(), row.folder);
    }

    // A home that cannot be named gives no Documents folder, and a save makes none.
    const QString root = testenv::resetHome();
    qputenv("HOME", QFile::encodeName(root) + "/h\xff");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(documentsFolder(), QString());
    EXPECT_EQ(dataFolder(), QString());
    EXPECT_EQ(windowsFolder(), QString());
    EXPECT_EQ(QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{});
    testenv::resetHome();
}

} // namespace
