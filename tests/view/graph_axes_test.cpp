// The graph's layout, its grid and axes (drawAxes) and its headline (drawHeadline).

#include "app/format.h"
#include "graph_steps_support.h"
#include "support/qt_print.h"
#include "view/qb_color.h"
#include "view/view_text.h"

#include <gtest/gtest.h>

using namespace marunoki;
using namespace marunoki::test;

TEST(GraphLayout, PlotAreaAndMappingsOfTheDesignedBox)
{
    RecordedDrawing box;
    box.setSize(9135, 6735);
    const GraphLayout l = GraphLayout::of(box, 46000);
    EXPECT_EQ(l.plotWidth, 8785);
    EXPECT_EQ(l.plotHeight, 6335);
    EXPECT_DOUBLE_EQ(l.dateToX(46000), 9035);  // race day on the right edge
    EXPECT_DOUBLE_EQ(l.dateToX(46000 - 420), 250);  // 420 days back on the left edge
    EXPECT_DOUBLE_EQ(l.dateToX(46000 - 210), 250 + 8785 / 2.0);
    EXPECT_LT(l.dateToX(46000 - 430), 250);  // older runs are not clipped
    EXPECT_DOUBLE_EQ(l.valueToY(100), 200);
    EXPECT_DOUBLE_EQ(l.valueToY(0), 6535);
    EXPECT_DOUBLE_EQ(l.valueToY(50), 3367.5);
}

TEST(GraphLayout, PenWidthsRoundToWholePixels)
{
    const struct {
        double pixels;
        int width;
    } cases[] = {{0.9 * 3, 3}, {0.9, 1}, {1.4, 1}, {0.9 * 1.5, 1}, {0.9 * 1.5 * 2.5, 3}, {2.5, 2}, {3.5, 4}};
    for (const auto &c : cases)
        EXPECT_EQ(penWidth(c.pixels), c.width) << c.pixels;
}

TEST(Keisen, DrawsTheGridWithTheMiddleLineSolid)
{
    RaceStore store;
    setUpRace(store);
    const StepResult r = runStep(graph::drawAxes, store);
    ASSERT_TRUE(r.ok);

    const auto grey = primitivesIn(r.box, PrimitiveKind::Line, qbColor(8));
    ASSERT_EQ(grey.size(), 9u + 30u);
    for (int i = 0; i < 9; ++i) {
        EXPECT_DOUBLE_EQ(grey[i].y1, 6335.0 / 10 * (i + 1) + 200);
        EXPECT_EQ(grey[i].x1, 250);
        EXPECT_EQ(grey[i].x2, 9035);
        EXPECT_EQ(grey[i].pen.drawStyle, LineStyle::Dot);
        EXPECT_EQ(grey[i].pen.drawWidth, 1);
    }
    for (int i = 0; i < 30; ++i) {
        const DrawPrimitive &v = grey[9 + i];
        EXPECT_DOUBLE_EQ(v.x1, 8785.0 / 30 * (i + 1) + 250);
        EXPECT_EQ(v.y1, 200);
        EXPECT_EQ(v.y2, 6535);
    }
    EXPECT_DOUBLE_EQ(grey.back().x1, 9035);  // the last one on the right edge

    const auto black = primitivesIn(r.box, PrimitiveKind::Line, qbColor(0));
    ASSERT_EQ(black.size(), 1u);
    EXPECT_DOUBLE_EQ(black[0].y1, yOfValue(50));
    EXPECT_EQ(black[0].pen.drawStyle, LineStyle::Solid);

    const auto frame = primitivesOf(r.box, PrimitiveKind::Box);
    ASSERT_EQ(frame.size(), 1u);
    EXPECT_EQ(frame[0].pen.drawWidth, 2);
    EXPECT_EQ(frame[0].x1, 250);
    EXPECT_EQ(frame[0].y1, 200);
    EXPECT_EQ(frame[0].x2, 9035);
    EXPECT_EQ(frame[0].y2, 6535);
}

TEST(Keisen, ValueLabelsAreShiftedByTheBaseAndTheBottomLineHasNone)
{
    RaceStore store;
    setUpRace(store, 1, 30);
    const StepResult r = runStep(graph::drawAxes, store);
    for (int i = 0; i <= 9; ++i) {
        const QString label = QString::number((10 - i) * 10 + 30);
        const auto found = textsReading(r.box, label);
        ASSERT_EQ(found.size(), 1u) << label.toStdString();
        EXPECT_EQ(found[0].x1, 0);
        EXPECT_DOUBLE_EQ(found[0].y1, 6335.0 / 10 * i + 200 - 40);
        EXPECT_EQ(found[0].points, 8);
    }
    EXPECT_TRUE(textsReading(r.box, QStringLiteral("30")).empty());
}

TEST(Keisen, DateLabelsEverySeventyDaysFromTheLeftEdge)
{
    RaceStore store;
    setUpRace(store);
    const StepResult r = runStep(graph::drawAxes, store);
    for (int i = 0; i <= 6; ++i) {
        const QString label = formatDate(graphRaceDay() - 420 + 70 * i, QStringLiteral("m/d"));
        const auto found = textsReading(r.box, label);
        ASSERT_EQ(found.size(), 1u) << label.toStdString();
        EXPECT_DOUBLE_EQ(found[0].x1, 8785.0 / 6 * i + 250 - 170);
        EXPECT_EQ(found[0].y1, 6335 + 200 + 5);
    }
    EXPECT_EQ(textsReading(r.box, QStringLiteral("11/29")).size(), 1u);  // the race day, last
    EXPECT_EQ(textsReading(r.box, QStringLiteral("10/5")).size(), 1u);  // 420 days back, first
}

