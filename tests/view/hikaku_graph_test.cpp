// The comparison graph: raw figures, bracket colours, the chosen runner, and the
// panels it fills.

#include "graph_fixture.h"
#include "support/qt_print.h"
#include "view/graph_view.h"
#include "view/qb_color.h"

#include <gtest/gtest.h>

using namespace marunoki;
using namespace marunoki::test;

namespace {

struct Hikaku {
    RaceStore store;
    qint32 shown = 1;
    GraphWindow window;
    RecordingSink sink;

    explicit Hikaku(int runners) { setUpRace(store, runners, 30); }
    void draw()
    {
        drawHikakuGraph(store, shown, graphSettings(QStringLiteral("true")), window.surfaces, sink);
    }
    std::vector<DrawPrimitive> circles() const
    {
        return primitivesOf(window.graphBox, PrimitiveKind::Circle);
    }
};

}  // namespace

TEST(HikakuGraph, PlotsRawFiguresUnclampedAndUnshifted)
{
    Hikaku h(1);
    placeRun(h.store, 1, 1, 28, 110);
    placeRun(h.store, 1, 2, 56, -5);
    placeRun(h.store, 1, 3, 84, 70);
    h.draw();
    const auto circles = h.circles();
    ASSERT_EQ(circles.size(), 3u);
    EXPECT_DOUBLE_EQ(circles[0].y1, yOfValue(110));
    EXPECT_LT(circles[0].y1, 200);  // above the plot area
    EXPECT_DOUBLE_EQ(circles[1].y1, yOfValue(-5));
    EXPECT_GT(circles[1].y1, 6535);  // below it
    EXPECT_DOUBLE_EQ(circles[2].y1, yOfValue(70));  // not shifted by the base of 30
    EXPECT_DOUBLE_EQ(circles[0].x1, xOfDaysBefore(28));
}

TEST(HikakuGraph, ReferenceLineAndFrameWithoutGridOrLabels)
{
    Hikaku h(1);
    h.store.referenceFigure = 80;
    h.draw();
    const auto yellow = primitivesIn(h.window.graphBox, PrimitiveKind::Line, qbColor(14));
    ASSERT_EQ(yellow.size(), 1u);
    EXPECT_DOUBLE_EQ(yellow[0].y1, yOfValue(80));  // the raw line, the base not subtracted
    EXPECT_EQ(yellow[0].pen.drawStyle, LineStyle::DashDot);
    EXPECT_EQ(yellow[0].pen.drawWidth, 4);
    const auto frame = primitivesOf(h.window.graphBox, PrimitiveKind::Box);
    ASSERT_EQ(frame.size(), 1u);
    // The label just inside the frame, above the line.
    const auto label = textsReading(h.window.graphBox, QStringLiteral("30%ライン"));
    ASSERT_EQ(label.size(), 1u);
    EXPECT_DOUBLE_EQ(label[0].x1, frame[0].x1 + 50);
    EXPECT_DOUBLE_EQ(label[0].y1, yOfValue(80) - 200);
    EXPECT_EQ(frame[0].pen.drawWidth, 2);
    EXPECT_EQ(primitivesOf(h.window.graphBox, PrimitiveKind::Text).size(), 1u);
    EXPECT_TRUE(primitivesIn(h.window.graphBox, PrimitiveKind::Line, qbColor(8)).empty());
    EXPECT_FALSE(h.window.graphBox.border());
}

TEST(HikakuGraph, ChosenRunnerDrawnThickerWithLargerCircles)
{
    Hikaku h(3);
    for (int k = 1; k <= 3; ++k) {
        placeRun(h.store, k, 1, 28, 60);
        placeRun(h.store, k, 2, 56, 65);
    }
    h.window.runnerBox = QStringLiteral("02");
    h.draw();
    const auto circles = h.circles();
    ASSERT_EQ(circles.size(), 6u);
    const auto lines = primitivesOf(h.window.graphBox, PrimitiveKind::Line);
    ASSERT_EQ(lines.size(), 1u + 3u);  // the reference line, then one piece per runner
    for (int k = 0; k < 3; ++k) {
        const bool chosen = k == 1;
        EXPECT_NEAR(circles[2 * k].radius, chosen ? 67.5 : 27, 1e-9) << k;
        EXPECT_EQ(circles[2 * k].pen.drawWidth, chosen ? 3 : 1) << k;
        EXPECT_EQ(lines[1 + k].pen.drawWidth, chosen ? 3 : 1) << k;
    }
    EXPECT_TRUE(h.window.umaInfo.contains(QStringLiteral("グラフテスト2")));
}

TEST(HikakuGraph, RunnerBoxNotNamingARunnerFallsBackToTheShownRunner)
{
    for (const QString &box :
        {QStringLiteral(""), QStringLiteral("abc"), QStringLiteral("00"), QStringLiteral("4")}) {
        Hikaku h(3);
        h.shown = 3;
        for (int k = 1; k <= 3; ++k)
            placeRun(h.store, k, 1, 28, 60);
        h.window.runnerBox = box;
        h.draw();
        const auto circles = h.circles();
        ASSERT_EQ(circles.size(), 3u);
        EXPECT_NEAR(circles[2].radius, 67.5, 1e-9) << box.toStdString();
        EXPECT_NEAR(circles[0].radius, 27, 1e-9);
        EXPECT_TRUE(h.window.umaInfo.contains(QStringLiteral("グラフテスト3")));
    }
}

