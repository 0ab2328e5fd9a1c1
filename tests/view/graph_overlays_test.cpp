// The six overlays of the speed-figure graph: where each puts a run, its marker,
// and which series are joined.

#include "graph_steps_support.h"
#include "support/qt_print.h"
#include "view/qb_color.h"

#include <gtest/gtest.h>

using namespace marunoki;
using namespace marunoki::test;

namespace {

// The centre of a square marker.
double centreY(const DrawPrimitive &p)
{
    return (p.y1 + p.y2) / 2;
}

double halfSide(const DrawPrimitive &p)
{
    return (p.x2 - p.x1) / 2;
}

}  // namespace

// Each case: one fact of run 1 (28 days back) and the value it is drawn at.
TEST(Overlays, ValueOfEachFact)
{
    using Setter = void (*)(RaceStore &, qint32);
    const struct {
        const char *name;
        bool (*step)(const graph::StepContext &);
        Setter set;
        qint32 fact;
        double value;
    } cases[] = {
        {"1st", graph::drawFinishOverlay, [](RaceStore &s, qint32 v) { s.horses[1].runs[1].finish = v; }, 1,
            100},
        {"3rd", graph::drawFinishOverlay, [](RaceStore &s, qint32 v) { s.horses[1].runs[1].finish = v; }, 3,
            90},
        {"18th", graph::drawFinishOverlay, [](RaceStore &s, qint32 v) { s.horses[1].runs[1].finish = v; }, 18,
            15},
        {"bracket 1", graph::drawBracketOverlay,
            [](RaceStore &s, qint32 v) { s.horses[1].runs[1].bracket = v; }, 1, 40},
        {"bracket 8", graph::drawBracketOverlay,
            [](RaceStore &s, qint32 v) { s.horses[1].runs[1].bracket = v; }, 8, 5},
        {"bracket 0", graph::drawBracketOverlay,
            [](RaceStore &s, qint32 v) { s.horses[1].runs[1].bracket = v; }, 0, 45},
        {"corner 1", graph::drawFirstCornerOverlay,
            [](RaceStore &s, qint32 v) { s.horses[1].runs[1].cornerPositions[1] = v; }, 1, 100},
        {"corner 9", graph::drawFirstCornerOverlay,
            [](RaceStore &s, qint32 v) { s.horses[1].runs[1].cornerPositions[1] = v; }, 9, 60},
        {"corner 10", graph::drawFirstCornerOverlay,
            [](RaceStore &s, qint32 v) { s.horses[1].runs[1].cornerPositions[1] = v; }, 10, 50},
        {"corner 12", graph::drawFirstCornerOverlay,
            [](RaceStore &s, qint32 v) { s.horses[1].runs[1].cornerPositions[1] = v; }, 12, 50},
        {"1900 m", graph::drawDistanceOverlay,
            [](RaceStore &s, qint32 v) { s.horses[1].runs[1].distance = v; }, 1900, 50},
        {"1000 m", graph::drawDistanceOverlay,
            [](RaceStore &s, qint32 v) { s.horses[1].runs[1].distance = v; }, 1000, 5},
        {"2800 m", graph::drawDistanceOverlay,
            [](RaceStore &s, qint32 v) { s.horses[1].runs[1].distance = v; }, 2800, 95},
        {"1150 m", graph::drawDistanceOverlay,
            [](RaceStore &s, qint32 v) { s.horses[1].runs[1].distance = v; }, 1150, 12.5},
        {"3200 m", graph::drawDistanceOverlay,
            [](RaceStore &s, qint32 v) { s.horses[1].runs[1].distance = v; }, 3200, 100},
        {"良", graph::drawGoingOverlay, [](RaceStore &s, qint32 v) { s.horses[1].runs[1].going = v; }, 1,
            100},
        {"不", graph::drawGoingOverlay, [](RaceStore &s, qint32 v) { s.horses[1].runs[1].going = v; }, 4, 85},
    };
    for (const auto &c : cases) {
        RaceStore store;
        setUpRace(store);
        placeRun(store, 1, 1, 28, 70);
        store.horses[1].runs[0].date = 0;  // only run 1 counts
        c.set(store, c.fact);
        const StepResult r = runStep(c.step, store);
        ASSERT_TRUE(r.ok) << c.name;
        ASSERT_FALSE(r.box.primitives().empty()) << c.name;
        const DrawPrimitive &marker = r.box.primitives().front();
        const double y = marker.kind == PrimitiveKind::Circle ? marker.y1 : centreY(marker);
        const double x = marker.kind == PrimitiveKind::Circle ? marker.x1 : (marker.x1 + marker.x2) / 2;
        EXPECT_DOUBLE_EQ(y, yOfValue(c.value)) << c.name;
        EXPECT_DOUBLE_EQ(x, xOfDaysBefore(28)) << c.name;
    }
}

