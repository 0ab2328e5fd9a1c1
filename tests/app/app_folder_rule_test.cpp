// The application folder rule: the first place that applies, in order.

#include "app/app_folder_rule.h"

#include "support/test_folder.h"

#include <QDir>

#include <gtest/gtest.h>

namespace marunoki::test {
namespace {

TEST(AppFolderRule, TakesTheFirstPlaceThatApplies)
{
    TestFolder option, environment, user, portable, installed, odd;
    portable.write(QStringLiteral("marunoki.ini"), "[site]\r\nsite=サイト1\r\n");
    // A folder named like the settings file does not make a portable copy.
    ASSERT_TRUE(QDir().mkpath(odd.file(QStringLiteral("marunoki.ini"))));
    const struct {
        const char *label;
        AppFolderPlaces places;
        AppFolderSource source;
        QString folder;
    } cases[] = {
        {"--app-dir first", {option.path(), environment.path(), portable.path(), user.path()},
            AppFolderSource::Option, option.path()},
        {"then the environment", {{}, environment.path(), portable.path(), user.path()},
            AppFolderSource::Environment, environment.path()},
        {"then a program folder with its settings", {{}, {}, portable.path(), user.path()},
            AppFolderSource::ProgramFolder, portable.path()},
        {"an installed program: the user's folder", {{}, {}, installed.path(), user.path()},
            AppFolderSource::UserFolder, user.path()},
        {"marunoki.ini that is a folder", {{}, {}, odd.path(), user.path()}, AppFolderSource::UserFolder,
            user.path()},
        {"a user folder not made yet", {{}, {}, installed.path(), user.file(QStringLiteral("new"))},
            AppFolderSource::UserFolder, user.file(QStringLiteral("new/"))},
        {"no user folder known", {{}, {}, installed.path(), {}}, AppFolderSource::None, QStringLiteral("./")},
        {"no user folder, but the environment", {{}, environment.path(), installed.path(), {}},
            AppFolderSource::Environment, environment.path()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        const AppFolderChoice choice = chooseAppFolder(c.places);
        EXPECT_EQ(choice.source, c.source);
        EXPECT_EQ(choice.folder.path(), c.folder);
    }
}

}  // namespace
}  // namespace marunoki::test
