#include "view/run_table.h"

#include "app/format.h"
#include "app/race_store.h"

#include <gtest/gtest.h>

using namespace marunoki;

namespace {

void fillRun(RaceStore &store, int h, int r, double date)
{
    store.R_date[h][r] = date;
    store.R_zyo[h][r] = QStringLiteral("05");
    store.R_no[h][r] = 11;
    store.R_kyori[h][r] = 1600;
    store.R_siba[h][r] = 1;
    store.R_baba[h][r] = 2;
    store.U_time[h][r] = 94.5f;
    store.U_3f[h][r] = 34.0f;
    store.U_tuka[h][r][1] = 3;
    store.U_tuka[h][r][2] = 2;
    store.U_sisuu[h][r] = 80.0f;
}

}  // namespace

TEST(RunTable, ListsPresentRunsWithFormattedValues)
{
    RaceStore store;
    store.tousuu = 1;
    store.U_name[1] = QStringLiteral("テスト");
    store.R_date[1][0] = *serialFromYmd(2026, 11, 29);
    fillRun(store, 1, 1, *serialFromYmd(2026, 10, 4));
    fillRun(store, 1, 3, *serialFromYmd(2026, 6, 7));  // run 2 absent: skipped
    store.R_zyo[1][3] = QStringLiteral("大井");

    const auto rows = runTableRows(store, 1);
    ASSERT_EQ(rows.size(), 3u);
    const QStringList headers = runTableHeaders();
    for (const QStringList &row : rows)
        EXPECT_EQ(row.size(), headers.size());
    EXPECT_EQ(rows[0][0], QStringLiteral("26/11/29"));
    EXPECT_EQ(rows[1][0], QStringLiteral("26/10/04"));
    EXPECT_EQ(rows[1][1], QStringLiteral("東京"));  // course code shown as its name
    EXPECT_EQ(rows[1][4], QStringLiteral("芝1600"));
    EXPECT_EQ(rows[1][5], QStringLiteral("稍"));
    EXPECT_EQ(rows[1][14], QStringLiteral("1:34.5"));
    EXPECT_EQ(rows[1][16], QStringLiteral("3-2"));
    EXPECT_EQ(rows[1][17], QStringLiteral("80.0"));
    EXPECT_EQ(rows[1][18], QString());  // no last-three-furlong figure
    EXPECT_EQ(rows[2][1], QStringLiteral("大井"));  // local course names stay as they are
}

TEST(RunTable, RunnerOutsideTheSlotsGivesNothing)
{
    RaceStore store;
    EXPECT_TRUE(runTableRows(store, 0).empty());
    EXPECT_TRUE(runTableRows(store, 19).empty());
    EXPECT_TRUE(runnerSummary(store, 19).isEmpty());
}

TEST(RunTable, SummaryShowsMeansOnlyWhenRunsCounted)
{
    RaceStore store;
    store.U_name[2] = QStringLiteral("ウマ");
    store.U_heikin[2] = {75.25f, 4.0f};
    const QString text = runnerSummary(store, 2);
    EXPECT_TRUE(text.startsWith(QStringLiteral("02 ウマ")));
    EXPECT_TRUE(text.contains(QStringLiteral("平均:75.3")));  // half away from zero
    EXPECT_TRUE(text.contains(QStringLiteral("近3ヶ月間 平均:-")));
}
