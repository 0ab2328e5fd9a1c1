// The graph driver: step order, overlay switches, the legend and panels of runner
// 1, failures reported and passed over, and a real render of a drawn graph.

#include "graph_fixture.h"
#include "support/qt_print.h"
#include "view/graph_view.h"
#include "view/painter_draw_box.h"
#include "view/qb_color.h"
#include <QStringList>

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

using namespace marunoki;
using namespace marunoki::test;

namespace {

// Runner 1 with a figure, a 上がり figure and every overlay's fact on runs 1 and 2.
void fillRunner(RaceStore &store, int h)
{
    for (int run = 1; run <= 2; ++run) {
        placeRun(store, h, run, 35.0 * run, 60 + 5 * run);
        store.horses[h].runs[run].last3fFigure = 55;
        store.horses[h].runs[run].finish = run;
        store.horses[h].runs[run].bodyWeight = 470 + run;
        store.horses[h].runs[run].bracket = run + 2;
        store.horses[h].runs[run].cornerPositions[1] = run + 1;
        store.horses[h].runs[run].going = 1;
    }
}

size_t firstIndex(const RecordedDrawing &box, PrimitiveKind kind, const QColor &colour)
{
    const auto &p = box.primitives();
    return std::find_if(p.begin(), p.end(), [&](const DrawPrimitive &d) {
        return d.kind == kind && d.colour == colour;
    }) - p.begin();
}

}  // namespace

