// The report's own texts: times, titles and headings, rankings, fonts, and
// the report's form of the per-run grid.

#include "output/hikaku_chart.h"
#include "output/report_grids.h"
#include "output/report_parts.h"
#include "output/report_summary.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "view/bacyu_table.h"
#include "view/recorded_drawing.h"
#include "view/runner_panels.h"

#include <QXmlStreamReader>

#include <algorithm>

#include <gtest/gtest.h>

namespace marunoki {
namespace {

TEST(ReportTexts, TimesTitlesAndHeadings)
{
    const struct {
        float seconds;
        const char *text;
    } times[] = {{95.7f, "1:35.7"}, {69.5f, "1:09.5"}, {58.9f, "58.9"}, {59.96f, "1:00.0"},
        {120.0f, "2:00.0"}, {0.0f, ""}, {-3.0f, ""}};
    for (const auto &t : times)
        EXPECT_EQ(raceTimeText(t.seconds), QString::fromUtf8(t.text)) << t.seconds;

    const struct {
        const char *title;
        int race;
        const char *stripped;
    } titles[] = {{"10R 見本ステークス10", 10, "見本ステークス10"}, {"10R 見本", 11, "10R 見本"},
        {"9R　見本", 9, "見本"}, {"見本10R 特別", 10, "見本10R 特別"}, {"10R", 10, "10R"},
        {"サンプルカップ(GIII)", 11, "サンプルカップ(GIII)"}};
    for (const auto &t : titles)
        EXPECT_EQ(titleWithoutRaceNumber(QString::fromUtf8(t.title), t.race), QString::fromUtf8(t.stripped))
            << t.title;

    const double date = *serialFromYmd(2026, 11, 29);
    EXPECT_EQ(raceHeading(date, QStringLiteral("東京"), 10, QStringLiteral("10R 見本")),
        QStringLiteral("2026/11/29 東京 10R 見本"));
    EXPECT_EQ(raceHeading(0, QString(), 0, QStringLiteral("見本")), QStringLiteral("見本"));

    const QByteArray svg = withFontFallback("<g font-family=\"IPAPGothic\"><text>a</text></g>");
    EXPECT_TRUE(svg.startsWith("<g font-family=\"IPAPGothic,&apos;IPAPGothic&apos;,")) << svg.toStdString();
    EXPECT_TRUE(svg.contains("sans-serif\"><text>a</text></g>"));
}

TEST(RankRunners, FigureFirstTiesByNumberRunnersWithoutRunsLast)
{
    const struct {
        const char *what;
        std::vector<std::pair<float, float>> stats;  // runner n at n - 1: figure, runs
        std::vector<int> order;
    } cases[] = {
        {"by figure", {{70, 3}, {90, 2}, {80, 5}}, {2, 3, 1}},
        {"a tie keeps the number order", {{80, 1}, {85, 2}, {85, 4}}, {2, 3, 1}},
        {"no runs go last whatever the figure", {{0, 0}, {50, 1}, {0, 0}, {-5, 2}}, {2, 4, 1, 3}},
        {"a counted figure of 0 still ranks", {{0, 2}, {0, 0}}, {1, 2}},
    };
    for (const auto &c : cases) {
        RaceStore store;
        store.fieldSize = int(c.stats.size());
        for (int n = 1; n <= store.fieldSize; ++n)
            store.horses[n].meanFigure = {c.stats[size_t(n - 1)].first, c.stats[size_t(n - 1)].second};
        std::vector<int> order;
        for (const RankedRunner &r : rankRunners(store, &Runner::meanFigure)) {
            order.push_back(r.number);
            EXPECT_EQ(r.runs, int(store.horses[r.number].meanFigure.runs)) << c.what;
        }
        EXPECT_EQ(order, c.order) << c.what;
    }
}

TEST(ReportRunGrid, EndsAtTheLastRunTellsTheTwoAgariApartAndWritesMinutes)
{
    RaceStore store;
    store.fieldSize = 1;
    store.horses[1].name = QStringLiteral("ミホン");
    for (int r = 1; r <= 3; ++r) {
        store.horses[1].runs[r].date = 46000 - 30 * r;
        store.horses[1].runs[r].time = 94.0f + float(r);
    }
    RecordingSink sink;
    CellGrid window;
    layOutRunGrid(window, sink);
    fillRunGrid(store, 1, window, sink);
    const CellGrid report = reportRunGrid(window, store, 1);
    EXPECT_EQ(window.rows(), 36) << "the window's grid stays as it is";
    EXPECT_EQ(report.rows(), 4);
    QStringList headers;
    for (int c = 0; c < report.cols(); ++c)
        headers << report.at(0, c)->text;
    EXPECT_EQ(headers.count(QStringLiteral("上がり指数")), 1);
    EXPECT_EQ(headers.count(QStringLiteral("上がり3F")), 1);
    EXPECT_LT(headers.indexOf(QStringLiteral("上がり指数")), headers.indexOf(QStringLiteral("上がり3F")));
    const int time = int(headers.indexOf(QStringLiteral("time")));
    ASSERT_GE(time, 0);
    EXPECT_EQ(report.at(1, time)->text, QStringLiteral("1:35.0"));
    EXPECT_EQ(report.at(3, time)->text, QStringLiteral("1:37.0"));

    // A slot past the card's runners has no times to show, whatever it holds.
    store.horses[2].runs[1].date = 46000;
    store.horses[2].runs[1].time = 61.0f;
    const CellGrid other = reportRunGrid(window, store, 2);
    EXPECT_EQ(other.at(1, time)->text, window.at(1, time)->text);
}

// The report's 馬柱 names a central course as the local ones are named: the
// codes 01 to 10 by their names, anything else as it was written.
TEST(ReportBacyuGrid, NamesCentralCoursesAndLeavesTheRestAsWritten)
{
    RaceStore store;
    store.fieldSize = 1;
    CellGrid window;
    window.setRows(kBacyuBlockRows);
    window.setCols(bacyuRunTextColumn(kBacyuShownRuns) + 1);
    const char *const written[] = {"01", "10", "11", "00", "大井"};
    const char *const shown[] = {"札幌 芝1200", "小倉 芝1200", "11 芝1200", "00 芝1200", "大井 芝1200"};
    for (int k = 1; k <= kBacyuShownRuns; ++k) {
        store.horses[1].runs[k].course = QString::fromUtf8(written[k - 1]);
        window.at(bacyuBlockRow(1), bacyuRunTextColumn(k))->text
            = store.horses[1].runs[k].course + QStringLiteral(" 芝1200");
    }
    const CellGrid report = reportBacyuGrid(window, store);
    for (int k = 1; k <= kBacyuShownRuns; ++k)
        EXPECT_EQ(report.at(bacyuBlockRow(1), bacyuRunTextColumn(k))->text, QString::fromUtf8(shown[k - 1]))
            << k;
    // The runner's whole block stays; the blocks of horse numbers the card lacks go.
    EXPECT_EQ(report.rows(), window.rows());
    CellGrid twoBlocks = window;
    twoBlocks.setRows(bacyuBlockRow(3));
    EXPECT_EQ(reportBacyuGrid(twoBlocks, store).rows(), bacyuBlockRow(2));

    // Only a named runner's name cell links to its section: in the 馬柱 the
    // block's second row, in the head-to-head grid column 1 of its row.
    store.horses[1].name = QStringLiteral("ミホン");
    const auto href = [](qint32 n) { return QStringLiteral("#u%1").arg(n); };
    const CellLinks bacyu = bacyuNameLinks(store, href);
    const CellLinks taisen = taisenNameLinks(store, href);
    const struct {
        const CellLinks &links;
        int row, col;
        const char *link;
    } cells[] = {{bacyu, bacyuBlockRow(1) + 1, kBacyuNameColumn, "#u1"},
        {bacyu, bacyuBlockRow(1), kBacyuNameColumn, ""}, {bacyu, bacyuBlockRow(2) + 1, kBacyuNameColumn, ""},
        {taisen, 1, 1, "#u1"}, {taisen, 1, 0, ""}, {taisen, 1, 2, ""}, {taisen, 2, 1, ""},
        {taisen, 0, 1, ""}};
    for (const auto &c : cells)
        EXPECT_EQ(c.links(c.row, c.col), QString::fromLatin1(c.link)) << c.row << " " << c.col;
}

// The report's comparison graph frames the figures there are: every circle
// inside the picture (the window's fixed scale lost the best runs off its top),
// the value axis in whole steps around them and the reference line; one file
// for every runner, each line a fragment, the chosen one thick.
TEST(HikakuChart, ScaleHoldsEveryFigureAndEachLineIsAFragment)
{
    const struct {
        const char *what;
        std::vector<float> figures;  // runner 1's runs 1..
        float reference;
        ChartScale scale;
        int lines;  // a run without a figure breaks the line; one point alone is no line
    } cases[] = {
        {"above 100", {110, 45, 0, 88}, 60, {40, 120, 10}, 1},
        {"below 0", {-5, 30}, 0, {-10, 40, 10}, 1},
        {"narrow range", {60, 70}, 64, {55, 75, 5}, 1},
        {"reference below the runs", {80, 90}, 50, {40, 100, 10}, 1},
        {"no figure", {}, 0, {0, 100, 10}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        RaceStore store;
        store.raceDate = *serialFromYmd(2026, 11, 29);
        store.fieldSize = 2;
        store.referenceFigure = c.reference;
        for (const qint32 n : {1, 2}) {
            store.horses[n].name = QStringLiteral("ミホン%1").arg(n);
            store.horses[n].runs[0].bracket = n + 2;
            store.horses[n].runs[0].date = store.raceDate;
        }
        for (size_t r = 0; r < c.figures.size(); ++r) {
            store.horses[1].runs[r + 1].date = store.raceDate - 30 * double(r + 1);
            store.horses[1].runs[r + 1].speedFigure = c.figures[r];
        }
        const ChartScale scale = hikakuScale(store);
        EXPECT_EQ(scale.low, c.scale.low);
        EXPECT_EQ(scale.high, c.scale.high);
        EXPECT_EQ(scale.step, c.scale.step);

        Settings settings;
        settings.kakeritu = 0.3f;
        const QByteArray svg = hikakuChartSvg(store, settings, 2, QStringLiteral("2026/11/29 東京 11R"));
        QXmlStreamReader xml(svg);
        double width = 0, height = 0;
        int circles = 0;
        int lines = 0;
        QStringList groups;
        QString thick;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.name() == QStringLiteral("svg")) {
                width = a.value(QStringLiteral("width")).toDouble();
                height = a.value(QStringLiteral("height")).toDouble();
            } else if (xml.name() == QStringLiteral("circle")) {
                ++circles;
                EXPECT_GT(a.value(QStringLiteral("cx")).toDouble(), 0);
                EXPECT_LT(a.value(QStringLiteral("cx")).toDouble(), width);
                EXPECT_GT(a.value(QStringLiteral("cy")).toDouble(), 0);
                EXPECT_LT(a.value(QStringLiteral("cy")).toDouble(), height);
            } else if (xml.name() == QStringLiteral("polyline")
                && !a.hasAttribute(QStringLiteral("stroke-width"))) {
                ++lines;  // a runner's line, not a tag's leader
            } else if (xml.name() == QStringLiteral("g") && a.hasAttribute(QStringLiteral("id"))) {
                groups << a.value(QStringLiteral("id")).toString();
                if (a.value(QStringLiteral("class")).contains(QStringLiteral("chosen")))
                    thick = a.value(QStringLiteral("id")).toString();
            }
        }
        ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
        EXPECT_EQ(
            circles, int(std::count_if(c.figures.begin(), c.figures.end(), [](float f) { return f != 0; })));
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(groups, (QStringList {hikakuLineId(1), hikakuLineId(2)}));
        EXPECT_EQ(thick, QStringLiteral("u02"));
        EXPECT_EQ(svg.contains("連対基準線"), c.reference > 0);
        EXPECT_TRUE(svg.contains("svg:has(#u01:target) #w01{display:inline}"));
        // The dates: a tick at each month of the 420 days, the year at the
        // first one and at January, and the race's day.
        const QString text = QString::fromUtf8(svg);
        for (const char *label : {">2025/11<", ">12月<", ">2026/1<", ">11月<", ">2026/11/29 レース日<"})
            EXPECT_TRUE(text.contains(QString::fromUtf8(label))) << label;
        EXPECT_EQ(text.count(QStringLiteral("月</text>")), 11);
    }
}

}  // namespace
}  // namespace marunoki
