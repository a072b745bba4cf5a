// The file dialogs as tests see them: through the hook.
#include <gtest/gtest.h>

#include "platform/file_dialog.h"
#include "support/dialog_hooks.h"

using testenv::FileDialogScript;

TEST(FileDialog, hook_sees_the_request_and_answers_it)
{
    FileDialogScript dialogs;
    dialogs.picks = {QStringLiteral("/tmp/x/run.stdata"), std::nullopt};
    const auto saved =
        saveFileDialog(nullptr, QStringLiteral("A (*.a*.b)|*.a;*.b|"), QStringLiteral("a"),
                       QStringLiteral("/tmp/x"), QStringLiteral("proposed"));
    ASSERT_TRUE(saved);
    EXPECT_EQ(*saved, QStringLiteral("/tmp/x/run.stdata"));
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_TRUE(dialogs.calls[0].save);
    EXPECT_TRUE(dialogs.calls[0].overwritePrompt);
    EXPECT_EQ(dialogs.calls[0].filter, QStringLiteral("A (*.a*.b)|*.a;*.b|"));
    EXPECT_EQ(dialogs.calls[0].defaultExtension, QStringLiteral("a"));
    EXPECT_EQ(dialogs.calls[0].initialFolder, QStringLiteral("/tmp/x"));
    EXPECT_EQ(dialogs.calls[0].initialName, QStringLiteral("proposed"));

    EXPECT_FALSE(openFileDialog(nullptr, QStringLiteral("A|*.a|"), QStringLiteral("a")));
    ASSERT_EQ(dialogs.calls.size(), 2u);
    EXPECT_FALSE(dialogs.calls[1].save);
    EXPECT_TRUE(dialogs.calls[1].initialName.isEmpty());
}

TEST(FileDialog, typed_names_are_completed_like_the_dialog_does)
{
    const QString ext = QStringLiteral("stdata");
    // Relative names lie in the dialog's folder; a name without extension gets the default.
    EXPECT_EQ(completeTypedName(QStringLiteral("run"), QStringLiteral("/d"), ext),
              QStringLiteral("/d/run.stdata"));
    EXPECT_EQ(completeTypedName(QStringLiteral("/e.f/run"), QStringLiteral("/d"), ext),
              QStringLiteral("/e.f/run.stdata"));
    // Anything after a dot already counts as an extension.
    EXPECT_EQ(
        completeTypedName(QStringLiteral("RQ730 26-12-08 07.54.36"), QStringLiteral("/d"), ext),
        QStringLiteral("/d/RQ730 26-12-08 07.54.36"));
    EXPECT_EQ(completeTypedName(QStringLiteral("/d/data.csv"), QString(), ext),
              QStringLiteral("/d/data.csv"));

    FileDialogScript dialogs;
    dialogs.picks = {QStringLiteral("typed")};
    EXPECT_EQ(openFileDialog(nullptr, QStringLiteral("A|*.a|"), ext, QStringLiteral("/d")),
              std::optional<QString>(QStringLiteral("/d/typed.stdata")));
}

TEST(FileDialog, classic_filters_become_qt_name_filters)
{
    EXPECT_EQ(qtNameFilters(QStringLiteral("DataLogger Files (*.stdata*.csv)|*.stdata;*.csv|")),
              QStringList{QStringLiteral("DataLogger Files (*.stdata*.csv) (*.stdata *.csv)")});
    EXPECT_EQ(qtNameFilters(QStringLiteral("A|*.a|B|*.b|")),
              (QStringList{QStringLiteral("A (*.a)"), QStringLiteral("B (*.b)")}));
    EXPECT_TRUE(qtNameFilters(QString()).isEmpty());
}
