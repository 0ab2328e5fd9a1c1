#include "output/day_report.h"

#include "app/race_store.h"

#include <gtest/gtest.h>

namespace marunoki {
namespace {

TEST(SummarizeRace, RanksTheRunnersWithAMeanFigureBestFirst)
{
    const struct {
        const char *what;
        std::vector<float> means;  // runner n's mean figure at n - 1; 0 = none
        std::vector<int> best;  // horse numbers expected, best first
    } cases[] = {
        {"three of five", {71.5f, 88.0f, 0, 90.2f, 64.0f}, {4, 2, 1}},
        {"a tie goes to the lower number", {80.0f, 85.0f, 85.0f, 79.0f}, {2, 3, 1}},
        {"fewer than three with a figure", {0, 77.7f, 0}, {2}},
        {"no figure at all", {0, 0}, {}},
        {"negative figures still rank", {-3.0f, 12.5f, -1.0f, 0}, {2, 3, 1}},
    };
    for (const auto &c : cases) {
        RaceStore store;
        store.raceTitle = QStringLiteral("見本特別");
        store.raceJouken = QStringLiteral("3歳以上 芝1600m");
        store.tousuu = int(c.means.size());
        for (int n = 1; n <= store.tousuu; ++n) {
            store.U_name[n] = QStringLiteral("ミホン%1").arg(n);
            store.U_heikin[n][0] = c.means[size_t(n - 1)];
        }
        const RaceSummary s = summarizeRace(store, 7);
        EXPECT_EQ(s.race, 7) << c.what;
        EXPECT_EQ(s.runners, store.tousuu) << c.what;
        std::vector<int> got;
        for (const RaceSummary::Runner &r : s.best) {
            got.push_back(r.number);
            EXPECT_EQ(r.name, QStringLiteral("ミホン%1").arg(r.number)) << c.what;
            EXPECT_EQ(r.meanFigure, c.means[size_t(r.number - 1)]) << c.what;
        }
        EXPECT_EQ(got, c.best) << c.what;
    }
}

TEST(DayIndexHtml, EscapesEveryTextAndLinksOnlyRacesWithAFolder)
{
    RaceSummary analysed;
    analysed.race = 5;
    analysed.analysed = true;
    analysed.title = QStringLiteral("<script>alert(1)</script>");
    analysed.conditions = QStringLiteral("A&B \"芝\"");
    analysed.runners = 12;
    analysed.best = {{3, QStringLiteral("ミホン<3>"), 91.25f}};
    analysed.link = raceReportFolder(5) + u'/';
    RaceSummary missing;
    missing.race = 6;
    missing.reason = QStringLiteral("出馬表が正常に読み込めません <HTTP 404>");
    const QString html
        = QString::fromUtf8(dayIndexHtml(QStringLiteral("2026年 5回東京9日"), {analysed, missing}));
    EXPECT_FALSE(html.contains(QStringLiteral("<script>")));
    EXPECT_TRUE(html.contains(QStringLiteral("&lt;script&gt;")));
    EXPECT_TRUE(html.contains(QStringLiteral("A&amp;B &quot;芝&quot;")));
    const QString bestCell = QStringLiteral("ミホン&lt;3&gt; <b>91.3</b>");
    EXPECT_TRUE(html.contains(bestCell)) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("&lt;HTTP 404&gt;")));
    EXPECT_EQ(html.count(QStringLiteral("<a href=\"05R/\">5R</a>")), 1);
    EXPECT_EQ(html.count(QStringLiteral("<a href=")), 1);
    EXPECT_EQ(raceReportFolder(12), QStringLiteral("12R"));
}

}  // namespace
}  // namespace marunoki
