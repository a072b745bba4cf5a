#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "platform/whole_file.h"
#include "support/test_env.h"

namespace {

TEST(WholeFile, a_write_that_fails_half_way_keeps_the_old_file)
{
    const QString path = testenv::resetHome() + QStringLiteral("/doc.bin");
    ASSERT_TRUE(writeWholeFile(path, QByteArray("old contents")).isEmpty());

    const QByteArray big(100000, 'x');
    QString error;
    testenv::withFileSizeLimit(4096, [&] { error = writeWholeFile(path, big); });
    EXPECT_EQ(error, QString::fromLocal8Bit(std::strerror(EFBIG))); // the system's reason
    EXPECT_EQ(*readWholeFile(path), QByteArray("old contents"));
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(QFileInfo(path).absolutePath()).entryList(QDir::Files).size(), 1);

    ASSERT_TRUE(writeWholeFile(path, big).isEmpty());
    EXPECT_EQ(readWholeFile(path)->size(), big.size());
}

TEST(WholeFile, unreadable_and_unwritable_paths_report_a_reason)
{
    const QString home = testenv::resetHome();
    QString reason;
    EXPECT_FALSE(readWholeFile(home + QStringLiteral("/missing.bin"), &reason).has_value());
    EXPECT_FALSE(reason.isEmpty());
    // A regular file where a folder should be.
    ASSERT_TRUE(writeWholeFile(home + QStringLiteral("/plain"), "x").isEmpty());
    EXPECT_FALSE(writeWholeFile(home + QStringLiteral("/plain/doc.bin"), "y").isEmpty());
}

} // namespace
