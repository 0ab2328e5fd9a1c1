#include "output/window_views.h"

#include "view/recorded_drawing.h"

#include "print_race.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

using namespace marunoki;
using namespace marunoki::test;

namespace {

class WindowViewSwitches : public ::testing::Test {
protected:
    void load(int runners)
    {
        fillPrintRace(store, runners);
        showGraph(context);
    }

    // Whether the graph box holds a text containing `part` (the headline names the runner).
    bool graphShows(const QString &part) const
    {
        for (const DrawPrimitive &p : views.picture1.primitives()) {
            if (p.kind == PrimitiveKind::Text && p.text.contains(part))
                return true;
        }
        return false;
    }

    RaceStore store;
    Settings settings;
    WindowViews views;
    RecordingSink sink;
    ViewContext context {store, settings, 1, views, sink};
};

TEST(WindowViews, StartWithDesignSizesAndNothingLoaded)
{
    const WindowViews views;
    EXPECT_EQ(views.picture1.width(), 9135);
    EXPECT_EQ(views.picture1.height(), 6735);
    EXPECT_EQ(views.picture2.width(), 900);
    EXPECT_FALSE(views.bacyuGrid.visible);
    EXPECT_EQ(views.raceInfo, QStringLiteral("データ未読込み"));
    EXPECT_EQ(views.umaInfo, QStringLiteral("データ未読込み"));
    EXPECT_EQ(views.runnerBox, QStringLiteral("01"));
}

TEST_F(WindowViewSwitches, ButtonsShowAndHideTheTable)
{
    load(6);
    struct Step {
        void (*press)(ViewContext &);
        const char *name;
        bool tableShown;
        QString viewMode;
    };
    const Step steps[] = {
        {switchToBacyu, "馬柱", true, QStringLiteral("bacyu")},
        {switchToGraph, "グラフ", false, QStringLiteral("graph")},
        {switchToBacyu, "馬柱", true, QStringLiteral("bacyu")},
        {switchToHikaku, "比較", false, QStringLiteral("hikaku")},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.name);
        step.press(context);
        EXPECT_EQ(views.bacyuGrid.visible, step.tableShown);
        EXPECT_EQ(store.viewMode, step.viewMode);
    }
    EXPECT_TRUE(sink.messages().isEmpty()) << sink.messages().join(u'|').toStdString();
}

TEST_F(WindowViewSwitches, RunnerChangeRedrawsTheCurrentGraph)
{
    load(6);
    struct Case {
        const char *name;
        QString viewBefore;
        QString viewAfter;
    };
    const Case cases[] = {
        {"graph", QStringLiteral("graph"), QStringLiteral("graph")},
        {"table", QStringLiteral("bacyu"), QStringLiteral("graph")},
        {"comparison", QStringLiteral("hikaku"), QStringLiteral("hikaku")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        store.viewMode = c.viewBefore;
        store.curUma = 4;
        redrawAfterRunnerChange(context);
        EXPECT_EQ(views.runnerBox, QStringLiteral("04"));
        EXPECT_EQ(store.viewMode, c.viewAfter);
        EXPECT_TRUE(views.umaInfo.contains(store.U_name[4])) << views.umaInfo.toStdString();
        // Only the speed-figure graph has a headline naming the runner.
        EXPECT_EQ(graphShows(store.U_name[4]), c.viewAfter == QStringLiteral("graph"));
    }
}

TEST_F(WindowViewSwitches, NoRedrawForARunnerOutsideTheRace)
{
    load(6);
    const std::size_t drawn = views.picture1.primitives().size();
    for (qint32 runner : {0, 7, 19, -1}) {
        SCOPED_TRACE(runner);
        store.curUma = runner;
        redrawAfterRunnerChange(context);
        EXPECT_EQ(views.runnerBox, QStringLiteral("01"));
        EXPECT_EQ(views.picture1.primitives().size(), drawn);
    }
}

}  // namespace
