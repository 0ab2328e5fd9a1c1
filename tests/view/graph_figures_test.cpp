// The speed-figure line (drawSpeedFigureLine) and the last-three-furlong circles (drawLastFurlongs).

#include "graph_steps_support.h"
#include "support/qt_print.h"
#include "view/qb_color.h"

#include <gtest/gtest.h>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const QColor kTurfGreen(0, 128, 0);
const QColor kWhite(255, 255, 255);
const QColor kAgari(192, 192, 0);

std::vector<DrawPrimitive> figureCircles(const RecordedDrawing &box)
{
    auto circles = primitivesIn(box, PrimitiveKind::Circle, kTurfGreen);
    for (const DrawPrimitive &p : primitivesIn(box, PrimitiveKind::Circle, qbColor(9)))
        circles.push_back(p);
    return circles;
}

}  // namespace

TEST(SpSisuu, FiguresOffTheScaleSitOnItsEdgesWithTheirValue)
{
    RaceStore store;
    setUpRace(store, 1, 30);
    placeRun(store, 1, 1, 28, 135);  // above the scale
    placeRun(store, 1, 2, 56, 25);  // below the scale
    placeRun(store, 1, 3, 84, 70);  // on it
    placeRun(store, 1, 4, 112, 30);  // on its lower edge: still on it
    const StepResult r = runStep(graph::drawSpeedFigureLine, store);
    ASSERT_TRUE(r.ok);

    const auto circles = figureCircles(r.box);
    ASSERT_EQ(circles.size(), 4u);
    EXPECT_DOUBLE_EQ(circles[0].x1, xOfDaysBefore(28));
    EXPECT_DOUBLE_EQ(circles[0].y1, 200);  // top edge
    EXPECT_DOUBLE_EQ(circles[1].y1, 6535);  // bottom edge
    EXPECT_DOUBLE_EQ(circles[2].y1, yOfValue(40));

    const auto above = textsReading(r.box, QStringLiteral("東135"));
    ASSERT_EQ(above.size(), 1u);
    EXPECT_DOUBLE_EQ(above[0].x1, xOfDaysBefore(28) - 130);
    EXPECT_DOUBLE_EQ(above[0].y1, 200 + 150);  // printed below the circle
    EXPECT_EQ(above[0].points, 10);
    const auto below = textsReading(r.box, QStringLiteral("東25"));
    ASSERT_EQ(below.size(), 1u);
    EXPECT_DOUBLE_EQ(below[0].y1, 6535 - 350);  // printed above the circle
    const auto onScale = textsReading(r.box, QStringLiteral("東"));
    ASSERT_EQ(onScale.size(), 2u);
    EXPECT_DOUBLE_EQ(onScale[0].y1, yOfValue(40) - 350);
    EXPECT_DOUBLE_EQ(onScale[1].y1, 6535 - 350);
}

TEST(SpSisuu, NegativeDifferenceShowsTheTwoDigitFigure)
{
    RaceStore store;
    setUpRace(store, 1, 10);
    placeRun(store, 1, 1, 28, 5);
    store.horses[1].runs[1].course = QStringLiteral("大井");
    const StepResult r = runStep(graph::drawSpeedFigureLine, store);
    EXPECT_EQ(textsReading(r.box, QStringLiteral("大05")).size(), 1u);
}

TEST(SpSisuu, CircleSizeAndFillMarkTurfAndTheTrackVariant)
{
    RaceStore store;
    setUpRace(store);
    placeRun(store, 1, 1, 28, 70);  // turf with a variant
    placeRun(store, 1, 2, 56, 70);
    store.horses[1].runs[2].trackVariant = 0;  // turf without one
    placeRun(store, 1, 3, 84, 70);
    store.horses[1].runs[3].surface = 0;  // dirt with one
    placeRun(store, 1, 4, 112, 70);
    store.horses[1].runs[4].surface = 0;
    store.horses[1].runs[4].trackVariant = 0;  // dirt without one
    const StepResult r = runStep(graph::drawSpeedFigureLine, store);

    const auto circles = primitivesOf(r.box, PrimitiveKind::Circle);
    ASSERT_EQ(circles.size(), 4u);
    const QColor outline[] = {kTurfGreen, kTurfGreen, qbColor(9), qbColor(9)};
    const QColor fill[] = {kTurfGreen, kWhite, qbColor(9), kWhite};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(circles[i].radius, 72, 1e-9);
        EXPECT_EQ(circles[i].pen.drawWidth, 3);
        EXPECT_EQ(circles[i].pen.fillStyle, FillStyle::Solid);
        EXPECT_EQ(circles[i].colour, outline[i]) << i;
        EXPECT_EQ(circles[i].pen.fillColor, fill[i]) << i;
    }
    EXPECT_EQ(r.box.pen().fillStyle, FillStyle::Transparent);  // set back after the circles
}

