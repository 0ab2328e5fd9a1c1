#include "output/print_jobs.h"

#include "app/format.h"

#include "output/recording_print_device.h"
#include "window/window_views.h"

#include "support/print_race.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

using namespace marunoki;
using namespace marunoki::test;
using Kind = PrintCall::Kind;

namespace {

class Printing : public ::testing::Test {
protected:
    Printing()
    {
        // Each graph picture is named by the runner it was drawn for.
        printer.tagPicture = [this](const RecordedDrawing &picture) {
            return &picture == &views.legendBox ? QStringLiteral("legend")
                                                : QString::number(views.shownRunner);
        };
    }

    // A loaded race of n runners showing runner 1, as after a load.
    void load(int runners)
    {
        fillPrintRace(store, runners);
        views.shownRunner = 1;
        showGraph(context);
        sink.clear();
    }

    // The graph pictures (not the legend) of one document.
    std::vector<PrintCall> graphsOf(int document) const
    {
        std::vector<PrintCall> graphs;
        for (const PrintCall &call : printer.callsOf(Kind::Picture)) {
            if (call.document == document && call.tag != QStringLiteral("legend"))
                graphs.push_back(call);
        }
        return graphs;
    }

    RaceStore store;
    Settings settings;
    WindowViews views;
    RecordingSink sink;
    RecordingPrintDevice printer;
    ViewContext context {store, settings, 1, views, sink};
};

QRectF cell(int column, int row)
{
    return QRectF(column * 3800.0, row * 2700.0 + 200, 3800, 2700);
}

TEST_F(Printing, SixteenRunnersFillOneLandscapePage)
{
    load(16);
    printGraph(context, printer);

    EXPECT_EQ(printer.documentsBegun(), 1);
    ASSERT_EQ(printer.callsOf(Kind::Begin).size(), 1U);
    EXPECT_EQ(printer.callsOf(Kind::Begin)[0].orientation, PageOrientation::Landscape);
    EXPECT_EQ(graphsOf(0).size(), 16U);
    EXPECT_EQ(printer.callsOf(Kind::End).size(), 1U);
    EXPECT_TRUE(sink.messages().isEmpty()) << sink.messages().join(u'|').toStdString();
}

TEST_F(Printing, SeventeenthRunnerStartsTheSecondPageTopLeft)
{
    load(17);
    printGraph(context, printer);

    EXPECT_EQ(printer.documentsBegun(), 2);
    EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("2ページ目を印刷します")});
    EXPECT_EQ(graphsOf(0).size(), 16U);
    const std::vector<PrintCall> second = graphsOf(1);
    ASSERT_EQ(second.size(), 1U);
    EXPECT_EQ(second[0].tag, QStringLiteral("17"));
    EXPECT_EQ(second[0].target, cell(0, 0));

    // The message comes between the two documents.
    const auto firstEnd = std::find_if(printer.calls.begin(), printer.calls.end(),
        [](const PrintCall &call) { return call.kind == Kind::End; });
    ASSERT_NE(firstEnd, printer.calls.end());
    EXPECT_EQ(firstEnd->document, 0);
    for (const PrintCall &call : printer.callsOf(Kind::Begin))
        EXPECT_EQ(call.orientation, PageOrientation::Landscape);
}

TEST_F(Printing, RunnersTakeTheirCellsRowByRow)
{
    load(18);
    printGraph(context, printer);

    struct Case {
        int runner;
        int document;
        int column;
        int row;
    };
    const Case cases[] = {
        {1, 0, 0, 0},
        {2, 0, 1, 0},
        {4, 0, 3, 0},
        {5, 0, 0, 1},
        {11, 0, 2, 2},
        {16, 0, 3, 3},
        {17, 1, 0, 0},
        {18, 1, 1, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.runner);
        const std::vector<PrintCall> graphs = graphsOf(c.document);
        const auto found = std::find_if(graphs.begin(), graphs.end(),
            [&c](const PrintCall &call) { return call.tag == QString::number(c.runner); });
        ASSERT_NE(found, graphs.end());
        EXPECT_EQ(found->target, cell(c.column, c.row));
        EXPECT_EQ(found->pictureSize, QSizeF(kGraphBoxWidth, kGraphBoxHeight));
    }
}