TEST(Keisen, ReferenceLineFollowsTheBaseUnclamped)
{
    const struct {
        float referenceFigure;
        qint32 base;
        double value;
    } cases[] = {{80, 30, 50}, {75, 0, 75}, {150, 30, 120}, {10, 30, -20}};
    for (const auto &c : cases) {
        RaceStore store;
        setUpRace(store, 1, c.base);
        store.referenceFigure = c.referenceFigure;
        const StepResult r = runStep(graph::drawAxes, store, 0.35f);
        const auto yellow = primitivesIn(r.box, PrimitiveKind::Line, qbColor(14));
        ASSERT_EQ(yellow.size(), 1u);
        EXPECT_DOUBLE_EQ(yellow[0].y1, yOfValue(c.value)) << c.referenceFigure;
        EXPECT_EQ(yellow[0].pen.drawWidth, 4);
        EXPECT_EQ(yellow[0].pen.drawStyle, LineStyle::DashDot);
        const auto label = textsReading(r.box, QStringLiteral("35%ライン"));
        ASSERT_EQ(label.size(), 1u);
        EXPECT_EQ(label[0].x1, 300);
        EXPECT_DOUBLE_EQ(label[0].y1, yOfValue(c.value) - 200);
        EXPECT_EQ(label[0].points, 8);
    }
}

TEST(Keisen, FailsOnARaceDateOffTheCalendar)
{
    RaceStore store;
    setUpRace(store);
    store.raceDate = 1e9;
    const StepResult r = runStep(graph::drawAxes, store);
    EXPECT_FALSE(r.ok);
    // What came before the date labels is drawn; the reference line and frame are not.
    EXPECT_EQ(primitivesIn(r.box, PrimitiveKind::Line, qbColor(8)).size(), 39u);
    EXPECT_TRUE(primitivesOf(r.box, PrimitiveKind::Box).empty());
}

TEST(Headline, CardDataThenMeanBestAndRunningStyle)
{
    RaceStore store;
    setUpRace(store);
    store.horses[1].sexAge = QStringLiteral("牡4");
    store.horses[1].runs[0].bodyWeight = 480;
    store.horses[1].runs[0].jockey = QStringLiteral("騎手A");
    store.horses[1].runs[0].weightCarried = 57;
    store.horses[1].meanFigure.value = 75.4f;
    store.horses[1].bestFigure.value = 82.6f;
    store.horses[1].runningStyle.value = 2.5f;
    const StepResult r = runStep(graph::drawHeadline, store);
    ASSERT_TRUE(r.ok);
    const auto texts = primitivesOf(r.box, PrimitiveKind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, QStringLiteral("3 1 グラフテスト1 牡4 480 騎手A(57) 75 83 先2.5"));
    EXPECT_EQ(texts[0].x1, 250);
    EXPECT_EQ(texts[0].y1, 0);
    EXPECT_EQ(texts[0].points, 9);
}

TEST(Headline, RunnerWithoutFiguresShowsEmptyStatisticsAndNoMark)
{
    RaceStore store;
    setUpRace(store);
    store.horses[1].sexAge = QStringLiteral("牝3");
    store.horses[1].runs[0].bodyWeight = 452;
    store.horses[1].runs[0].jockey = QStringLiteral("騎手B");
    store.horses[1].runs[0].weightCarried = 55.5f;
    EXPECT_EQ(graph::headline(store, 1), QStringLiteral("3 1 グラフテスト1 牝3 452 騎手B(55.5)   0.0"));
}

TEST(Headline, RunningStyleMarks)
{
    const struct {
        float k;
        const char16_t *mark;
    } cases[] = {{0, u""}, {0.8f, u"逃"}, {1.99f, u"逃"}, {2, u"先"}, {2.99f, u"先"}, {3, u"差"},
        {5.9f, u"差"}, {6, u"追"}, {7.5f, u"追"}, {-1, u"逃"}};
    for (const auto &c : cases)
        EXPECT_EQ(runningStyleMark(c.k), QString::fromUtf16(c.mark)) << c.k;
}

TEST(Headline, FailsForARunnerOutsideTheSlots)
{
    RaceStore store;
    setUpRace(store);
    const StepResult r = runStep(graph::drawHeadline, store, 0.3f, 19);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.box.primitives().empty());
}

TEST(CourseMark, FirstCharacterOfTheCourseAndNagoyaForChukyo)
{
    const struct {
        const char16_t *zyo;
        const char16_t *mark;
    } cases[] = {{u"05", u"東"}, {u"5", u"東"}, {u"07", u"名"}, {u"06", u"中"}, {u"10", u"小"},
        {u"大井", u"大"}, {u"12", u"1"}, {u"0", u"0"}, {u"", u""}};
    RaceStore store;
    for (const auto &c : cases) {
        store.horses[1].runs[1].course = QString::fromUtf16(c.zyo);
        EXPECT_EQ(graph::courseMark(store, 1, 1), QString::fromUtf16(c.mark))
            << store.horses[1].runs[1].course.toStdString();
    }
}
