#include "view/runner_panels.h"

#include "app/format.h"
#include "support/qt_print.h"
#include "view_store.h"

#include <gtest/gtest.h>

#include <limits>

using namespace marunoki;
using marunoki::test::addRun;
using marunoki::test::addRunner;

namespace {

const QChar kCr(13);

QString cellText(const CellGrid &grid, int row, int col)
{
    const GridCell *cell = grid.at(row, col);
    return cell ? cell->text : QStringLiteral("<outside>");
}

// The runner panel of runner h as its lines, with the empty text after the last CR.
QStringList umaInfoLines(const RaceStore &store, int h)
{
    RecordingSink sink;
    const QStringList lines = writeUmaInfo(store, h, sink).split(kCr);
    EXPECT_TRUE(sink.messages().isEmpty());
    return lines;
}

bool rowEmpty(const CellGrid &grid, int row)
{
    for (int c = 0; c < grid.cols(); ++c) {
        if (!cellText(grid, row, c).isEmpty()) {
            return false;
        }
    }
    return true;
}

// A race store with runner 1 and a per-run grid laid out for it.
struct RunGridFixture : ::testing::Test {
    RunGridFixture()
    {
        addRunner(store, 1, QStringLiteral("テストウマ"), 3);
        layOutRunGrid(grid, sink);
    }
    RaceStore store;
    CellGrid grid;
    RecordingSink sink;
};

}  // namespace

