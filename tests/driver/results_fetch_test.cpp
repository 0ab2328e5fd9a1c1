#include "driver/results_fetch.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "support/fake_page_source.h"
#include "support/sample_race.h"
#include "support/site_pages.h"
#include "support/test_folder.h"
#include "web/page_cache.h"

#include <QTimeZone>

#include <gtest/gtest.h>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const QString kBase = QStringLiteral("http://s1.test");
const QDate kRaceDay(2026, 5, 5);
const RaceKey kRace {1, kRaceDay, QStringLiteral("05"), 2, 9, 11};

QString idOf(int n)
{
    return QStringLiteral("20041000%1/").arg(n, 2, 10, QLatin1Char('0'));
}

QString addressOf(int n)
{
    return site1HorseAddress(kBase, idOf(n));
}

// The journal's race: `count` runners, runner n's page addressOf(n).
void recordRace(Journal &journal, int count)
{
    auto store = std::make_unique<RaceStore>();
    store->raceDate = *serialFromYmd(2026, 5, 5);
    store->fieldSize = count;
    for (const qint32 n : store->runners()) {
        store->horses[n].name = QStringLiteral("見本馬%1").arg(n);
        store->horses[n].pageAddress = addressOf(n);
        store->horses[n].meanFigure = {float(50 + n), 2};
    }
    ASSERT_TRUE(journal.recordRace(kRace, *store, 0.3f, kBase).ok());
}

PastRun runOn(QDate date, int finish, int race = 11)
{
    PastRun run;
    run.year = date.year();
    run.month = date.month();
    run.day = date.day();
    run.course = 5;
    run.meeting = 2;
    run.meetingDay = 9;
    run.race = race;
    run.finish = finish;
    run.popularity = 3;
    run.raceLink
        = QStringLiteral("/scores/%1/05/02/09/%2/").arg(date.year()).arg(race, 2, 10, QLatin1Char('0'));
    return run;
}

// A whole page, as the site serves it (every page read must end with </html>).
QString pageWith(std::vector<PastRun> runs)
{
    HorsePage horse;
    horse.runs = std::move(runs);
    return QString::fromUtf8(samplePageBytes(site1HorsePage(horse)));
}

QDateTime utc(QDate date, int hour)
{
    return QDateTime(date, QTime(hour, 0), QTimeZone::utc());
}

class NoProgress : public ProgressSink {
public:
    void status(const QString &) override { }
};

// The status lines, and the last page count the progress bar was given.
class PageProgress : public RecordingProgress {
public:
    void runnerProgress(int current, int count) override { last = {current, count}; }
    std::pair<int, int> last;
};

}  // namespace

PastRun runOn(QDate date, const QString &finishCell)
{
    PastRun run = runOn(date, 0);
    run.finishCell = finishCell;
    return run;
}