TEST_F(Printing, LegendIsShrunkLikeTheGraphs)
{
    load(5);
    printGraph(context, printer);

    std::vector<PrintCall> legends;
    for (const PrintCall &call : printer.callsOf(Kind::Picture)) {
        if (call.tag == QStringLiteral("legend"))
            legends.push_back(call);
    }
    ASSERT_EQ(legends.size(), 1U);
    const QSizeF legendSize(views.legendBox.width(), views.legendBox.height());
    EXPECT_EQ(legends[0].pictureSize, legendSize);
    const double sx = 3800.0 / 9135.0;
    const double sy = 2700.0 / 6735.0;
    EXPECT_DOUBLE_EQ(legends[0].target.x(), 15200);
    EXPECT_DOUBLE_EQ(legends[0].target.y(), 200);
    EXPECT_NEAR(legends[0].target.width(), legendSize.width() * sx, 1e-6);
    EXPECT_NEAR(legends[0].target.height(), legendSize.height() * sy, 1e-6);
}

// Every printed page names its race: date, course and race number before the
// race panel's lines, on one line in 5 pt (a second line would reach into the
// first row of graphs); Site 2's title keeps its race number once.
TEST_F(Printing, TitleNamesTheRaceAndIsTheRacePanelOnOneLineInFivePoints)
{
    load(18);
    ASSERT_TRUE(views.raceInfo.startsWith(store.raceTitle + QChar(13))) << views.raceInfo.toStdString();
    ASSERT_GT(store.raceDate, 0);
    const QString date = formatDate(store.raceDate, QStringLiteral("yyyy/mm/dd"));
    const QString title = store.raceTitle;
    const struct {
        const char *name;
        QString course;
        int race;
        QString title;
        QString heading;
    } cases[] = {
        {"site 1", QStringLiteral("東京"), 11, title, date + QStringLiteral(" 東京 11R ") + title},
        {"site 2", QStringLiteral("中山"), 9, QStringLiteral("9R 見本特別"),
            date + QStringLiteral(" 中山 9R 見本特別")},
        {"not chosen", QString(), 0, title, date + u' ' + title},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        store.raceCourse = c.course;
        store.raceNumber = c.race;
        store.raceTitle = c.title;
        RecordingPrintDevice device;  // one of its own per case
        printGraph(context, device);
        printBacyu(context, device);

        // Two pages of graphs (18 runners) and the table: each with the title.
        const std::vector<PrintCall> texts = device.callsOf(Kind::Text);
        ASSERT_EQ(texts.size(), 3U);
        EXPECT_EQ(texts[0].position, QPointF(0, 0));
        EXPECT_EQ(texts[2].position, QPointF(0, 250));
        for (const PrintCall &text : texts) {
            EXPECT_EQ(text.text, c.heading + QStringLiteral("\u3000") + store.raceConditions);
            EXPECT_DOUBLE_EQ(text.points, 5);
        }
    }
}

TEST_F(Printing, TableIsThreeQuartersWideAndSevenTenthsHigh)
{
    load(18);
    ASSERT_TRUE(printBacyu(context, printer));

    ASSERT_EQ(printer.callsOf(Kind::Begin).size(), 1U);
    EXPECT_EQ(printer.callsOf(Kind::Begin)[0].orientation, PageOrientation::Portrait);
    // Drawn as a grid (text stays text), not as an image of one.
    EXPECT_TRUE(printer.callsOf(Kind::Image).empty());
    const std::vector<PrintCall> grids = printer.callsOf(Kind::Grid);
    ASSERT_EQ(grids.size(), 1U);
    const PrintCall &grid = grids[0];
    EXPECT_EQ(grid.target.topLeft(), QPointF(0, 500));
    // The whole table, all 16 columns and 90 rows, whatever the window shows.
    EXPECT_EQ(grid.gridCells, QSize(16, 90));
    EXPECT_NEAR(grid.target.width(), grid.gridSize.width() * 0.75, 1e-6);
    EXPECT_NEAR(grid.target.height(), grid.gridSize.height() * 0.7, 1e-6);
    // Its 16 columns are 14500 twips wide, so 10875 on paper, and its 90 rows
    // of 240 twips 15120 high.
    EXPECT_DOUBLE_EQ(grid.target.width(), 10875);
    EXPECT_DOUBLE_EQ(grid.target.height(), 90 * 240 * 0.7);
}

