#include "analysis/runner_statistics.h"

#include "analysis/speed_figures.h"
#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace marunoki;

namespace {

double dateOf(int year, int month, int day)
{
    return serialFromYmd(year, month, day).value();
}

// Gives runner h the figures in runs 1.., all on distinct days.
void setFigures(RaceStore &store, int h, const std::vector<float> &figures)
{
    int r = 1;
    for (float figure : figures) {
        store.horses[h].runs[r].date = dateOf(2007, 1, 1) + r;
        store.horses[h].runs[r].speedFigure = figure;
        ++r;
    }
}

// --- per runner ------------------------------------------------------------------------

TEST(RunnerStatistics, ARunnerWithoutFiguresKeepsZeroEverywhere)
{
    RaceStore store;
    store.fieldSize = 2;
    store.raceDate = dateOf(2007, 10, 1);
    setFigures(store, 2, {70, 80});
    RecordingSink sink;
    runnerStatistics(store, 1, sink);

    const Runner &runner = store.horses[1];
    for (const Statistic &statistic : {runner.meanFigure, runner.bestFigure, runner.recentMeanFigure,
             runner.recentBestFigure, runner.runningStyle}) {
        EXPECT_EQ(statistic.value, 0.0f);
        EXPECT_EQ(statistic.runs, 0.0f);
    }
    for (const HeadToHead &opponent : runner.headToHead) {
        EXPECT_EQ(opponent.ahead, 0.0f);
        EXPECT_EQ(opponent.behind, 0.0f);
    }
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST(RunnerStatistics, NegativeFiguresAverageButNeverMakeTheBest)
{
    RaceStore store;
    store.fieldSize = 1;
    setFigures(store, 1, {-5, 0, -12});
    RecordingSink sink;
    meanFigure(store, 1, sink);
    bestFigure(store, 1);

    EXPECT_EQ(store.horses[1].meanFigure.value, -8.5f);
    EXPECT_EQ(store.horses[1].meanFigure.runs, 2.0f);
    EXPECT_EQ(store.horses[1].bestFigure.value, 0.0f);
    EXPECT_EQ(store.horses[1].bestFigure.runs, 2.0f);
}

TEST(RunnerStatistics, MeanAndBestOverAllRuns)
{
    RaceStore store;
    setFigures(store, 3, {70, 85.5f, 60});
    store.horses[3].runs[50].speedFigure = 64.5f;  // the last run slot counts too
    RecordingSink sink;
    meanFigure(store, 3, sink);
    bestFigure(store, 3);

    EXPECT_EQ(store.horses[3].meanFigure.value, 70.0f);
    EXPECT_EQ(store.horses[3].meanFigure.runs, 4.0f);
    EXPECT_EQ(store.horses[3].bestFigure.value, 85.5f);
    EXPECT_EQ(store.horses[3].bestFigure.runs, 4.0f);
}

TEST(RunnerStatistics, RecentValuesTakeOnlyRunsLaterThanNinetyDaysBefore)
{
    RaceStore store;
    store.raceDate = dateOf(2007, 10, 1);
    const struct {
        int month, day;
        float figure;
    } runs[] = {{9, 20, 60}, {7, 4, 80}, {7, 3, 95}, {5, 1, 99}};
    int r = 1;
    for (const auto &run : runs) {
        store.horses[1].runs[r].date = dateOf(2007, run.month, run.day);
        store.horses[1].runs[r].speedFigure = run.figure;
        ++r;
    }
    RecordingSink sink;
    recentMeanFigure(store, 1, sink);
    recentBestFigure(store, 1);

    // 3 July is exactly 90 days before 1 October and is left out; 4 July counts.
    EXPECT_EQ(store.horses[1].recentMeanFigure.value, 70.0f);
    EXPECT_EQ(store.horses[1].recentMeanFigure.runs, 2.0f);
    EXPECT_EQ(store.horses[1].recentBestFigure.value, 80.0f);
    EXPECT_EQ(store.horses[1].recentBestFigure.runs, 2.0f);
}

TEST(RunnerStatistics, AMeanWhoseTotalOverflowsIsReported)
{
    RaceStore store;
    store.raceDate = dateOf(2007, 10, 1);
    setFigures(store, 1, {3.0e38f, 3.0e38f});
    store.horses[1].runs[1].date = store.horses[1].runs[2].date = dateOf(2007, 9, 30);
    RecordingSink sink;
    meanFigure(store, 1, sink);
    recentMeanFigure(store, 1, sink);

    EXPECT_EQ(sink.messages(),
        (QStringList {
            QStringLiteral("指数の分析エラー(err-AC03)"), QStringLiteral("指数の分析エラー(err-AC05)")}));
    EXPECT_EQ(store.horses[1].meanFigure.value, 0.0f);
    EXPECT_EQ(store.horses[1].recentMeanFigure.value, 0.0f);
}

// Two runners that met in one past race (same date, course and race number).
struct Meeting {
    int cyakuA, cyakuB;
    float figureA, figureB;
    float aAhead, aBehind, bAhead, bBehind;
    int runA = 2;  // the meeting is A's run runA and B's run runB
    int runB = 2;
};

TEST(HeadToHead, CountsWhoFinishedAheadWhenTheRunnerHasAFigure)
{
    const Meeting cases[] = {
        {3, 5, 70, 65, 1, 0, 0, 1},  // both with figures
        {4, 4, 70, 65, 0, 0, 0, 0},  // dead heat
        {3, 5, 70, 0, 1, 0, 0, 0},  // B without a figure: only A's record counts it
        {6, 2, 0, 65, 0, 0, 1, 0},
        {3, 5, 70, 65, 1, 0, 0, 1, 1},  // A's last run
        {3, 5, 70, 65, 1, 0, 0, 1, kMaxRuns},  // A's oldest run kept
        {3, 5, 70, 65, 1, 0, 0, 1, 2, 1},  // B's last run
        {3, 5, 70, 65, 1, 0, 0, 1, 2, kMaxRuns},
    };
    for (const auto &c : cases) {
        RaceStore store;
        store.fieldSize = 3;
        for (const auto &[h, r] : {std::pair {1, c.runA}, std::pair {2, c.runB}}) {
            store.horses[h].runs[r].date = dateOf(2007, 6, 3);
            store.horses[h].runs[r].course = QStringLiteral("05");
            store.horses[h].runs[r].raceNumber = 11;
        }
        // Runner 2 also ran an earlier race of the same day and course.
        store.horses[2].runs[3].date = dateOf(2007, 6, 3);
        store.horses[2].runs[3].course = QStringLiteral("05");
        store.horses[2].runs[3].raceNumber = 9;
        store.horses[2].runs[3].finish = 1;
        store.horses[2].runs[3].speedFigure = 60;
        store.horses[1].runs[c.runA].finish = c.cyakuA;
        store.horses[2].runs[c.runB].finish = c.cyakuB;
        store.horses[1].runs[c.runA].speedFigure = c.figureA;
        store.horses[2].runs[c.runB].speedFigure = c.figureB;
        for (int h : {1, 2, 3}) {
            headToHead(store, h);
        }
        const auto &a = store.horses[1].headToHead;
        const auto &b = store.horses[2].headToHead;
        EXPECT_EQ(a[2].ahead, c.aAhead)
            << c.cyakuA << " vs " << c.cyakuB << " in runs " << c.runA << " and " << c.runB;
        EXPECT_EQ(a[2].behind, c.aBehind);
        EXPECT_EQ(b[1].ahead, c.bAhead);
        EXPECT_EQ(b[1].behind, c.bBehind);
        EXPECT_EQ(a[0].ahead, c.aAhead);
        EXPECT_EQ(a[0].behind, c.aBehind);
        EXPECT_EQ(b[0].ahead, c.bAhead);
        EXPECT_EQ(b[0].behind, c.bBehind);
        EXPECT_EQ(store.horses[3].headToHead[0].ahead + store.horses[3].headToHead[0].behind, 0.0f);
    }
}

TEST(HeadToHead, OtherCoursesOrRaceNumbersAreOtherRaces)
{
    RaceStore store;
    store.fieldSize = 2;
    for (int h : {1, 2}) {
        store.horses[h].runs[1].date = dateOf(2007, 6, 3);
        store.horses[h].runs[1].course = QStringLiteral("05");
        store.horses[h].runs[1].raceNumber = 11;
        store.horses[h].runs[1].speedFigure = 70;
    }
    store.horses[2].runs[1].course = QStringLiteral("06");
    store.horses[1].runs[1].finish = 1;
    store.horses[2].runs[1].finish = 2;
    headToHead(store, 1);
    EXPECT_EQ(store.horses[1].headToHead[0].ahead, 0.0f);
}

TEST(RunningStyle, AveragesFirstCornerPositionsScaledToTodaysField)
{
    RaceStore store;
    store.fieldSize = 16;
    store.horses[1].runs[1].cornerPositions[1] = 2;
    store.horses[1].runs[2].cornerPositions[1] = 4;
    store.horses[1].runs[5].cornerPositions[1] = 1;  // run 5 is beyond the four most recent
    store.horses[1].runs[3].cornerPositions[2] = 7;  // second corner does not count
    RecordingSink sink;
    runningStyle(store, 1, sink);

    EXPECT_EQ(store.horses[1].runningStyle.value, 1.5f);
    EXPECT_EQ(store.horses[1].runningStyle.runs, 2.0f);
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST(RunningStyle, AnOverflowingProductIsReported)
{
    RaceStore store;
    store.fieldSize = 16;
    store.horses[1].runs[1].cornerPositions[1] = 2;
    store.horses[1].runs[2].cornerPositions[1] = 300000000;
    RecordingSink sink;
    runningStyle(store, 1, sink);

    EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("指数の分析エラー(err-AC14)")});
    // The step ended where it failed: the first run was summed, the mean never taken.
    EXPECT_EQ(store.horses[1].runningStyle.value, 1.0f);
    EXPECT_EQ(store.horses[1].runningStyle.runs, 2.0f);
}

// --- per race ----------------------------------------------------------------------------

TEST(TopThreeMeans, KeepsTheThreeHighestInOrder)
{
    struct Case {
        std::vector<float> means;  // runners 1..
        float first, second, third;
    } cases[] = {
        {{80, 80, 70}, 80, 80, 70},
        {{70, 80, 80}, 80, 80, 70},
        {{60, 90, 75, 85, 0, -3}, 90, 85, 75},
        {{0, -5}, 0, 0, 0},
        {{65}, 65, 0, 0},
    };
    for (const auto &c : cases) {
        RaceStore store;
        store.fieldSize = 1;  // every slot counts, whatever the field size
        int h = 1;
        for (float m : c.means)
            store.horses[h++].meanFigure.value = m;
        topThreeMeans(store);
        EXPECT_EQ(store.topMeans[0], 0.0f);
        EXPECT_EQ(store.topMeans[1], c.first);
        EXPECT_EQ(store.topMeans[2], c.second);
        EXPECT_EQ(store.topMeans[3], c.third);
    }
}

TEST(ReferenceLine, TakesTheShareIndexRoundedHalfToEven)
{
    struct Case {
        std::vector<float> figures;
        float kakeritu;
        float expected;
    } cases[] = {
        {{50, 70, 90, 60, 80}, 0.5f, 70},  // 2.5 goes to index 2
        {{50, 70, 90, 60, 80}, 0.3f, 70},  // 1.5000000596 goes to index 2
        {{50, 70, 90, 60, 80}, 1.0f, 0},  // index n: the appended 0
        {{50, 70, 90, 60, 80}, 0.0f, 90},
        {{}, 0.5f, 0},
        // 0.3f * 15 is 4.5000001788 when formed in double: index 5, not 4.
        {{150, 140, 130, 120, 110, 100, 90, 80, 70, 60, 50, 40, 30, 20, 10}, 0.3f, 100},
    };
    for (const auto &c : cases) {
        RaceStore store;
        store.fieldSize = 2;
        // Spread over two runners and the whole run range, the last run included.
        for (std::size_t i = 0; i < c.figures.size(); ++i)
            store.horses[1 + i % 2].runs[i + 1 == c.figures.size() ? kMaxRuns : 1 + i * 3].speedFigure
                = c.figures[i];
        store.horses[3].runs[1].speedFigure = 200;  // beyond fieldSize
        store.referenceFigure = -1;
        RecordingSink sink;
        referenceLine(store, c.kakeritu, sink);
        EXPECT_EQ(store.referenceFigure, c.expected) << c.kakeritu << " of " << c.figures.size();
        EXPECT_TRUE(sink.messages().isEmpty());
    }
}

TEST(ReferenceLine, AShareOutsideTheListIsReportedAndKeepsTheLine)
{
    for (float kakeritu : {1.5f, -0.5f}) {
        RaceStore store;
        store.fieldSize = 1;
        setFigures(store, 1, {60, 70});
        store.referenceFigure = 55;
        RecordingSink sink;
        referenceLine(store, kakeritu, sink);
        EXPECT_EQ(store.referenceFigure, 55.0f);
        EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("平均指数の分析エラー(err-AC16)")});
    }
}