TEST(Overlays, MarkersSizesAndPens)
{
    const struct {
        const char *name;
        bool (*step)(const graph::StepContext &);
        PrimitiveKind kind;
        QColor colour;
        double size;
        int pen;
    } cases[] = {
        {"finish", graph::drawFinishOverlay, PrimitiveKind::FilledBox, qbColor(8), 27, 1},
        {"body weight", graph::drawBodyWeightOverlay, PrimitiveKind::FilledBox, qbColor(0), 27, 1},
        {"bracket", graph::drawBracketOverlay, PrimitiveKind::FilledBox, qbColor(3), 45, 3},
        {"first corner", graph::drawFirstCornerOverlay, PrimitiveKind::Box, qbColor(12), 54, 3},
        {"distance", graph::drawDistanceOverlay, PrimitiveKind::Circle, qbColor(5), 54, 3},
        {"going", graph::drawGoingOverlay, PrimitiveKind::Circle, qbColor(8), 36, 3},
    };
    for (const auto &c : cases) {
        RaceStore store;
        setUpRace(store);
        store.horses[1].runs[0].date = 0;  // only run 1 counts
        placeRun(store, 1, 1, 28, 70);
        store.horses[1].runs[1].finish = 2;
        store.horses[1].runs[1].bodyWeight = 470;
        store.horses[1].runs[1].bracket = 4;
        store.horses[1].runs[1].cornerPositions[1] = 5;
        store.horses[1].runs[1].going = 2;
        const StepResult r = runStep(c.step, store);
        const auto markers = primitivesIn(r.box, c.kind, c.colour);
        ASSERT_EQ(markers.size(), 1u) << c.name;
        const DrawPrimitive &m = markers[0];
        EXPECT_NEAR(m.kind == PrimitiveKind::Circle ? m.radius : halfSide(m), c.size, 1e-9) << c.name;
        EXPECT_EQ(m.pen.drawWidth, c.pen) << c.name;
        EXPECT_EQ(m.pen.drawStyle, LineStyle::Solid) << c.name;
    }
}

TEST(Overlays, GoingIsFilledAndLeavesTodayOut)
{
    RaceStore store;
    setUpRace(store);
    store.horses[1].runs[0].going = 1;  // today's race: no going marker
    placeRun(store, 1, 1, 28, 70);
    store.horses[1].runs[1].going = 3;
    const StepResult r = runStep(graph::drawGoingOverlay, store);
    const auto circles = primitivesOf(r.box, PrimitiveKind::Circle);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_DOUBLE_EQ(circles[0].y1, yOfValue(90));
    EXPECT_EQ(circles[0].pen.fillStyle, FillStyle::Solid);
    EXPECT_EQ(circles[0].pen.fillColor, qbColor(8));
    EXPECT_EQ(r.box.pen().fillStyle, FillStyle::Transparent);
}

TEST(Overlays, TodaysEntryStandsOnTheRightEdge)
{
    RaceStore store;
    setUpRace(store);
    store.horses[1].runs[0].bracket = 5;
    store.horses[1].runs[0].distance = 2400;
    for (auto step : {graph::drawBracketOverlay, graph::drawDistanceOverlay}) {
        const StepResult r = runStep(step, store);
        ASSERT_EQ(r.box.primitives().size(), 1u);
        const DrawPrimitive &m = r.box.primitives().front();
        EXPECT_DOUBLE_EQ(m.kind == PrimitiveKind::Circle ? m.x1 : (m.x1 + m.x2) / 2, 9035);
    }
}

