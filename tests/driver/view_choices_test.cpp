// The table check is saved as soon as it is clicked, a save that fails is said
// once, and the shown runner is drawn again either way.

#include "driver/view_choices.h"

#include "settings/settings.h"
#include "support/print_race.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

namespace marunoki {
namespace {

TEST(TableCheckClicked, SavesAtOnceOrSaysWhyAndRedrawsEitherWay)
{
    for (const bool writable : {true, false}) {
        SCOPED_TRACE(writable ? "a folder it can write" : "a folder that is not there");
        RaceStore store;
        test::fillPrintRace(store, 6);
        Settings settings;
        WindowViews views;
        RecordingSink sink;
        ViewContext context {store, settings, 0, views, sink};
        views.shownRunner = 4;
        test::TestFolder dir;
        const AppFolder folder(writable ? dir.path() : dir.file(QStringLiteral("no such folder")));
        tableCheckClicked(context, folder);
        EXPECT_EQ(sink.messages().size(), writable ? 0 : 1) << sink.messages().join(u'|').toStdString();
        if (writable) {
            RecordingSink readBack;
            EXPECT_EQ(readSettings(folder, readBack).writeHyo, QStringLiteral("0"));
        }
        EXPECT_EQ(views.runnerBox, QStringLiteral("04"));
    }
}

}  // namespace
}  // namespace marunoki