TEST(FetchResults, RecordsWhatEachPageShowsAndLeavesTheRestPending)
{
    struct Case {
        const char *name;
        std::optional<QString> page;  // nothing: the fetch fails
        QDateTime now;
        int found, notRun, pending, failed;
        FinishKind kind = FinishKind::Finished;  // of the result recorded
        std::optional<int> finish = std::nullopt;
        QString base = {};  // the settings' site 1 address, when it moved
        bool oddsShown = true;
        const char *cause = nullptr;  // in the failed page's line
    };
    const QDateTime weekLater = utc(kRaceDay.addDays(7), 3);
    const QDateTime nextMorning = utc(kRaceDay.addDays(1), 0);
    PastRun behindTheField = runOn(kRaceDay, 19);
    PastRun noPopularity = runOn(kRaceDay, 2);
    noPopularity.popularity = 0;
    PastRun slow = runOn(kRaceDay, 2);
    slow.time = 912.5;
    PastRun twice = runOn(kRaceDay, 2, 9);
    PastRun noField = runOn(kRaceDay, 2);
    noField.runners = 0;
    PastRun noOdds = runOn(kRaceDay, 2);
    noOdds.odds = QStringLiteral("---");
    const Case cases[] = {
        {"finished", pageWith({runOn(kRaceDay, 2)}), weekLater, 1, 0, 0, 0, FinishKind::Finished, 2},
        {"did not finish: ran", pageWith({runOn(kRaceDay, QStringLiteral("中"))}), weekLater, 1, 0, 0, 0,
            FinishKind::DidNotFinish},
        {"disqualified: ran", pageWith({runOn(kRaceDay, QStringLiteral("失"))}), weekLater, 1, 0, 0, 0,
            FinishKind::Disqualified},
        {"scratched", pageWith({runOn(kRaceDay, QStringLiteral("取"))}), weekLater, 0, 1, 0, 0,
            FinishKind::Scratched},
        {"excluded", pageWith({runOn(kRaceDay, QStringLiteral("除"))}), weekLater, 0, 1, 0, 0,
            FinishKind::Excluded},
        {"demoted", pageWith({runOn(kRaceDay, QStringLiteral("4(降)"))}), weekLater, 1, 0, 0, 0,
            FinishKind::Demoted, 4},
        {"odds not shown", pageWith({noOdds}), weekLater, 1, 0, 0, 0, FinishKind::Finished, 2, {}, false},
        {"no finishing position", pageWith({runOn(kRaceDay, 0)}), weekLater, 0, 0, 1, 1},
        {"behind the field", pageWith({behindTheField}), weekLater, 0, 0, 1, 1},
        {"no popularity", pageWith({noPopularity}), weekLater, 0, 0, 1, 1, {}, {}, {}, true,
            "人気 0 / 18 頭"},
        {"no field size", pageWith({noField}), weekLater, 0, 0, 1, 1, {}, {}, {}, true, "頭数 0"},
        {"no such time", pageWith({slow}), weekLater, 0, 0, 1, 1},
        {"two runs that day, none of them the race", pageWith({twice, runOn(kRaceDay, 3, 10)}), weekLater, 0,
            0, 1, 1},
        {"two runs that day, one the race", pageWith({twice, runOn(kRaceDay, 3)}), weekLater, 1, 0, 0, 0,
            FinishKind::Finished, 3},
        {"ran since, not that day",
            pageWith({runOn(kRaceDay.addDays(1), 1), runOn(kRaceDay.addDays(-30), 4)}),
            utc(kRaceDay.addDays(1), 12), 0, 1, 0, 0, FinishKind::Scratched},
        {"ran since, its only run", pageWith({runOn(kRaceDay.addDays(1), 1)}), utc(kRaceDay.addDays(1), 12),
            0, 1, 0, 0, FinishKind::Scratched},
        {"not posted yet", pageWith({runOn(kRaceDay.addDays(-30), 4)}), nextMorning, 0, 0, 1, 0},
        {"long after, no run that day", pageWith({runOn(kRaceDay.addDays(-30), 4)}), weekLater, 0, 1, 0, 0,
            FinishKind::Scratched},
        {"page failed", std::nullopt, weekLater, 0, 0, 1, 1},
        // Before 17:00 in Japan on race day nothing is asked for; from 17:00 the
        // page is read, and shows the run of that very day.
        {"race not over", pageWith({}), utc(kRaceDay, 7), 0, 0, 0, 0},
        {"race just over", pageWith({runOn(kRaceDay, 3)}), utc(kRaceDay, 8), 1, 0, 0, 0, FinishKind::Finished,
            3},
        // Another race on that day is no run since.
        {"another race that day", pageWith({runOn(kRaceDay, 1, 5)}), nextMorning, 0, 0, 1, 0},
        // No run found: not run once the grace days have ended at 17:00.
        {"grace not over", pageWith({runOn(kRaceDay.addDays(-30), 4)}), utc(kRaceDay.addDays(kGraceDays), 7),
            0, 0, 1, 0},
        {"grace over", pageWith({runOn(kRaceDay.addDays(-30), 4)}), utc(kRaceDay.addDays(kGraceDays), 8), 0,
            1, 0, 0, FinishKind::Scratched},
        // Read long after, the race day is still inside the page's window of runs.
        {"more than the window later", pageWith({runOn(kRaceDay, 2), runOn(kRaceDay.addDays(400), 1, 10)}),
            utc(kRaceDay.addDays(int(kHistoryDays) + 30), 3), 1, 0, 0, 0, FinishKind::Finished, 2},
        // The site's address changed since the race was recorded: the page is
        // read under the new one and the result kept with the horse.
        {"site moved", pageWith({runOn(kRaceDay, 2)}), weekLater, 1, 0, 0, 0, FinishKind::Finished, 2,
            QStringLiteral("https://new.s1.test")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        auto opened = Journal::open(folder.file(kJournalFile));
        ASSERT_TRUE(opened.status.ok());
        recordRace(*opened.value, 1);
        FakePageSource source;
        if (c.page)
            source.setPage(c.base.isEmpty() ? addressOf(1) : site1HorseAddress(c.base, idOf(1)), *c.page);
        NoProgress progress;
        RecordingSink messages;
        std::atomic<qint16> cancel {0};
        Settings settings;
        settings.site1Base = c.base;
        ResultsContext context {*opened.value, settings, source, nullptr, progress, messages, cancel, c.now};
        const ResultsOutcome outcome = fetchResults(context, std::nullopt, std::nullopt);
        ASSERT_TRUE(outcome.status.ok());
        EXPECT_EQ(outcome.found(), c.found);
        EXPECT_EQ(outcome.notRun(), c.notRun);
        EXPECT_EQ(outcome.pending(), c.pending);
        EXPECT_EQ(outcome.failedPages.size(), c.failed) << outcome.failedPages.join(u'\n').toStdString();
        if (c.cause) {
            EXPECT_TRUE(outcome.failedPages.join(u'\n').contains(QString::fromUtf8(c.cause)))
                << outcome.failedPages.join(u'\n').toStdString();
        }
        // What was recorded is no longer pending; the rest is asked for again.
        const auto left = opened.value->pendingResults(std::nullopt, std::nullopt, kRaceDay);
        EXPECT_EQ(int(left.value.size()), c.found + c.notRun == 1 ? 0 : 1);
        if (c.found + c.notRun == 0)
            continue;
        const auto races = opened.value->tallyRaces({});
        ASSERT_EQ(races.value.size(), 1u);
        const TallyRunner &runner = races.value[0].runners.at(0);
        EXPECT_EQ(runner.kind, c.kind);
        EXPECT_EQ(runner.finish, c.finish);
        // Site 1's pages give the odds of every run that had a bet.
        EXPECT_EQ(runner.winOdds, ran(c.kind) && c.oddsShown ? std::optional<double>(3.4f) : std::nullopt);
    }
}

TEST(FetchResults, ACopyCachedBeforeTheRaceEndedIsFetchedAgain)
{
    TestFolder folder;
    auto opened = Journal::open(folder.file(kJournalFile));
    ASSERT_TRUE(opened.status.ok());
    recordRace(*opened.value, 2);

    // Runner 1's page was cached on the morning of the race (no result on it);
    // runner 2's as the race ended at 17:00 in Japan (the result on it).
    QDateTime clock = utc(kRaceDay, 0);
    PageCache cache(folder.file(QStringLiteral("cache")), 1 << 20, [&clock] { return clock; });
    ASSERT_TRUE(
        cache.store(addressOf(1), pageWith({runOn(kRaceDay.addDays(-30), 4)}).toUtf8(), "utf-8").ok());
    clock = raceEnd(kRaceDay);
    ASSERT_EQ(clock, utc(kRaceDay, 8));
    ASSERT_TRUE(cache.store(addressOf(2), pageWith({runOn(kRaceDay, 5)}).toUtf8(), "utf-8").ok());
    clock = utc(kRaceDay.addDays(1), 2);

    FakePageSource network;
    network.setPage(addressOf(1), pageWith({runOn(kRaceDay, 1)}));
    CachePolicy policy;
    policy.horseMaxAge = 7 * 24 * 3600;
    RecordingSink messages;
    CachingPageSource cached(network, cache, policy, false, messages);
    NoProgress progress;
    std::atomic<qint16> cancel {0};
    ResultsContext context {*opened.value, {}, cached, &cache, progress, messages, cancel, clock};
    const ResultsOutcome outcome = fetchResults(context, std::nullopt, std::nullopt);
    ASSERT_TRUE(outcome.status.ok());
    EXPECT_EQ(outcome.found(), 2);
    EXPECT_EQ(outcome.pending(), 0);
    // Only the stale copy went to the network.
    EXPECT_EQ(network.fetched(), QStringList {addressOf(1)});
    const auto rows = opened.value->tallyRaces({});
    ASSERT_EQ(rows.value.size(), 1u);
    ASSERT_EQ(rows.value[0].runners.size(), 2u);
    EXPECT_EQ(rows.value[0].runners[0].finish, 1);
    EXPECT_EQ(rows.value[0].runners[1].finish, 5);
}

// Races 10 to 12 of the day, two runners each with pages of their own: the
// status line counts the races, a stop keeps what was filled, a page that
// fails is named with its cause, and only a run that read every page is a
// success.
TEST(FetchResults, CountsTheRacesStopsKeepingWhatWasFilledAndNamesFailedPages)
{
    const auto pageOf = [](int race, int n) { return addressOf(race * 10 + n); };
    struct Case {
        const char *name;
        QString missingPage;  // fails with HTTP 404
        QString stopAtPage;  // the stop is pressed as this page is asked for
        int lastRace;  // the status line's last "k / 3 レース"
        int lastPage;  // of the 6 pages, the last the progress bar counted
        bool success;
        int leftPending;
        QStringList said;  // in the report's text
    };
    const Case cases[] = {
        {"every page read", {}, {}, 3, 6, true, 0, {QStringLiteral("計 3 レース: 着順 6 頭、出走なし 0 頭")}},
        {"a page fails", pageOf(11, 2), {}, 3, 6, false, 1,
            {QStringLiteral("1 ページが取得できませんでした"), pageOf(11, 2), QStringLiteral("HTTP 404"),
                QStringLiteral("着順 5 頭")}},
        {"stopped in the second race", {}, pageOf(11, 1), 2, 3, false, 4,
            {QStringLiteral("中止しました"), QStringLiteral("着順 2 頭")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        auto opened = Journal::open(folder.file(kJournalFile));
        ASSERT_TRUE(opened.status.ok());
        FakePageSource source;
        for (const int race : {10, 11, 12}) {
            auto store = std::make_unique<RaceStore>();
            store->raceDate = *serialFromYmd(2026, 5, 5);
            store->fieldSize = 2;
            for (const qint32 n : store->runners()) {
                store->horses[n].name = QStringLiteral("見本馬%1").arg(race * 10 + n);
                store->horses[n].pageAddress = pageOf(race, n);
                store->horses[n].meanFigure = {float(50 + n), 2};
                if (pageOf(race, n) != c.missingPage)
                    source.setPage(pageOf(race, n), pageWith({runOn(kRaceDay, n, race)}));
            }
            RaceKey key = kRace;
            key.race = race;
            ASSERT_TRUE(opened.value->recordRace(key, *store, 0.3f, kBase).ok());
        }
        std::atomic<qint16> cancel {0};
        source.onFetch = [&](const QString &url) {
            if (url == c.stopAtPage)
                cancel = -1;
        };
        PageProgress progress;
        RecordingSink messages;
        ResultsContext context {
            *opened.value, {}, source, nullptr, progress, messages, cancel, utc(kRaceDay.addDays(7), 3)};
        const ResultsOutcome outcome = fetchResults(context, std::nullopt, std::nullopt);
        ASSERT_TRUE(outcome.status.ok());

        int lastRace = 0;
        for (const QString &line : progress.lines()) {
            const int race = line.section(QStringLiteral(" / 3 レース"), 0, 0).toInt();
            EXPECT_GE(race, lastRace) << line.toStdString();
            lastRace = race;
        }
        EXPECT_EQ(lastRace, c.lastRace);
        EXPECT_EQ(progress.last, std::pair(c.lastPage, 6));
        const auto left = opened.value->pendingResults(std::nullopt, std::nullopt, kRaceDay);
        EXPECT_EQ(int(left.value.size()), c.leftPending);
        const ResultsReport report = resultsReport(outcome);
        EXPECT_EQ(report.success, c.success);
        for (const QString &text : c.said)
            EXPECT_TRUE(report.text.contains(text)) << report.text.toStdString();
        EXPECT_EQ(report.detail.isEmpty(), c.missingPage.isEmpty()) << report.detail.toStdString();
        EXPECT_FALSE(report.text.contains(QStringLiteral("ほか"))) << "every failed page is listed";
    }
}
