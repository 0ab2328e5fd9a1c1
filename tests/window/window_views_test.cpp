#include "window/window_views.h"

#include "analysis/runner_statistics.h"
#include "settings/settings.h"

#include "view/recorded_drawing.h"

#include "support/print_race.h"
#include "support/qt_print.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <optional>

using namespace marunoki;
using namespace marunoki::test;

namespace {

class WindowViewSwitches : public ::testing::Test {
protected:
    void load(int runners)
    {
        fillPrintRace(store, runners);
        views.shownRunner = 1;  // runner 1 shown, as after a load
        showGraph(context);
    }

    // Whether the graph box holds a text containing `part` (the headline names the runner).
    bool graphShows(const QString &part) const
    {
        for (const DrawPrimitive &p : views.graphBox.primitives()) {
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
    EXPECT_EQ(views.graphBox.width(), 9135);
    EXPECT_EQ(views.graphBox.height(), 6735);
    EXPECT_EQ(views.legendBox.width(), 900);
    EXPECT_FALSE(views.bacyuGrid.visible);
    EXPECT_EQ(views.raceInfo, QStringLiteral("データ未読込み"));
    EXPECT_EQ(views.umaInfo, QStringLiteral("データ未読込み"));
    EXPECT_EQ(views.runnerBox, QStringLiteral("01"));
    // The per-run grid is laid out from the start.
    EXPECT_EQ(views.runGrid.rows(), 36);
    EXPECT_EQ(views.runGrid.cols(), 21);
    ASSERT_NE(views.runGrid.at(0, 4), nullptr);
    EXPECT_EQ(views.runGrid.at(0, 4)->text, QStringLiteral("指数"));
}

TEST_F(WindowViewSwitches, GraphBeforeAnyLoadShowsNoMessage)
{
    showGraph(context);
    EXPECT_TRUE(sink.messages().isEmpty()) << sink.messages().join(u'\n').toStdString();
}

TEST_F(WindowViewSwitches, ButtonsShowAndHideTheTable)
{
    load(6);
    struct Step {
        void (*press)(ViewContext &);
        const char *name;
        bool tableShown;
        DrawnView drawn;
        const char *shown;
    };
    const Step steps[] = {
        {switchToBacyu, "馬柱", true, DrawnView::Bacyu, "bacyu"},
        {switchToGraph, "グラフ", false, DrawnView::Graph, "graph"},
        {switchToBacyu, "馬柱", true, DrawnView::Bacyu, "bacyu"},
        {switchToHikaku, "比較", false, DrawnView::Hikaku, "hikaku"},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.name);
        step.press(context);
        EXPECT_EQ(views.bacyuGrid.visible, step.tableShown);
        EXPECT_EQ(views.drawn, step.drawn);
        EXPECT_EQ(shownView(views), QString::fromLatin1(step.shown));
    }
    EXPECT_TRUE(sink.messages().isEmpty()) << sink.messages().join(u'|').toStdString();
}

TEST_F(WindowViewSwitches, RunnerChangeRedrawsTheCurrentGraph)
{
    load(6);
    struct Case {
        const char *name;
        DrawnView viewBefore;
        DrawnView viewAfter;
    };
    const Case cases[] = {
        {"graph", DrawnView::Graph, DrawnView::Graph},
        {"table", DrawnView::Bacyu, DrawnView::Graph},
        {"comparison", DrawnView::Hikaku, DrawnView::Hikaku},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        views.drawn = c.viewBefore;
        views.shownRunner = 4;
        redrawAfterRunnerChange(context);
        EXPECT_EQ(views.runnerBox, QStringLiteral("04"));
        EXPECT_EQ(views.drawn, c.viewAfter);
        EXPECT_TRUE(views.umaInfo.contains(store.horses[4].name)) << views.umaInfo.toStdString();
        // Only the speed-figure graph has a headline naming the runner.
        EXPECT_EQ(graphShows(store.horses[4].name), c.viewAfter == DrawnView::Graph);
    }
}

TEST_F(WindowViewSwitches, NoRedrawForARunnerOutsideTheRace)
{
    load(6);
    const std::size_t drawn = views.graphBox.primitives().size();
    for (qint32 runner : {0, 7, 19, -1}) {
        SCOPED_TRACE(runner);
        views.shownRunner = runner;
        redrawAfterRunnerChange(context);
        EXPECT_EQ(views.runnerBox, QStringLiteral("01"));
        EXPECT_EQ(views.graphBox.primitives().size(), drawn);
    }
}

}  // namespace

namespace {

// Before any load, and after a load that stopped early, the view buttons, the
// table check box and the runner change work on whatever the store holds.
TEST(WindowViewsOnOddStores, EveryViewDrawsWithoutHarm)
{
    struct Case {
        const char *name;
        int runners;  // 0: nothing loaded
        qint32 shown;  // the shown runner
        qint32 fieldSize;  // as the store says, whatever was filled
    };
    const Case cases[] = {
        {"nothing loaded", 0, 0, 0},
        {"analysed without a site", 0, 1, 0},
        {"stopped at runner 3", 6, 3, 6},
        {"more runners than slots", 6, 1, 40},
        {"negative runner count", 6, 1, -2},
    };
    using Action = void (*)(ViewContext &);
    const Action actions[]
        = {switchToGraph, switchToHikaku, switchToBacyu, showGraph, redrawAfterRunnerChange};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RaceStore store;
        store.clearForLoad();
        if (c.runners > 0)
            fillPrintRace(store, c.runners);
        store.fieldSize = c.fieldSize;
        Settings settings;
        WindowViews views;
        views.shownRunner = c.shown;
        RecordingSink sink;
        ViewContext context {store, settings, 1, views, sink};
        for (Action action : actions)
            action(context);
        // The graph drawn last lies under the table, which only the view buttons hide.
        EXPECT_EQ(views.shownRunner, c.shown);
        EXPECT_EQ(views.drawn, DrawnView::Graph);
        EXPECT_TRUE(views.bacyuGrid.visible);
    }
}

}  // namespace

