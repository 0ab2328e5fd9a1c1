#include "app/race_store.h"

#include <gtest/gtest.h>
#include <vector>

using namespace marunoki;

TEST(RaceStore, ResetEmptiesEveryRunnerRunAndFigure)
{
    RaceStore store;
    store.fieldSize = 18;
    store.raceDate = 39000;
    store.raceTitle = QStringLiteral("日本ダービー");
    for (int h = 0; h < kRunnerSlots; ++h) {
        store.horses[h].name = QStringLiteral("馬");
        store.horses[h].meanFigure = {70.0f, 3.0f};
        for (int r = 0; r < kRunSlots; ++r) {
            store.horses[h].runs[r].date = 39000 - r;
            store.horses[h].runs[r].surface = 1;
            store.horses[h].runs[r].course = QStringLiteral("05");
            store.horses[h].runs[r].time = 95.5f;
            store.horses[h].runs[r].speedFigure = 80.0f;
            store.horses[h].runs[r].cornerPositions[4] = 3;
            store.horses[h].headToHead[r % kRunnerSlots].behind = 2.0f;
        }
    }
    store.topMeans = {1, 2, 3, 4};
    store.cancelFlag = -1;
    store.referenceFigure = 71.5f;
    store.graphBase = 30;

    store.clearForLoad();

    EXPECT_EQ(store.fieldSize, 0);
    EXPECT_EQ(store.raceDate, 0);
    EXPECT_TRUE(store.raceTitle.isEmpty());
    EXPECT_EQ(store.cancelFlag.load(), 0);
    for (int h = 0; h < kRunnerSlots; ++h) {
        EXPECT_TRUE(store.horses[h].name.isEmpty());
        EXPECT_EQ(store.horses[h].meanFigure.value, 0.0f);
        EXPECT_EQ(store.horses[h].meanFigure.runs, 0.0f);
        for (int r = 0; r < kRunSlots; ++r) {
            ASSERT_EQ(store.horses[h].runs[r].date, 0) << h << "," << r;
            ASSERT_EQ(store.horses[h].runs[r].surface, 0);
            ASSERT_TRUE(store.horses[h].runs[r].course.isEmpty());
            ASSERT_EQ(store.horses[h].runs[r].time, 0.0f);
            ASSERT_EQ(store.horses[h].runs[r].speedFigure, 0.0f);
            ASSERT_EQ(store.horses[h].runs[r].cornerPositions[4], 0);
        }
        for (int k = 0; k < kRunnerSlots; ++k)
            ASSERT_EQ(store.horses[h].headToHead[k].behind, 0.0f);
    }
    for (float v : store.topMeans)
        EXPECT_EQ(v, 0.0f);
    // The last analysis's race values survive a reset.
    EXPECT_EQ(store.referenceFigure, 71.5f);
    EXPECT_EQ(store.graphBase, 30);
}

TEST(RaceStore, CourseTableHoldsTheTenCentralCoursesInCodeOrder)
{
    EXPECT_EQ(courseNames()[5], QStringLiteral("東京"));
    EXPECT_EQ(courseNames()[1], QStringLiteral("札幌"));
    EXPECT_EQ(courseNames()[10], QStringLiteral("小倉"));
    EXPECT_TRUE(courseNames()[0].isEmpty());
}

// fieldSize is read from a page: a count beyond the slots, or below zero, must never
// let a caller index past the tables, and a real runner is one of the card.
TEST(RaceStore, RunnersStayWithinTheCardAndTheSlots)
{
    struct Case {
        qint32 fieldSize;
        qint32 count;
    };
    const Case cases[] = {{0, 0}, {-3, 0}, {1, 1}, {12, 12}, {18, 18}, {19, 18}, {40, 18}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "tousuu " << c.fieldSize);
        RaceStore store;
        store.fieldSize = c.fieldSize;
        EXPECT_EQ(store.runnerCount(), c.count);
        std::vector<qint32> seen;
        for (const qint32 n : store.runners())
            seen.push_back(n);
        ASSERT_EQ(seen.size(), size_t(c.count));
        for (size_t i = 0; i < seen.size(); ++i)
            EXPECT_EQ(seen[i], qint32(i + 1));
        EXPECT_FALSE(store.isRunner(0));
        EXPECT_FALSE(store.isRunner(c.count + 1));
        if (c.count > 0) {
            EXPECT_TRUE(store.isRunner(1));
            EXPECT_TRUE(store.isRunner(c.count));
        }
    }
}
