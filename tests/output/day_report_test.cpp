#include "output/day_report.h"

#include "app/race_store.h"
#include "journal/tally.h"
#include "output/race_report.h"
#include "output/tally_files.h"
#include "support/test_folder.h"

#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

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
        store.raceConditions = QStringLiteral("3歳以上 芝1600m");
        store.fieldSize = int(c.means.size());
        for (int n = 1; n <= store.fieldSize; ++n) {
            store.horses[n].name = QStringLiteral("ミホン%1").arg(n);
            store.horses[n].meanFigure.value = c.means[size_t(n - 1)];
        }
        const RaceSummary s = summarizeRace(store, 7);
        EXPECT_EQ(s.race, 7) << c.what;
        EXPECT_EQ(s.runners, store.fieldSize) << c.what;
        std::vector<int> got;
        for (const RaceSummary::Runner &r : s.best) {
            got.push_back(r.number);
            EXPECT_EQ(r.name, QStringLiteral("ミホン%1").arg(r.number)) << c.what;
            EXPECT_EQ(r.meanFigure, c.means[size_t(r.number - 1)]) << c.what;
        }
        EXPECT_EQ(got, c.best) << c.what;
    }
}

TEST(DayIndexHtml, ShowsTheBestRunnersAndLinksOnlyRacesWithAFolder)
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
    const QString bestCell = QStringLiteral("ミホン&lt;3&gt; <b>91.3</b>");
    EXPECT_TRUE(html.contains(bestCell)) << html.toStdString();
    EXPECT_EQ(html.count(QStringLiteral("<a href=\"05R/\">5R</a>")), 1);
    EXPECT_EQ(html.count(QStringLiteral("<a href=")), 1);
    EXPECT_EQ(raceReportFolder(12), QStringLiteral("12R"));

    // The tally's link goes into the day navigation of a page there is; a page
    // that cannot be read is named first, then why.
    test::TestFolder folder;
    const QString page = folder.write(QStringLiteral("index.html"), "<body><nav class=\"day\"></nav>x");
    ASSERT_TRUE(linkTallyPage(page, QStringLiteral("tally/index.html")).ok());
    QFile written(page);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.readAll().contains("<a href=\"tally/index.html\">成績集計</a>"));
    const QString absent = folder.file(QStringLiteral("none.html"));
    const Status unread = linkTallyPage(absent, QStringLiteral("tally/index.html"));
    EXPECT_TRUE(unread.message().startsWith(absent + QStringLiteral(" を読めません（")))
        << unread.message().toStdString();
}

// Every text a page is given comes out escaped, in every file the writer
// makes: each field gets a text of its own with markup, an ampersand and a quote.
TEST(HtmlWriters, EscapeEveryTextTheyAreGiven)
{
    using Text = std::function<QString(int)>;
    const struct {
        const char *writer;
        int texts;  // text(1) to text(texts), each in a field of its own
        std::function<Status(const QString &folder, const Text &text)> write;
    } cases[] = {
        {"the day's index and the navigation of its race pages", 7,
            [](const QString &folder, const Text &text) {
                std::vector<RaceSummary> races(3);
                for (int i = 0; i < 2; ++i) {
                    races[i].race = 5 + i;
                    races[i].analysed = true;
                    races[i].runners = 12;
                    races[i].link = (i ? raceReportFolder(6) : text(7)) + QStringLiteral("/index.html");
                    QDir(folder).mkpath(QFileInfo(races[i].link).path());
                    QFile page(QDir(folder).filePath(races[i].link));
                    if (!page.open(QIODevice::WriteOnly) || page.write(kDayNavigation.toUtf8()) < 0)
                        return Status::failure(page.errorString());
                }
                races[0].title = text(2);
                races[0].conditions = text(3);
                races[0].best = {{3, text(4), 91.25f}};
                races[1].honmei = RaceSummary::Runner {7, text(5), 0};
                races[2].race = 7;
                races[2].reason = text(6);
                if (Status index = writeDayIndex(folder, text(1), races); !index.ok())
                    return index;
                return linkRacePages(folder, text(1), races);
            }},
        {"the tally's page and charts", 4,
            [](const QString &folder, const Text &text) {
                Tally tally;
                tally.counted = 3;
                tally.conditions = text(4);
                TallyTable table;
                table.caption = text(1);
                TallyRow first, second;
                first.label = text(2);
                first.runners = 3;
                first.first = first.second = first.out = 1;
                second.label = text(3);
                second.runners = 3;
                second.second = second.third = second.out = 1;
                table.rows = {first, second};
                tally.tables.push_back(table);
                return writeTallyHtml(folder, tally);
            }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.writer);
        test::TestFolder folder;
        const Text text = [](int k) { return QStringLiteral("<m%1>&\"").arg(k); };
        const Status written = c.write(folder.path(), text);
        ASSERT_TRUE(written.ok()) << written.message().toStdString();
        QString all;
        for (QDirIterator it(folder.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            QFile file(it.next());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QString page = QString::fromUtf8(file.readAll());
            for (int k = 1; k <= c.texts; ++k)
                EXPECT_FALSE(page.contains(QStringLiteral("<m%1>").arg(k)))
                    << file.fileName().toStdString() << k;
            all += page;
        }
        for (int k = 1; k <= c.texts; ++k)
            EXPECT_TRUE(all.contains(QStringLiteral("&lt;m%1&gt;&amp;&quot;").arg(k))) << k;
    }
}

}  // namespace
}  // namespace marunoki
