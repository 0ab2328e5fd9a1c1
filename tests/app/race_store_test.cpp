#include "app/race_store.h"

#include <gtest/gtest.h>

using namespace marunoki;

TEST(RaceStore, ResetEmptiesEveryRunnerRunAndFigure)
{
    RaceStore store;
    store.tousuu = 18;
    store.curUma = 7;
    store.raceDate = 39000;
    store.raceTitle = QStringLiteral("日本ダービー");
    for (int h = 0; h < kRunnerSlots; ++h) {
        store.U_name[h] = QStringLiteral("馬");
        store.U_heikin[h] = {70.0f, 3.0f};
        for (int r = 0; r < kRunSlots; ++r) {
            store.R_date[h][r] = 39000 - r;
            store.R_siba[h][r] = 1;
            store.R_zyo[h][r] = QStringLiteral("05");
            store.U_time[h][r] = 95.5f;
            store.U_sisuu[h][r] = 80.0f;
            store.U_tuka[h][r][4] = 3;
            store.U_taisen[h][r % kRunnerSlots][1] = 2.0f;
        }
    }
    store.zyouiHeikin = {1, 2, 3, 4};
    store.cancelFlag = -1;
    store.viewMode = QStringLiteral("hikaku");
    store.rentaiKizyun = 71.5f;
    store.graphBase = 30;

    store.resetPublic();

    EXPECT_EQ(store.tousuu, 0);
    EXPECT_EQ(store.curUma, 0);
    EXPECT_EQ(store.raceDate, 0);
    EXPECT_TRUE(store.raceTitle.isEmpty());
    EXPECT_EQ(store.cancelFlag.load(), 0);
    for (int h = 0; h < kRunnerSlots; ++h) {
        EXPECT_TRUE(store.U_name[h].isEmpty());
        EXPECT_EQ(store.U_heikin[h][0], 0.0f);
        EXPECT_EQ(store.U_heikin[h][1], 0.0f);
        for (int r = 0; r < kRunSlots; ++r) {
            ASSERT_EQ(store.R_date[h][r], 0) << h << "," << r;
            ASSERT_EQ(store.R_siba[h][r], 0);
            ASSERT_TRUE(store.R_zyo[h][r].isEmpty());
            ASSERT_EQ(store.U_time[h][r], 0.0f);
            ASSERT_EQ(store.U_sisuu[h][r], 0.0f);
            ASSERT_EQ(store.U_tuka[h][r][4], 0);
        }
        for (int k = 0; k < kRunnerSlots; ++k)
            ASSERT_EQ(store.U_taisen[h][k][1], 0.0f);
    }
    for (float v : store.zyouiHeikin)
        EXPECT_EQ(v, 0.0f);
    // The last drawing and the last analysis's race values survive a reset.
    EXPECT_EQ(store.viewMode, QStringLiteral("hikaku"));
    EXPECT_EQ(store.rentaiKizyun, 71.5f);
    EXPECT_EQ(store.graphBase, 30);
}

TEST(RaceStore, CourseTableHoldsTheTenCentralCoursesInCodeOrder)
{
    RaceStore store;
    EXPECT_EQ(store.zyoName[5], QStringLiteral("東京"));
    EXPECT_EQ(store.zyoName[1], QStringLiteral("札幌"));
    EXPECT_EQ(store.zyoName[10], QStringLiteral("小倉"));
    EXPECT_TRUE(store.zyoName[0].isEmpty());
}