namespace {

TEST_F(WindowViewSwitches, TableCheckRedrawsAShownRunner)
{
    struct Case {
        const char *name;
        qint32 tableCheck;
        qint32 shown;  // the shown runner
        bool redrawn;
        const char *box;  // the runner box after the click
    };
    const Case cases[] = {
        {"switched off on runner 3", 0, 3, true, "03"},
        {"switched on on runner 3", 1, 3, true, "03"},
        {"switched on on runner 12", 1, 12, true, "12"},
        {"switched on before any runner is shown", 1, 0, false, "01"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        load(14);
        const qint32 runner = c.shown ? c.shown : 3;
        const QString lastRun = QStringLiteral("その馬の前走");
        store.horses[runner].runs[1].raceName = lastRun;
        views.shownRunner = c.shown;
        ViewContext clicked {store, settings, c.tableCheck, views, sink};
        tableCheckChanged(clicked);

        EXPECT_EQ(views.runnerBox, QString::fromLatin1(c.box));
        EXPECT_EQ(views.umaInfo.contains(store.horses[runner].name), c.redrawn);
        // The per-run grid is filled only while the box is on.
        const GridCell *firstRun = views.runGrid.at(1, 2);
        ASSERT_NE(firstRun, nullptr);
        EXPECT_EQ(firstRun->text == lastRun, c.redrawn && c.tableCheck == 1) << firstRun->text.toStdString();
    }
    EXPECT_TRUE(sink.messages().isEmpty()) << sink.messages().join(u'|').toStdString();
}

}  // namespace

namespace {

TEST_F(WindowViewSwitches, ALoadHidesTheTableAndDrawsRunnerOneOrClearsTheViewsWhenItStopped)
{
    for (const bool analysed : {false, true}) {
        SCOPED_TRACE(analysed ? "analysed" : "stopped at a message");
        load(6);
        views.shownRunner = 4;
        redrawAfterRunnerChange(context);
        switchToBacyu(context);
        const QString runnerFourPanel = views.umaInfo;

        loadStarting(views);
        EXPECT_FALSE(views.bacyuGrid.visible);
        loadEnded(context, analysed);
        EXPECT_EQ(views.runnerBox, QStringLiteral("01"));
        EXPECT_EQ(views.umaInfo.contains(store.horses[1].name), analysed) << views.umaInfo.toStdString();
        EXPECT_NE(views.umaInfo, runnerFourPanel);
        EXPECT_EQ(views.drawn, DrawnView::Graph);
        EXPECT_EQ(views.analysed, analysed);
        if (!analysed) {
            // Nothing of the old race is left to click on.
            EXPECT_EQ(views.shownRunner, 0);
            EXPECT_TRUE(views.graphBox.primitives().empty());
            EXPECT_EQ(views.raceInfo, QStringLiteral("データ未読込み"));
            EXPECT_EQ(views.umaInfo, QStringLiteral("データ未読込み"));
            EXPECT_EQ(views.taisenGrid.rows(), 0);
        }
        EXPECT_FALSE(views.bacyuGrid.visible);
    }
}

}  // namespace

namespace {

TEST(WindowViews, OnlyRunnerRowsOfTheHeadToHeadGridSelect)
{
    struct Case {
        int row;
        qint32 fieldSize;
        qint32 runner;
    };
    const Case cases[] = {
        {0, 12, 0},  // the captions
        {1, 12, 1},
        {12, 12, 12},
        {13, 12, 0},  // an empty row below the last runner
        {18, 18, 18},
        {19, 18, 0},  // the totals
        {19, 40, 0},  // a runner count beyond the card's slots
        {3, 0, 0},  // nothing loaded
        {-1, 12, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " of " << c.fieldSize);
        RaceStore store;
        store.fieldSize = c.fieldSize;
        EXPECT_EQ(runnerOfTaisenRow(c.row, store), c.runner);
    }
}

}  // namespace

namespace {

// The y of the dash-dot reference line in the graph box; nothing when none is drawn.
std::optional<double> referenceLineY(const WindowViews &views)
{
    for (const DrawPrimitive &p : views.graphBox.primitives()) {
        if (p.kind == PrimitiveKind::Line && p.pen.drawStyle == LineStyle::DashDot && p.y1 == p.y2)
            return p.y1;
    }
    return std::nullopt;
}

bool graphSays(const WindowViews &views, const QString &text)
{
    for (const DrawPrimitive &p : views.graphBox.primitives()) {
        if (p.kind == PrimitiveKind::Text && p.text == text)
            return true;
    }
    return false;
}

// Regression: a new share changed the label at once but the line only at the
// next load, so the picture showed "35%ライン" at the 30 % height.
TEST_F(WindowViewSwitches, ANewShareMovesTheLineWithItsLabel)
{
    for (const QString &view : {QStringLiteral("graph"), QStringLiteral("hikaku")}) {
        SCOPED_TRACE(view.toStdString());
        settings.kakeritu = 0.3f;
        load(8);
        views.analysed = true;
        referenceLine(store, settings.kakeritu, sink);
        if (view == QStringLiteral("hikaku"))
            switchToHikaku(context);
        else
            switchToGraph(context);
        const auto before = referenceLineY(views);
        ASSERT_TRUE(before);

        settings.kakeritu = 0.05f;
        shareChanged(store, context);
        EXPECT_TRUE(graphSays(views, QStringLiteral("05%ライン")));
        const auto after = referenceLineY(views);
        ASSERT_TRUE(after);
        // A smaller share is a higher figure: the line moves up (smaller y).
        EXPECT_LT(*after, *before);
        // Drawn afresh from the same figures, the line lies where the new share puts it.
        const float recomputed = store.referenceFigure;
        referenceLine(store, settings.kakeritu, sink);
        EXPECT_EQ(store.referenceFigure, recomputed);
        EXPECT_EQ(shownView(views), view);
    }
    EXPECT_TRUE(sink.messages().isEmpty()) << sink.messages().join(u'\n').toStdString();
}

TEST_F(WindowViewSwitches, ANewShareBeforeAnyLoadChangesNothing)
{
    load(8);
    const float line = store.referenceFigure;
    const std::size_t drawn = views.graphBox.primitives().size();
    settings.kakeritu = 0.05f;
    shareChanged(store, context);  // no load went through: the store holds no analysed race
    EXPECT_EQ(store.referenceFigure, line);
    EXPECT_EQ(views.graphBox.primitives().size(), drawn);
}

TEST_F(WindowViewSwitches, TheRememberedViewIsShownOnceAfterTheFirstLoad)
{
    const struct {
        QString remembered;
        QString shown;
    } cases[] = {
        {QString(), QStringLiteral("graph")},
        {QStringLiteral("graph"), QStringLiteral("graph")},
        {QStringLiteral("bacyu"), QStringLiteral("bacyu")},
        {QStringLiteral("hikaku"), QStringLiteral("hikaku")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.remembered.toStdString());
        fillPrintRace(store, 6);
        views.viewAfterLoad = c.remembered;
        loadStarting(views);
        loadEnded(context, true);
        EXPECT_EQ(shownView(views), c.shown);
        EXPECT_TRUE(views.viewAfterLoad.isEmpty());
        // The next load shows the graph again.
        loadStarting(views);
        loadEnded(context, true);
        EXPECT_EQ(shownView(views), QStringLiteral("graph"));
    }
    // A load that stopped keeps the remembered view for the next one.
    views.viewAfterLoad = QStringLiteral("hikaku");
    loadStarting(views);
    loadEnded(context, false);
    EXPECT_EQ(views.viewAfterLoad, QStringLiteral("hikaku"));
}

}  // namespace
