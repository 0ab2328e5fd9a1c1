// The left column's height shared between the graph and the per-run grid.

#include "window/column_layout.h"

#include <gtest/gtest.h>

using namespace marunoki;

namespace {

TEST(ShareColumn, TheGraphFillsTheWidthAsFarAsTheGridKeepsItsMinimum)
{
    const double aspect = 1.5;  // the graph pane's width over its height
    const struct {
        const char *name;
        double aspect;
        int height, width, gridMinimum;
        bool gridShown;
        ColumnShares shares;
        std::optional<int> chosenGrid = std::nullopt;
    } cases[] = {
        // 1280 x 720: the graph cannot fill 930 px without 620 px of height.
        {"small screen: the grid keeps its minimum", aspect, 510, 930, 110, true, {400, 110}},
        {"large screen: the graph fills the width", aspect, 900, 900, 110, true, {600, 300}},
        {"exactly filling", aspect, 710, 900, 110, true, {600, 110}},
        {"part of a pixel is a pixel more", aspect, 900, 901, 110, true, {601, 299}},
        {"table box off: the graph takes it all", aspect, 510, 930, 110, false, {510, 0}},
        {"less than the grid's minimum", aspect, 80, 930, 110, true, {0, 80}},
        {"no drawing yet", 0, 510, 930, 110, true, {400, 110}},
        {"the user's grid height is kept", aspect, 900, 900, 110, true, {650, 250}, 250},
        {"a grid moved below its minimum keeps the minimum", aspect, 510, 930, 110, true, {400, 110}, 40},
        {"a grid taller than the column takes the column", aspect, 300, 930, 110, true, {0, 300}, 700},
        {"the user's grid is hidden with the table box off", aspect, 510, 930, 110, false, {510, 0}, 250},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const ColumnShares shares
            = shareColumn(c.height, c.width, c.aspect, c.gridMinimum, c.gridShown, c.chosenGrid);
        EXPECT_EQ(shares.graph, c.shares.graph);
        EXPECT_EQ(shares.grid, c.shares.grid);
        EXPECT_EQ(shares.graph + shares.grid, c.height);
    }
    // The grid shows runs only when the table box is ticked (not off, not grey).
    EXPECT_TRUE(runGridShown(1));
    EXPECT_FALSE(runGridShown(0));
    EXPECT_FALSE(runGridShown(2));
}

// The width beside a graph that its height cannot fill goes to the panels.
TEST(ShareRow, ThePanelsTakeAQuarterAndWhatTheGraphCannotFill)
{
    const double aspect = 1.5;
    const struct {
        const char *name;
        int width, graphHeight;
        double aspect;
        int sideMinimum;
        RowShares shares;
    } cases[] = {
        // 1280 x 720: a graph 400 px high is 600 px wide, not 930.
        {"short graph: the panels widen", 1240, 400, aspect, 200, {600, 640}},
        {"tall graph: the panels keep their quarter", 1600, 900, aspect, 200, {1200, 400}},
        {"narrow window: the panels keep their least width", 700, 900, aspect, 200, {500, 200}},
        {"no drawing yet: the quarter", 1200, 400, 0, 200, {900, 300}},
        {"narrower than the panels", 150, 400, aspect, 200, {0, 150}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const RowShares shares = shareRow(c.width, c.graphHeight, c.aspect, c.sideMinimum);
        EXPECT_EQ(shares.column, c.shares.column);
        EXPECT_EQ(shares.side, c.shares.side);
    }
}

}  // namespace