TEST(Overlays, LongDistanceWrittenBesideItsCircle)
{
    RaceStore store;
    setUpRace(store);
    store.horses[1].runs[0].date = 0;
    placeRun(store, 1, 1, 28, 70);
    store.horses[1].runs[1].distance = 3200;
    placeRun(store, 1, 2, 56, 70);
    store.horses[1].runs[2].distance = 2800;
    const StepResult r = runStep(graph::drawDistanceOverlay, store);
    const auto texts = primitivesOf(r.box, PrimitiveKind::Text);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, QStringLiteral("3200"));
    EXPECT_DOUBLE_EQ(texts[0].x1, xOfDaysBefore(28) + 60);
    EXPECT_DOUBLE_EQ(texts[0].y1, 200 + 320);
    EXPECT_EQ(texts[0].points, 10);
}

TEST(Overlays, CornerPositionMissingDrawsNothing)
{
    RaceStore store;
    setUpRace(store);
    placeRun(store, 1, 1, 28, 70);
    EXPECT_TRUE(runStep(graph::drawFirstCornerOverlay, store).box.primitives().empty());
}

TEST(Overlays, FinishingPositionsJoinedAndBrokenByAnyUndrawnRun)
{
    RaceStore store;
    setUpRace(store);
    store.horses[1].runs[0].date = 0;
    placeRun(store, 1, 1, 28, 70);
    store.horses[1].runs[1].finish = 1;
    placeRun(store, 1, 2, 56, 70);
    store.horses[1].runs[2].finish = 5;
    placeRun(store, 1, 3, 84, 70);  // dated, no place: breaks
    placeRun(store, 1, 4, 112, 70);
    store.horses[1].runs[4].finish = 2;
    store.horses[1].runs[5].finish = 3;  // no date: breaks as well
    placeRun(store, 1, 6, 168, 70);
    store.horses[1].runs[6].finish = 4;
    const StepResult r = runStep(graph::drawFinishOverlay, store);

    EXPECT_EQ(primitivesOf(r.box, PrimitiveKind::FilledBox).size(), 4u);
    const auto lines = primitivesIn(r.box, PrimitiveKind::Line, qbColor(8));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_DOUBLE_EQ(lines[0].y1, yOfValue(80));  // 5th, the new point
    EXPECT_DOUBLE_EQ(lines[0].y2, yOfValue(100));  // back to the winner
    // The marker comes before its line.
    EXPECT_EQ(r.box.primitives()[1].kind, PrimitiveKind::FilledBox);
    EXPECT_EQ(r.box.primitives()[2].kind, PrimitiveKind::Line);
}

TEST(Overlays, BodyWeightRelativeToTheOldestWeighedRun)
{
    RaceStore store;
    setUpRace(store);
    store.horses[1].runs[0].bodyWeight = 530;  // today: 60 kg up, off the plot
    placeRun(store, 1, 1, 28, 70);
    store.horses[1].runs[1].bodyWeight = 476;
    placeRun(store, 1, 2, 56, 70);  // dated, not weighed: the line breaks
    placeRun(store, 1, 3, 84, 70);
    store.horses[1].runs[3].bodyWeight = 470;  // the oldest weighed run: the base
    store.horses[1].runs[4].bodyWeight = 400;  // no date: not the base, not drawn
    const StepResult r = runStep(graph::drawBodyWeightOverlay, store);

    const auto squares = primitivesOf(r.box, PrimitiveKind::FilledBox);
    ASSERT_EQ(squares.size(), 3u);  // drawn oldest first
    EXPECT_DOUBLE_EQ(centreY(squares[0]), yOfValue(50));
    EXPECT_DOUBLE_EQ(centreY(squares[1]), yOfValue(56));
    EXPECT_DOUBLE_EQ(centreY(squares[2]), yOfValue(110));
    EXPECT_LT(centreY(squares[2]), 200);
    const auto lines = primitivesIn(r.box, PrimitiveKind::Line, qbColor(0));
    ASSERT_EQ(lines.size(), 1u);  // run 1 to today; run 3 to run 1 is broken
    EXPECT_DOUBLE_EQ(lines[0].x1, 9035);
    EXPECT_DOUBLE_EQ(lines[0].x2, xOfDaysBefore(28));
}

TEST(Overlays, EveryStepFailsForARunnerOutsideTheSlots)
{
    RaceStore store;
    setUpRace(store);
    for (auto step : {graph::drawFinishOverlay, graph::drawBodyWeightOverlay, graph::drawBracketOverlay,
             graph::drawFirstCornerOverlay, graph::drawDistanceOverlay, graph::drawGoingOverlay}) {
        const StepResult r = runStep(step, store, 0.3f, 40);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.box.primitives().empty());
    }
}