TEST(DrawGraph, SetsTheRunnerBox)
{
    qint32 shown = 1;
    RaceStore store;
    setUpRace(store, 8);
    shown = 7;
    GraphWindow window;
    RecordingSink sink;
    drawGraph(store, shown, graphSettings(QStringLiteral("true")), 0, window.surfaces, sink);
    EXPECT_EQ(window.runnerBox, QStringLiteral("07"));
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST(DrawGraph, LastThreeFurlongCirclesLieUnderTheFigureLine)
{
    qint32 shown = 1;
    RaceStore store;
    setUpRace(store);
    fillRunner(store, 1);
    GraphWindow window;
    RecordingSink sink;
    drawGraph(store, shown, graphSettings(QStringLiteral("true")), 1, window.surfaces, sink);
    const QColor agariOutline(192, 192, 0);
    const QColor turfGreen(0, 128, 0);
    const size_t agari = firstIndex(window.graphBox, PrimitiveKind::Circle, agariOutline);
    const size_t figure = firstIndex(window.graphBox, PrimitiveKind::Circle, turfGreen);
    const size_t corner = firstIndex(window.graphBox, PrimitiveKind::Box, qbColor(12));
    const size_t frame = firstIndex(window.graphBox, PrimitiveKind::Box, qbColor(0));
    ASSERT_LT(agari, window.graphBox.primitives().size());
    EXPECT_LT(frame, agari);  // the grid first
    EXPECT_LT(agari, figure);
    EXPECT_LT(figure, corner);  // the overlays after the line
}

TEST(DrawGraph, OverlaysFollowTheirSwitchesExactly)
{
    qint32 shown = 1;
    const struct {
        const char *name;
        int overlay;
        PrimitiveKind kind;
        QColor colour;
    } overlays[] = {
        {"body weight", 0, PrimitiveKind::FilledBox, qbColor(0)},
        {"bracket", 1, PrimitiveKind::FilledBox, qbColor(3)},
        {"distance", 2, PrimitiveKind::Circle, qbColor(5)},
        {"going", 3, PrimitiveKind::Circle, qbColor(8)},
        {"first corner", 4, PrimitiveKind::Box, qbColor(12)},
        {"finish", 5, PrimitiveKind::FilledBox, qbColor(8)},
        {"last furlongs", 6, PrimitiveKind::Circle, QColor(192, 192, 0)},
    };
    for (const auto &o : overlays) {
        for (const QString &value :
            {QStringLiteral("true"), QStringLiteral("True"), QStringLiteral("false")}) {
            RaceStore store;
            setUpRace(store);
            fillRunner(store, 1);
            Settings settings = graphSettings(QStringLiteral("false"));
            settings.iniGraph[o.overlay] = value;
            GraphWindow window;
            RecordingSink sink;
            drawGraph(store, shown, settings, 0, window.surfaces, sink);
            const bool drawn = !primitivesIn(window.graphBox, o.kind, o.colour).empty();
            EXPECT_EQ(drawn, value == QStringLiteral("true")) << o.name << " " << value.toStdString();
        }
    }
}

TEST(DrawGraph, EverySwitchOffLeavesGridHeadlineReferenceAndFigureLine)
{
    qint32 shown = 1;
    RaceStore store;
    setUpRace(store);
    fillRunner(store, 1);
    GraphWindow window;
    RecordingSink sink;
    drawGraph(store, shown, graphSettings(QStringLiteral("false")), 0, window.surfaces, sink);

    const RecordedDrawing &graph = window.graphBox;
    EXPECT_EQ(primitivesOf(graph, PrimitiveKind::FilledBox).size(), 0u);
    EXPECT_EQ(primitivesOf(graph, PrimitiveKind::Box).size(), 1u);  // the frame
    EXPECT_EQ(primitivesOf(graph, PrimitiveKind::Circle).size(), 2u);  // the two figures
    EXPECT_EQ(primitivesIn(graph, PrimitiveKind::Line, qbColor(14)).size(), 1u);
    EXPECT_EQ(primitivesIn(graph, PrimitiveKind::Line, qbColor(9)).size(), 1u);
    EXPECT_EQ(textsReading(graph, QStringLiteral("30%ライン")).size(), 1u);
    // The legend of runner 1 still explains every overlay.
    for (const char16_t *text : {u"1枠", u"24", u"1角通過", u"良", u"SP指数", u"馬体重推移", u"着順"})
        EXPECT_FALSE(textsReading(window.legendBox, QString::fromUtf16(text)).empty());
}

TEST(DrawGraph, RunnerOneAlsoDrawsLegendRacePanelAndGridLayout)
{
    qint32 shown = 1;
    RaceStore store;
    setUpRace(store, 2);
    store.raceTitle = QStringLiteral("サンプルステークス");
    store.raceConditions = QStringLiteral("3歳以上オープン");
    const Settings settings = graphSettings(QStringLiteral("true"));

    GraphWindow window;
    RecordingSink sink;
    shown = 2;
    drawGraph(store, shown, settings, 0, window.surfaces, sink);
    EXPECT_TRUE(window.legendBox.primitives().empty());
    EXPECT_TRUE(window.raceInfo.isEmpty());
    EXPECT_EQ(window.runGrid.rows(), 0);
    EXPECT_TRUE(window.umaInfo.contains(QStringLiteral("グラフテスト2")));
    EXPECT_EQ(window.taisenGrid.rows(), 20);

    shown = 1;
    drawGraph(store, shown, settings, 1, window.surfaces, sink);
    EXPECT_FALSE(window.legendBox.primitives().empty());
    EXPECT_EQ(window.raceInfo, QStringLiteral("サンプルステークス\r3歳以上オープン"));
    EXPECT_EQ(window.runGrid.rows(), 36);
    EXPECT_TRUE(window.umaInfo.contains(QStringLiteral("グラフテスト1")));
    EXPECT_EQ(sink.messages(), QStringList());
}

TEST(DrawGraph, PerRunGridFilledOnlyWhenTheCheckBoxIsOne)
{
    qint32 shown = 1;
    for (const qint32 check : {0, 1, 2}) {
        RaceStore store;
        setUpRace(store);
        fillRunner(store, 1);
        GraphWindow window;
        RecordingSink sink;
        drawGraph(store, shown, graphSettings(QStringLiteral("true")), check, window.surfaces, sink);
        const GridCell *date = window.runGrid.at(1, 0);
        ASSERT_NE(date, nullptr);
        EXPECT_EQ(date->text.isEmpty(), check != 1) << check;
    }
}

TEST(DrawGraph, EachDrawingStartsFromAClearedBox)
{
    qint32 shown = 1;
    RaceStore store;
    setUpRace(store, 2);
    fillRunner(store, 1);
    GraphWindow window;
    RecordingSink sink;
    const Settings settings = graphSettings(QStringLiteral("true"));
    drawGraph(store, shown, settings, 0, window.surfaces, sink);
    const size_t first = window.graphBox.primitives().size();
    shown = 2;
    drawGraph(store, shown, settings, 0, window.surfaces, sink);
    EXPECT_LT(window.graphBox.primitives().size(), first);
    EXPECT_TRUE(primitivesIn(window.graphBox, PrimitiveKind::Circle, QColor(0, 128, 0)).empty());
}

TEST(DrawGraph, FailingStepsAreReportedAndTheDrawingGoesOn)
{
    qint32 shown = 1;
    RaceStore store;
    setUpRace(store);
    shown = 25;
    GraphWindow window;
    window.umaInfo = QStringLiteral("前の馬");
    RecordingSink sink;
    drawGraph(store, shown, graphSettings(QStringLiteral("true")), 1, window.surfaces, sink);
    const QStringList messages = sink.messages();
    const char16_t *const expected[] = {u"U_labelエラー(err-AD02)", u"agariエラー(err-AD16)",
        u"SP_sisuuエラー(err-AD03)", u"cyakuエラー(err-AD09)", u"taizyuエラー(err-AD04)",
        u"wakuエラー(err-AD05)", u"tukaエラー(err-AD08)", u"kyoriエラー(err-AD06)", u"babaエラー(err-AD07)"};
    ASSERT_GE(messages.size(), qsizetype(std::size(expected)));
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(messages[qsizetype(i)], QString::fromUtf16(expected[i]));
    // The grid went through, and the panels reported their own failures after the steps.
    EXPECT_EQ(primitivesOf(window.graphBox, PrimitiveKind::Box).size(), 1u);
    EXPECT_TRUE(messages.contains(QStringLiteral("taisen_gridエラー(err-AD13)")));
    EXPECT_EQ(messages.back(), QStringLiteral("writeUmaInfoエラー(err-AD15)"));
    // The runner panel keeps its caption when it could not be written.
    EXPECT_EQ(window.umaInfo, QStringLiteral("前の馬"));
    EXPECT_EQ(window.runnerBox, QStringLiteral("25"));
}

TEST(DrawGraph, ARaceDateOffTheCalendarIsReportedByTheGrid)
{
    qint32 shown = 1;
    RaceStore store;
    setUpRace(store);
    store.raceDate = -1e12;
    GraphWindow window;
    RecordingSink sink;
    drawGraph(store, shown, graphSettings(QStringLiteral("true")), 0, window.surfaces, sink);
    ASSERT_FALSE(sink.messages().isEmpty());
    EXPECT_EQ(sink.messages().first(), QStringLiteral("罫線エラー(err-AD01)"));
}

TEST(DrawGraph, RenderedGraphShowsItsLines)
{
    qint32 shown = 1;
    RaceStore store;
    setUpRace(store);
    fillRunner(store, 1);
    GraphWindow window;
    RecordingSink sink;
    drawGraph(store, shown, graphSettings(QStringLiteral("true")), 0, window.surfaces, sink);

    QImage image(609, 449, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    paintDrawing(window.graphBox, painter, QRectF(0, 0, 609, 449));
    painter.end();
    // The solid middle line at value 50 (y 3367.5 twips, pixel row 224) and the
    // background above it, between two vertical grid lines.
    const int x = int((250 + 8785.0 / 30 * 2.5) / 15);
    EXPECT_LT(image.pixelColor(x, 224).lightness(), 128);
    EXPECT_EQ(image.pixelColor(x, 232), QColor(255, 255, 255));
    // The frame's left edge and the figure circle of run 1.
    EXPECT_LT(image.pixelColor(int(250 / 15.0), 300).lightness(), 128);
    // (3 pixels above its centre, clear of the line to run 2 through the centre)
    const QColor circle = image.pixelColor(int(xOfDaysBefore(35) / 15), int(yOfValue(65) / 15) - 3);
    EXPECT_GT(circle.green(), circle.red() + 50);
}

TEST(DrawGraph, WildValuesAreDrawnAndRenderedWithoutHarm)
{
    qint32 shown = 1;
    RaceStore store;
    setUpRace(store, 2, std::numeric_limits<qint32>::max());
    store.referenceFigure = -std::numeric_limits<float>::max();
    for (int h = 1; h <= 2; ++h) {
        fillRunner(store, h);
        store.horses[h].runs[1].speedFigure = std::numeric_limits<float>::max();
        store.horses[h].runs[1].last3fFigure = std::numeric_limits<float>::lowest();
        store.horses[h].runs[1].finish = std::numeric_limits<qint32>::max();
        store.horses[h].runs[2].bodyWeight = std::numeric_limits<qint32>::max();
        store.horses[h].runs[1].bracket = std::numeric_limits<qint32>::min();
        store.horses[h].runs[2].distance = std::numeric_limits<qint32>::min();
        store.horses[h].runs[1].going = std::numeric_limits<qint32>::max();
        store.horses[h].runs[2].date = 1e300;  // dated, but nowhere near the race
    }
    GraphWindow window;
    RecordingSink sink;
    QImage image(609, 449, QImage::Format_ARGB32_Premultiplied);
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 0)
            drawGraph(store, shown, graphSettings(QStringLiteral("true")), 1, window.surfaces, sink);
        else
            drawHikakuGraph(store, shown, graphSettings(QStringLiteral("true")), window.surfaces, sink);
        image.fill(Qt::white);
        QPainter painter(&image);
        paintDrawing(window.graphBox, painter, QRectF(0, 0, 609, 449));
        painter.end();
        // The frame is there whatever the data.
        EXPECT_LT(image.pixelColor(int(250 / 15.0), 300).lightness(), 128) << pass;
    }
    EXPECT_TRUE(sink.messages().isEmpty());
    EXPECT_FALSE(textsReading(window.legendBox, QStringLiteral("SP指数")).empty());
}