TEST_F(Printing, TablePrintingDrawsTheTableFirstAndLeavesItShown)
{
    load(4);
    ASSERT_FALSE(views.bacyuGrid.visible);
    ASSERT_EQ(views.drawn, DrawnView::Graph);

    ASSERT_TRUE(printBacyu(context, printer));

    EXPECT_TRUE(views.bacyuGrid.visible);
    EXPECT_EQ(views.drawn, DrawnView::Bacyu);
    ASSERT_NE(views.bacyuGrid.at(1, 2), nullptr);
    EXPECT_EQ(views.bacyuGrid.at(1, 2)->text, store.horses[1].name);
}

TEST_F(Printing, TableOnScreenIsPrintedAsItIs)
{
    load(4);
    switchToBacyu(context);
    views.bacyuGrid.at(0, 15)->text = QStringLiteral("marker");
    views.drawn = DrawnView::Graph;

    ASSERT_TRUE(printBacyu(context, printer));

    EXPECT_EQ(views.bacyuGrid.at(0, 15)->text, QStringLiteral("marker"));
    EXPECT_EQ(views.drawn, DrawnView::Graph);
}

TEST_F(Printing, PrinterThatCannotStartSaysSoAndTheSecondPageStillFollows)
{
    load(17);
    printer.failBegin = {0};
    printGraph(context, printer);

    EXPECT_EQ(sink.messages(),
        (QStringList {QStringLiteral("印刷できません"), QStringLiteral("2ページ目を印刷します")}));
    EXPECT_TRUE(graphsOf(0).empty());
    ASSERT_EQ(graphsOf(1).size(), 1U);
    EXPECT_EQ(graphsOf(1)[0].tag, QStringLiteral("17"));
}

TEST_F(Printing, FailuresOfEitherJobSayTheyCannotPrint)
{
    struct Case {
        const char *name;
        bool table;
        bool failAtStart;
    };
    const Case cases[] = {
        {"graph, start", false, true},
        {"graph, end", false, false},
        {"table, start", true, true},
        {"table, end", true, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        load(3);
        printer = RecordingPrintDevice();
        (c.failAtStart ? printer.failBegin : printer.failEnd) = {0};
        if (c.table)
            EXPECT_FALSE(printBacyu(context, printer));
        else
            printGraph(context, printer);
        EXPECT_EQ(sink.messages(), QStringList {QStringLiteral("印刷できません")});
    }
}

TEST_F(Printing, BeforeAnyLoadOnlyTheLegendAndTheTitleArePrinted)
{
    store.clearForLoad();
    printGraph(context, printer);

    const std::vector<PrintCall> pictures = printer.callsOf(Kind::Picture);
    ASSERT_EQ(pictures.size(), 1U);
    EXPECT_EQ(pictures[0].tag, QStringLiteral("legend"));
    const std::vector<PrintCall> texts = printer.callsOf(Kind::Text);
    ASSERT_EQ(texts.size(), 1U);
    EXPECT_EQ(texts[0].text, QStringLiteral("データ未読込み"));
    EXPECT_EQ(views.shownRunner, 0);
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(Printing, RunnerShownBeforePrintingIsShownAgain)
{
    struct Case {
        const char *view;
        DrawnView drawn;
    };
    const Case cases[] = {{"graph", DrawnView::Graph}, {"comparison", DrawnView::Hikaku}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.view);
        load(17);
        views.shownRunner = 5;
        views.runnerBox = QStringLiteral("05");
        if (c.drawn == DrawnView::Hikaku)
            switchToHikaku(context);
        else
            redrawAfterRunnerChange(context);

        printGraph(context, printer);

        EXPECT_EQ(views.shownRunner, 5);
        EXPECT_EQ(views.runnerBox, QStringLiteral("05"));
        EXPECT_EQ(views.drawn, c.drawn);
        EXPECT_TRUE(views.umaInfo.contains(store.horses[5].name)) << views.umaInfo.toStdString();
    }
}

TEST_F(Printing, WaitCursorIsOnWhileEachPageIsPrinted)
{
    load(18);
    std::vector<bool> busy;
    std::vector<int> beganWhenBusy;
    printGraph(context, printer, [&](bool on) {
        busy.push_back(on);
        if (!on)
            beganWhenBusy.push_back(printer.documentsBegun());
    });
    EXPECT_EQ(busy, (std::vector<bool> {true, false, true, false}));
    EXPECT_EQ(beganWhenBusy, (std::vector<int> {1, 2}));
}

}  // namespace