TEST(LayOutRunGrid, LaysOutHeadersAndWidths)
{
    struct Column {
        int col;
        const char *header;
        int width;
    };
    const Column columns[] = {
        {0, "date", CellGrid::kDefaultColumnWidth},
        {1, "場", 450},
        {2, "Race名", 2430},
        {3, "着順", 720},
        {4, "指数", 405},
        {5, "上がり", 405},
        {6, "枠", 405},
        {7, "馬番", 405},
        {8, "距離", 720},
        {9, "騎手", 810},
        {10, "負担", 405},
        {11, "馬場", 360},
        {12, "time", 540},
        {13, "差", 405},
        {14, "上がり", 450},
        {15, "馬体重", 450},
        {16, "1ｺ", 405},
        {17, "2ｺ", 405},
        {18, "3ｺ", 405},
        {19, "4ｺ", 405},
        {20, "人気", 405},
    };
    CellGrid grid;
    grid.setRows(3);
    grid.setCols(40);
    grid.at(2, 30)->text = QStringLiteral("old");
    RecordingSink sink;
    layOutRunGrid(grid, sink);
    EXPECT_EQ(grid.rows(), 36);
    EXPECT_EQ(grid.cols(), 21);
    EXPECT_EQ(grid.fixedCols, 0);
    EXPECT_EQ(grid.baseFontSize, 8);
    for (const Column &c : columns) {
        SCOPED_TRACE(c.col);
        EXPECT_EQ(cellText(grid, 0, c.col), QString::fromUtf8(c.header));
        EXPECT_EQ(grid.colWidth(c.col), c.width);
    }
    EXPECT_TRUE(rowEmpty(grid, 2));
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(RunGridFixture, WritesOneRowPerDatedRunWithEveryColumnFormatted)
{
    for (int r = 1; r <= 3; ++r) {
        addRun(store, 1, r);
    }
    store.horses[1].runs[4].date = 0;  // run 4 absent
    fillRunGrid(store, 1, grid, sink);

    const QStringList row1 = {QStringLiteral("26/11/15"), QStringLiteral("東京"), QStringLiteral("レース1"),
        QStringLiteral("03/16"), QStringLiteral("61"), QStringLiteral("51"), QStringLiteral("2"),
        QStringLiteral("4"), QStringLiteral("芝1600"), QStringLiteral("騎手1"), QStringLiteral("57"),
        QStringLiteral("良"), QStringLiteral("95.3"), QStringLiteral("0.2"), QStringLiteral("34.5"),
        QStringLiteral("480"), QStringLiteral("3"), QStringLiteral("3"), QStringLiteral("2"),
        QStringLiteral("1"), QStringLiteral("5")};
    for (int c = 0; c < 21; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(cellText(grid, 1, c), row1[c]);
    }
    EXPECT_EQ(cellText(grid, 3, 2), QStringLiteral("レース3"));
    for (int r = 4; r < 36; ++r) {
        EXPECT_TRUE(rowEmpty(grid, r)) << "row " << r;
    }
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(RunGridFixture, OtherRunnersRowsDoNotShowThrough)
{
    // Ten runs, the last of them (up to run 35) at every column's edge values.
    for (int r = 1; r <= 10; ++r) {
        addRun(store, 1, r);
    }
    addRun(store, 1, 33);
    fillRunGrid(store, 1, grid, sink);
    ASSERT_EQ(cellText(grid, 10, 20), QStringLiteral("5"));
    ASSERT_FALSE(rowEmpty(grid, 33));

    addRunner(store, 2, QStringLiteral("ゴカイ"), 4);
    for (int r = 1; r <= 5; ++r) {
        addRun(store, 2, r);
    }
    fillRunGrid(store, 2, grid, sink);
    for (int r = 1; r <= 5; ++r) {
        EXPECT_FALSE(rowEmpty(grid, r)) << "row " << r;
    }
    for (int r = 6; r < 36; ++r) {
        EXPECT_TRUE(rowEmpty(grid, r)) << "row " << r;
    }
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(RunGridFixture, MissingValuesLeaveTheirCellsEmpty)
{
    addRun(store, 1, 1);
    store.horses[1].runs[1].going = 0;
    store.horses[1].runs[1].cornerPositions = {0, 0, 5, 4, 2};
    store.horses[1].runs[1].popularity = 0;
    store.horses[1].runs[1].last3fFigure = 0;
    store.horses[1].runs[1].surface = 0;
    store.horses[1].runs[1].distance = 1200;
    fillRunGrid(store, 1, grid, sink);
    EXPECT_EQ(cellText(grid, 1, 11), QString());  // going
    EXPECT_EQ(cellText(grid, 1, 16), QString());  // first corner
    EXPECT_EQ(cellText(grid, 1, 17), QStringLiteral("5"));
    EXPECT_EQ(cellText(grid, 1, 20), QString());  // popularity
    EXPECT_EQ(cellText(grid, 1, 5), QString());  // 上がり figure
    EXPECT_EQ(cellText(grid, 1, 8), QStringLiteral("ダ1200"));
}

TEST_F(RunGridFixture, FigureWithoutTrackVariantIsGreyAndEveryFigureBold)
{
    addRun(store, 1, 1);
    addRun(store, 1, 2);
    store.horses[1].runs[2].trackVariant = 0;
    store.horses[1].runs[2].speedFigure = 7.4f;
    fillRunGrid(store, 1, grid, sink);
    EXPECT_EQ(grid.at(1, 4)->foreground, QColor(0, 0, 0));
    EXPECT_EQ(grid.at(2, 4)->foreground, QColor(128, 128, 128));
    EXPECT_EQ(cellText(grid, 2, 4), QStringLiteral("07"));
    EXPECT_TRUE(grid.at(1, 4)->bold);
    EXPECT_TRUE(grid.at(2, 4)->bold);
    EXPECT_FALSE(grid.at(1, 5)->bold);
}

TEST_F(RunGridFixture, CourseShownByNameOnlyForCentralCodes)
{
    const struct {
        const char *zyo;
        const char *shown;
    } cases[] = {{"05", "東京"}, {"10", "小倉"}, {"大井", "大井"}, {"11", "11"}, {"0", "0"}, {"", ""}};
    int r = 0;
    for (const auto &c : cases) {
        addRun(store, 1, ++r);
        store.horses[1].runs[r].course = QString::fromUtf8(c.zyo);
    }
    fillRunGrid(store, 1, grid, sink);
    r = 0;
    for (const auto &c : cases) {
        EXPECT_EQ(cellText(grid, ++r, 1), QString::fromUtf8(c.shown)) << c.zyo;
    }
}

TEST_F(RunGridFixture, DatedRunBeyondRow35StopsWithMessage)
{
    for (int r = 1; r <= 40; ++r) {
        addRun(store, 1, r);
    }
    fillRunGrid(store, 1, grid, sink);
    EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("write_gridエラー(err-AD12)")});
    EXPECT_EQ(cellText(grid, 35, 2), QStringLiteral("レース35"));
    EXPECT_EQ(cellText(grid, 35, 20), QStringLiteral("5"));
    EXPECT_EQ(grid.rows(), 36);
}

TEST_F(RunGridFixture, RunnerOutsideTheSlotsIsReported)
{
    fillRunGrid(store, 19, grid, sink);
    fillRunGrid(store, -1, grid, sink);
    EXPECT_EQ(sink.messages().size(), 2);
}

TEST(FillRunGrid, GridNotLaidOutIsReported)
{
    RaceStore store;
    addRunner(store, 1, QStringLiteral("ウマ"), 1);
    addRun(store, 1, 1);
    CellGrid grid;
    RecordingSink sink;
    fillRunGrid(store, 1, grid, sink);
    EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("write_gridエラー(err-AD12)")});
}