TEST(HikakuGraph, BracketColoursAndUnknownBracketsKeepThePreviousColour)
{
    // An unknown bracket first draws black, later ones keep the colour before them.
    const qint32 brackets[] = {9, 1, 2, 3, 0, 3, 4, 5, 6, 7, 8, -1};
    const QColor expected[] = {QColor(0, 0, 0), QColor(128, 128, 128), windowTextColor(), QColor(255, 0, 0),
        QColor(255, 0, 0), QColor(255, 0, 0), QColor(0, 0, 255), QColor(192, 192, 0), QColor(0, 192, 0),
        QColor(255, 128, 0), QColor(255, 128, 128), QColor(255, 128, 128)};
    const int runners = int(std::size(brackets));
    Hikaku h(runners);
    for (int k = 1; k <= runners; ++k) {
        h.store.horses[k].runs[0].bracket = brackets[k - 1];
        placeRun(h.store, k, 1, 28, 60);
    }
    h.draw();
    const auto circles = h.circles();
    ASSERT_EQ(circles.size(), size_t(runners));
    for (int k = 0; k < runners; ++k) {
        EXPECT_EQ(circles[k].colour, expected[k]) << k + 1;
        EXPECT_EQ(circles[k].pen.fillColor, expected[k]) << k + 1;
        EXPECT_EQ(circles[k].pen.fillStyle, FillStyle::Solid);
    }
}

TEST(HikakuGraph, SkipsUnnamedRunnersAndBreaksOnMissingFigures)
{
    Hikaku h(3);
    placeRun(h.store, 1, 1, 28, 60);
    placeRun(h.store, 1, 2, 56, 0);  // breaks runner 1's line
    placeRun(h.store, 1, 3, 84, 62);
    h.store.horses[2].name.clear();  // skipped although it has runs
    placeRun(h.store, 2, 1, 28, 60);
    h.store.horses[3].runs[0].date = 0;  // runner 3: no dated run at all
    h.draw();
    EXPECT_EQ(h.circles().size(), 2u);
    EXPECT_EQ(primitivesOf(h.window.graphBox, PrimitiveKind::Line).size(), 1u);  // the reference line only
    // A run without a date is passed over: the runs either side are joined.
    Hikaku joined(1);
    placeRun(joined.store, 1, 1, 28, 60);
    placeRun(joined.store, 1, 3, 84, 62);
    joined.draw();
    EXPECT_EQ(joined.circles().size(), 2u);
    EXPECT_EQ(primitivesOf(joined.window.graphBox, PrimitiveKind::Line).size(), 2u);
}

TEST(HikakuGraph, CircleBeforeTheLineBackToThePreviousPoint)
{
    Hikaku h(1);
    placeRun(h.store, 1, 1, 28, 60);
    placeRun(h.store, 1, 2, 56, 65);
    h.draw();
    const auto &p = h.window.graphBox.primitives();
    ASSERT_GE(p.size(), 2u);
    const DrawPrimitive &last = p.back();
    EXPECT_EQ(last.kind, PrimitiveKind::Line);
    EXPECT_DOUBLE_EQ(last.x1, xOfDaysBefore(56));
    EXPECT_DOUBLE_EQ(last.x2, xOfDaysBefore(28));
    EXPECT_EQ(p[p.size() - 2].kind, PrimitiveKind::Circle);
}

TEST(HikakuGraph, FillsThePanelAndHeadToHeadGridOnly)
{
    Hikaku h(2);
    h.window.raceInfo = QStringLiteral("前のレース");
    h.window.runnerBox = QStringLiteral("01");
    h.draw();
    EXPECT_EQ(h.window.raceInfo, QStringLiteral("前のレース"));
    EXPECT_TRUE(h.window.legendBox.primitives().empty());
    EXPECT_EQ(h.window.runGrid.rows(), 0);
    EXPECT_EQ(h.window.taisenGrid.rows(), 20);
    EXPECT_TRUE(h.window.umaInfo.contains(QStringLiteral("グラフテスト1")));
    EXPECT_TRUE(h.sink.messages().isEmpty());
}

TEST(HikakuGraph, RunnerCountBeyondTheSlotsIsSafe)
{
    Hikaku h(18);
    h.store.fieldSize = 40;
    h.window.runnerBox = QStringLiteral("30");
    for (int k = 1; k <= 18; ++k)
        placeRun(h.store, k, 1, 28, 60);
    h.draw();
    const auto circles = h.circles();
    ASSERT_EQ(circles.size(), 18u);  // the slots there are, no more
    EXPECT_NEAR(circles[0].radius, 67.5, 1e-9);  // runner 30 cannot exist: the shown runner instead
    EXPECT_FALSE(h.sink.messages().contains(QStringLiteral("writeUmaInfoエラー(err-AD15)")));
}