TEST(SpSisuu, DatedRunWithoutFigureBreaksTheLineAndUndatedRunDoesNot)
{
    RaceStore store;
    setUpRace(store);
    placeRun(store, 1, 1, 28, 70);
    placeRun(store, 1, 2, 56, 0);  // dated, no figure: the line breaks
    placeRun(store, 1, 3, 84, 60);
    // run 4 has no date: the line joins run 3 to run 5 across it
    store.horses[1].runs[4].speedFigure = 99;
    placeRun(store, 1, 5, 112, 50);
    const StepResult r = runStep(graph::drawSpeedFigureLine, store);

    const auto lines = primitivesIn(r.box, PrimitiveKind::Line, qbColor(9));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_DOUBLE_EQ(lines[0].x1, xOfDaysBefore(112));  // from the new point ...
    EXPECT_DOUBLE_EQ(lines[0].y1, yOfValue(50));
    EXPECT_DOUBLE_EQ(lines[0].x2, xOfDaysBefore(84));  // ... back to the previous one
    EXPECT_DOUBLE_EQ(lines[0].y2, yOfValue(60));
    EXPECT_EQ(figureCircles(r.box).size(), 3u);
}

TEST(SpSisuu, RunsPastThirtyNeverAppearAndOldRunsLandLeftOfThePlot)
{
    RaceStore store;
    setUpRace(store);
    placeRun(store, 1, 30, 430, 70);
    for (int run = 31; run <= 50; ++run)
        placeRun(store, 1, run, 100 + run, 70);
    const StepResult r = runStep(graph::drawSpeedFigureLine, store);
    const auto circles = figureCircles(r.box);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_DOUBLE_EQ(circles[0].x1, xOfDaysBefore(430));
    EXPECT_LT(circles[0].x1, 250);
}

TEST(SpSisuu, RunnerWithoutFiguresDrawsNothing)
{
    RaceStore store;
    setUpRace(store);
    for (int run = 1; run <= 5; ++run)
        placeRun(store, 1, run, 28.0 * run, 0);
    const StepResult r = runStep(graph::drawSpeedFigureLine, store);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.box.primitives().empty());
}

TEST(Agari, CirclesWithAStemToTheSpeedFigure)
{
    RaceStore store;
    setUpRace(store, 1, 30);
    placeRun(store, 1, 1, 28, 90);
    store.horses[1].runs[1].last3fFigure = 80;
    placeRun(store, 1, 2, 56, 0);  // no speed figure: the stem goes to the clamped 0 - base
    store.horses[1].runs[2].last3fFigure = 60;
    placeRun(store, 1, 3, 84, 70);  // no 上がり figure: nothing
    const StepResult r = runStep(graph::drawLastFurlongs, store);
    ASSERT_TRUE(r.ok);

    const auto circles = primitivesIn(r.box, PrimitiveKind::Circle, kAgari);
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_NEAR(circles[0].radius, 54, 1e-9);
    EXPECT_EQ(circles[0].pen.drawWidth, 3);
    EXPECT_EQ(circles[0].pen.fillStyle, FillStyle::Transparent);
    EXPECT_DOUBLE_EQ(circles[0].y1, yOfValue(50));
    const auto stems = primitivesIn(r.box, PrimitiveKind::Line, qbColor(9));
    ASSERT_EQ(stems.size(), 2u);
    EXPECT_EQ(stems[0].pen.drawWidth, 1);
    EXPECT_DOUBLE_EQ(stems[0].x1, stems[0].x2);
    EXPECT_DOUBLE_EQ(stems[0].y1, yOfValue(50));
    EXPECT_DOUBLE_EQ(stems[0].y2, yOfValue(60));
    EXPECT_DOUBLE_EQ(stems[1].y2, 6535);
    EXPECT_EQ(r.box.pen().drawWidth, 3);  // back to 3 after each stem
    EXPECT_TRUE(primitivesOf(r.box, PrimitiveKind::Text).empty());  // 0..100: no label
}

TEST(Agari, LabelsTestTheFigureItself)
{
    RaceStore store;
    setUpRace(store, 1, 30);
    placeRun(store, 1, 1, 28, 70);
    store.horses[1].runs[1].last3fFigure = 105;  // placed at 75, labelled for being above 100
    placeRun(store, 1, 2, 56, 70);
    store.horses[1].runs[2].last3fFigure = -3;
    store.horses[1].runs[2].course = QStringLiteral("07");
    placeRun(store, 1, 3, 84, 70);
    store.horses[1].runs[3].last3fFigure = 100;  // the edge of the range: no label
    const StepResult r = runStep(graph::drawLastFurlongs, store);
    const auto high = textsReading(r.box, QStringLiteral("東105"));
    ASSERT_EQ(high.size(), 1u);
    EXPECT_DOUBLE_EQ(high[0].x1, xOfDaysBefore(28) - 130);
    EXPECT_DOUBLE_EQ(high[0].y1, yOfValue(75) + 350);
    EXPECT_EQ(high[0].points, 10);
    const auto low = textsReading(r.box, QStringLiteral("名-03"));
    ASSERT_EQ(low.size(), 1u);
    EXPECT_DOUBLE_EQ(low[0].x1, xOfDaysBefore(56) - 130);
    EXPECT_DOUBLE_EQ(low[0].y1, 6535 - 350);
    EXPECT_EQ(low[0].points, 10);
    EXPECT_TRUE(textsReading(r.box, QStringLiteral("東100")).empty());
}

TEST(FigureSteps, FailForARunnerOutsideTheSlots)
{
    RaceStore store;
    setUpRace(store);
    for (const qint32 h : {-1, 19, 1000}) {
        EXPECT_FALSE(runStep(graph::drawSpeedFigureLine, store, 0.3f, h).ok) << h;
        EXPECT_FALSE(runStep(graph::drawLastFurlongs, store, 0.3f, h).ok) << h;
    }
}
