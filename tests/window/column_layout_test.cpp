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
    } cases[] = {
        // 1280 x 720: the graph cannot fill 930 px without 620 px of height.
        {"small screen: the grid keeps its minimum", aspect, 510, 930, 110, true, {400, 110}},
        {"large screen: the graph fills the width", aspect, 900, 900, 110, true, {600, 300}},
        {"exactly filling", aspect, 710, 900, 110, true, {600, 110}},
        {"part of a pixel is a pixel more", aspect, 900, 901, 110, true, {601, 299}},
        {"table box off: the graph takes it all", aspect, 510, 930, 110, false, {510, 0}},
        {"less than the grid's minimum", aspect, 80, 930, 110, true, {0, 80}},
        {"no drawing yet", 0, 510, 930, 110, true, {400, 110}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const ColumnShares shares = shareColumn(c.height, c.width, c.aspect, c.gridMinimum, c.gridShown);
        EXPECT_EQ(shares.graph, c.shares.graph);
        EXPECT_EQ(shares.grid, c.shares.grid);
        EXPECT_EQ(shares.graph + shares.grid, c.height);
    }
    // The grid shows runs only when the table box is ticked (not off, not grey).
    EXPECT_TRUE(runGridShown(1));
    EXPECT_FALSE(runGridShown(0));
    EXPECT_FALSE(runGridShown(2));
}

}  // namespace
