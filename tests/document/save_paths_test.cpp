// Names and folders of a save.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <cstdlib>
#include <string>

#include "document/save_paths.h"
#include "support/test_env.h"

TEST(SavePaths, proposed_name_is_the_local_time)
{
    // mktime reads the fields as local time, so whatever the zone the name shows them.
    std::tm tm{};
    tm.tm_year = 2026 - 1900;
    tm.tm_mon = 11;
    tm.tm_mday = 8;
    tm.tm_hour = 7;
    tm.tm_min = 54;
    tm.tm_sec = 36;
    tm.tm_isdst = -1;
    EXPECT_EQ(proposedSaveName(std::mktime(&tm)), QStringLiteral("RQ730 26-12-08 07.54.36"));
}

TEST(SavePaths, base_name_is_cut_at_the_last_dot_of_the_file_name)
{
    SavePaths p = savePathsFor(QStringLiteral("/data/RQ730 26-12-08 07.54.36"));
    EXPECT_EQ(p.document, QStringLiteral("/data/RQ730 26-12-08 07.54.stdata"));
    EXPECT_EQ(p.rmsReport, QStringLiteral("/data/RQ730 26-12-08 07.54.csv"));
    EXPECT_EQ(p.trReport, QStringLiteral("/data/RQ730 26-12-08 07.54_tr.csv"));

    p = savePathsFor(QStringLiteral("/data/data.csv"));
    EXPECT_EQ(p.document, QStringLiteral("/data/data.stdata"));
    EXPECT_EQ(p.rmsReport, QStringLiteral("/data/data.csv"));
    EXPECT_EQ(p.trReport, QStringLiteral("/data/data_tr.csv"));

    // A dot in a folder name does not count; a name without a dot is kept whole.
    p = savePathsFor(QStringLiteral("/home/me/v1.2/run"));
    EXPECT_EQ(p.document, QStringLiteral("/home/me/v1.2/run.stdata"));
    EXPECT_EQ(p.trReport, QStringLiteral("/home/me/v1.2/run_tr.csv"));
    p = savePathsFor(QStringLiteral("/home/me/v1.2/a.b.stdata"));
    EXPECT_EQ(p.document, QStringLiteral("/home/me/v1.2/a.b.stdata"));
    EXPECT_EQ(p.rmsReport, QStringLiteral("/home/me/v1.2/a.b.csv"));
}

TEST(SavePaths, data_folder_is_made_under_documents)
{
    const QString home = testenv::resetHome();
    const QString folder = dataFolder();
    EXPECT_EQ(QFileInfo(folder).fileName(), QStringLiteral("RQ730"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_TRUE(folder.startsWith(home));
    EXPECT_EQ(dataFolder(), folder); // an existing folder is simply used
}