// Figures and facts that are no number at all (a damaged store) are drawn without
// harm; only the date labels of a race day that is no day are refused.
TEST(DrawGraph, NotANumberFiguresAreDrawnAndRenderedWithoutHarm)
{
    qint32 shown = 1;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    RaceStore store;
    setUpRace(store, 2);
    store.referenceFigure = nan;
    for (int h = 1; h <= 2; ++h) {
        fillRunner(store, h);
        store.horses[h].runs[1].speedFigure = nan;
        store.horses[h].runs[1].last3fFigure = nan;
        store.horses[h].runs[1].trackVariant = nan;
        store.horses[h].meanFigure.value = nan;
        store.horses[h].bestFigure.value = nan;
        store.horses[h].runningStyle.value = nan;
        store.horses[h].runs[0].weightCarried = nan;
        store.horses[h].runs[2].date = std::numeric_limits<double>::quiet_NaN();  // no date: passed over
    }
    Settings settings = graphSettings(QStringLiteral("true"));
    settings.kakeritu = nan;
    GraphWindow window;
    QImage image(609, 449, QImage::Format_ARGB32_Premultiplied);
    for (int pass = 0; pass < 3; ++pass) {
        RecordingSink sink;
        if (pass == 2)
            store.raceDate = std::numeric_limits<double>::quiet_NaN();
        if (pass == 1)
            drawHikakuGraph(store, shown, settings, window.surfaces, sink);
        else
            drawGraph(store, shown, settings, 1, window.surfaces, sink);
        image.fill(Qt::white);
        QPainter painter(&image);
        paintDrawing(window.graphBox, painter, QRectF(0, 0, 609, 449));
        painter.end();
        if (pass == 0) {
            // The figure that is no number keeps its circle; the run without a date has none.
            EXPECT_EQ(primitivesIn(window.graphBox, PrimitiveKind::Circle, QColor(0, 128, 0)).size(), 1u);
        }
        if (pass == 2) {
            // The grid stops at its first date label, before the reference line and the frame.
            EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("罫線エラー(err-AD01)")});
        } else {
            EXPECT_LT(image.pixelColor(int(250 / 15.0), 300).lightness(), 128) << pass;
            EXPECT_TRUE(sink.messages().isEmpty()) << pass;
        }
    }
}