namespace {

struct HeadToHeadGridFixture : ::testing::Test {
    HeadToHeadGridFixture()
    {
        addRunner(store, 1, QStringLiteral("イチ"), 1);
        addRunner(store, 2, QStringLiteral("ニ"), 1);
        addRunner(store, 3, QStringLiteral("サン"), 2);
        addRunner(store, 4, QString(), 2);  // a slot without a runner
        store.horses[1].headToHead[2] = {2, 1};
        store.horses[1].headToHead[3] = {0, 0};
        store.horses[1].headToHead[4] = {9, 9};
        store.horses[1].headToHead[1] = {5, 5};
        store.horses[1].headToHead[0] = {2, 1};
    }
    RaceStore store;
    CellGrid grid;
    RecordingSink sink;
};

}  // namespace

TEST_F(HeadToHeadGridFixture, LaysOutHeadersWidthsAndTotalsRowColour)
{
    grid.setRows(40);
    grid.setCols(9);
    grid.at(30, 8)->text = QStringLiteral("old");
    fillHeadToHeadGrid(store, 1, grid, sink);
    EXPECT_EQ(grid.rows(), 20);
    EXPECT_EQ(grid.cols(), 6);
    const int widths[] = {250, 1400, 400, 400, 500, 250};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(grid.colWidth(c), widths[c]);
        EXPECT_EQ(grid.at(19, c)->background, QColor(255, 255, 0));
        EXPECT_EQ(grid.at(18, c)->background, QColor(255, 255, 255));
    }
    EXPECT_EQ(cellText(grid, 0, 2), QStringLiteral("勝"));
    EXPECT_EQ(cellText(grid, 0, 3), QStringLiteral("負"));
    EXPECT_EQ(cellText(grid, 0, 4), QStringLiteral("率"));
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(HeadToHeadGridFixture, RowsShowRecordAgainstEachRunner)
{
    fillHeadToHeadGrid(store, 1, grid, sink);
    const struct {
        int row;
        QStringList cells;
    } rows[] = {
        {1, {"1", "イチ", "", "", "", ""}},  // the shown runner itself
        {2, {"2", "ニ", "2", "1", "67%", ""}},
        {3, {"3", "サン", "0", "0", "", ""}},
        {4, {"4", "", "", "", "", ""}},  // empty slot: number only
        {5, {"", "", "", "", "", ""}},
        {19, {"", "計", "2", "1", "67%", ""}},
    };
    for (const auto &expected : rows) {
        for (int c = 0; c < 6; ++c) {
            EXPECT_EQ(cellText(grid, expected.row, c), expected.cells[c])
                << "row " << expected.row << " col " << c;
        }
    }
}

TEST_F(HeadToHeadGridFixture, TotalsWithoutMeetingsShowNoRate)
{
    store.horses[2].headToHead[0] = {0, 0};
    fillHeadToHeadGrid(store, 2, grid, sink);
    EXPECT_EQ(cellText(grid, 19, 2), QStringLiteral("0"));
    EXPECT_EQ(cellText(grid, 19, 3), QStringLiteral("0"));
    EXPECT_EQ(cellText(grid, 19, 4), QString());
    EXPECT_EQ(cellText(grid, 2, 2), QString());  // now runner 2's own row
}

TEST_F(HeadToHeadGridFixture, OversizedCardStopsAtTheLastSlotWithMessage)
{
    store.fieldSize = 25;
    fillHeadToHeadGrid(store, 1, grid, sink);
    EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("taisen_gridエラー(err-AD13)")});
    EXPECT_EQ(cellText(grid, 18, 0), QStringLiteral("18"));
    EXPECT_EQ(cellText(grid, 19, 1), QString());
}

TEST(WriteRaceInfo, JoinsTitleAndConditionsWithCarriageReturn)
{
    RaceStore store;
    store.raceTitle = QStringLiteral("ジャパンC");
    store.raceConditions = QStringLiteral("3歳以上 芝2400m");
    RecordingSink sink;
    EXPECT_EQ(
        writeRaceInfo(store, sink), QStringLiteral("ジャパンC") + kCr + QStringLiteral("3歳以上 芝2400m"));
}

