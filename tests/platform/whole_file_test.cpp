#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
    // A link to a pipe, or one that leads nowhere, is not replaced by a file.
    ASSERT_EQ(mkfifo(QFile::encodeName(home + "/pipe").constData(), 0600), 0);
    for (const char* target : {"/pipe", "/gone"}) {
        ASSERT_TRUE(QFile::link(home + target, home + target + "-link"));
        EXPECT_EQ(writeWholeFile(home + target + "-link", "z"), "It is not a regular file.");
        EXPECT_EQ(QFileInfo(home + target + "-link").symLinkTarget(), home + target);
    }
    EXPECT_FALSE(QFileInfo(home + "/pipe").isFile());
}

TEST(WholeFile, a_request_to_end_the_program_waits_for_the_files_in_hand)
{
    const QString marker = testenv::resetHome() + QStringLiteral("/written");
    const QByteArray name = QFile::encodeName(marker);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        {
            TerminationHeld held;
            std::raise(SIGTERM);
            ::close(::open(name.constData(), O_CREAT | O_WRONLY, 0600));
        }
        _exit(3); // not reached: the request is carried out once the files are done
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
    EXPECT_TRUE(QFileInfo::exists(marker));
}

} // namespace