TEST(GraphBase, MovesForManyHighOrLowFigures)
{
    struct Case {
        int normal, high, low;
        qint32 expected;
    } cases[] = {
        {17, 3, 0, 30},  // 3 of 20 above 100
        {17, 3, 3, -30},  // and 3 of 23 below 0: the low test wins
        {18, 2, 0, 0},  // exactly 0.1 is not more than 0.1
        {0, 0, 0, 0},
        {89, 0, 11, 0},  // exactly 0.11
        {88, 0, 12, -30},
    };
    for (const auto &c : cases) {
        RaceStore store;
        store.fieldSize = 3;
        std::vector<float> figures(c.normal, 70.0f);
        figures.insert(figures.end(), c.high, 101.0f);
        figures.insert(figures.end(), c.low, -1.0f);
        for (std::size_t i = 0; i < figures.size(); ++i)
            store.horses[1 + i / 50].runs[1 + i % 50].speedFigure = figures[i];
        store.horses[1].runs[0].speedFigure = 150;  // run 0 is not counted
        EXPECT_EQ(graphBaseOf(store), c.expected) << c.normal << "/" << c.high << "/" << c.low;
    }
}

TEST(AnalysisDriver, RunsThePassAndEveryStatisticForEachRunner)
{
    RaceStore store;
    store.fieldSize = 2;
    store.raceDate = dateOf(2007, 10, 1);
    // No databases: runs without a time are skipped, so the figures set here stay.
    setFigures(store, 1, {80, 60});
    setFigures(store, 2, {120, 110});
    store.horses[2].runs[1].cornerPositions[1] = 1;
    RecordingSink sink;
    analyseRace(store, AnalysisSources {}, 0.5f, sink);

    EXPECT_EQ(store.horses[1].meanFigure.value, 70.0f);
    EXPECT_EQ(store.horses[2].bestFigure.value, 120.0f);
    EXPECT_EQ(store.horses[2].runningStyle.value, 4.0f);
    EXPECT_EQ(store.topMeans[1], 115.0f);
    EXPECT_EQ(store.topMeans[2], 70.0f);
    EXPECT_EQ(store.referenceFigure, 80.0f);  // 120, 110, 80, 60, 0: index 2
    EXPECT_EQ(store.graphBase, 30);
    EXPECT_TRUE(sink.messages().isEmpty());
}

}  // namespace