TEST(WriteUmaInfo, SevenLinesOfTheRunner)
{
    RaceStore store;
    addRunner(store, 5, QStringLiteral("テストウマ"), 3);
    store.horses[5].runs[0].weightCarried = 55.5f;
    store.horses[5].meanFigure = {72.4f, 3};
    store.horses[5].bestFigure = {80.5f, 3};
    store.horses[5].recentMeanFigure = {68.0f, 1};
    store.horses[5].recentBestFigure = {68.0f, 1};
    const QStringList lines = umaInfoLines(store, 5);
    const QStringList expected = {
        QStringLiteral("3枠5番テストウマ"), QStringLiteral("　　　騎手一(55.5) 牡4 鹿毛"),
        QStringLiteral("父　 チチウマ"), QStringLiteral("母父 ハハチチ"), QStringLiteral(" "),
        QStringLiteral("14ヶ月間  平均:72　最高:81"), QStringLiteral("近3ヶ月間 平均:68　最高:68"),
        QString(),  // every line ends in CR
    };
    EXPECT_EQ(lines, expected);
}

TEST(WriteUmaInfo, RunnerWithoutStatisticsShowsZeros)
{
    RaceStore store;
    addRunner(store, 1, QStringLiteral("ウマ"), 1);
    const QStringList lines = umaInfoLines(store, 1);
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[5], QStringLiteral("14ヶ月間  平均:00　最高:00"));
    EXPECT_EQ(lines[6], QStringLiteral("近3ヶ月間 平均:00　最高:00"));
}

TEST(WriteUmaInfo, PedigreeNamesCutToTwentyCharacters)
{
    RaceStore store;
    addRunner(store, 1, QStringLiteral("ウマ"), 1);
    store.horses[1].sire = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    store.horses[1].damSire = QStringLiteral("アイウエオカキクケコサシスセソタチツテトナニ");
    const QStringList lines = umaInfoLines(store, 1);
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[2], QStringLiteral("父　 ABCDEFGHIJKLMNOPQRST"));
    EXPECT_EQ(lines[3], QStringLiteral("母父 アイウエオカキクケコサシスセソタチツテト"));
}

TEST(WriteUmaInfo, RunnerOutsideTheSlotsGivesNullTextAndMessage)
{
    RaceStore store;
    RecordingSink sink;
    EXPECT_TRUE(writeUmaInfo(store, 19, sink).isNull());
    EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("writeUmaInfoエラー(err-AD15)")});
}

TEST(RunnerPanels, OddStoreContentsAreShownWithoutHarm)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    RaceStore store;
    addRunner(store, 1, QString(), 9);
    addRun(store, 1, 1);
    store.horses[1].runs[1].date = 1e300;  // beyond any calendar
    store.horses[1].runs[1].speedFigure = nan;
    store.horses[1].runs[1].trackVariant = nan;
    store.horses[1].runs[1].last3fFigure = inf;
    store.horses[1].runs[1].time = -inf;
    store.horses[1].runs[1].weightCarried = nan;
    store.horses[1].runs[1].course = QStringLiteral("5.5");
    store.horses[1].meanFigure.value = nan;
    store.horses[1].bestFigure.value = inf;
    store.horses[1].headToHead[0] = {nan, 1};
    store.fieldSize = -4;

    CellGrid runs;
    CellGrid taisen;
    RecordingSink sink;
    layOutRunGrid(runs, sink);
    fillRunGrid(store, 1, runs, sink);
    fillHeadToHeadGrid(store, 1, taisen, sink);
    const QString info = writeUmaInfo(store, 1, sink);
    EXPECT_TRUE(sink.messages().isEmpty()) << sink.messages().join(u'|').toStdString();

    EXPECT_EQ(cellText(runs, 1, 2), QStringLiteral("レース1"));
    EXPECT_EQ(cellText(runs, 1, 1), QStringLiteral("5.5"));  // not a whole course code
    EXPECT_EQ(cellText(runs, 1, 4), QStringLiteral("00"));  // no figure to show
    EXPECT_TRUE(rowEmpty(taisen, 1));  // a negative runner count lists nobody
    EXPECT_EQ(cellText(taisen, 19, 1), QStringLiteral("計"));
    EXPECT_EQ(cellText(taisen, 19, 4), QString());  // no rate from an unknown count
    EXPECT_TRUE(info.startsWith(QStringLiteral("9枠1番") + kCr));
}
