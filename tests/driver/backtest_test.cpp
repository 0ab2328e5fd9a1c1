#include "driver/backtest.h"

#include "app/message_sink.h"
#include "app/race_store.h"
#include "driver/load_driver.h"
#include "driver/race_selection.h"
#include "support/fake_page_source.h"
#include "support/sample_race.h"
#include "support/sample_season.h"
#include "support/test_folder.h"
#include "web/network_page_source.h"
#include "web/page_cache.h"

#include <QRegularExpression>
#include <QSet>

#include <QTimeZone>
#include <algorithm>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const QString kBase = QStringLiteral("http://s1.test");
const QDateTime kNow(QDate(2026, 12, 1), QTime(12, 0), QTimeZone::utc());

// One course, two meetings of two days, three races a day.
const SampleSeason &smallSeason()
{
    static const SampleSeason season = makeSampleSeason({{5}, 2, 2, 3, 60});
    return season;
}

// The season's pages as a site serves them (whole documents).
void serveSeason(FakePageSource &source, std::optional<QDate> before = std::nullopt)
{
    const QMap<QString, QString> pages = seasonPages(smallSeason(), 1, kBase, before);
    for (auto it = pages.begin(); it != pages.end(); ++it) {
        // With the bytes as served, so that a cache in front keeps them.
        const QByteArray bytes = samplePageBytes(it.value());
        FetchedPage page = pageFromBytes(bytes, "UTF-8");
        page.charset = "UTF-8";
        source.setResult(it.key(), page);
    }
}

QString cardOf(int meeting, int day, int race)
{
    for (const SeasonRace &r : smallSeason().races) {
        if (r.card.meeting == meeting && r.card.meetingDay == day && r.card.race == race)
            return seasonCardAddress(r, 1, kBase);
    }
    return {};
}

Settings settingsOf()
{
    Settings settings;
    settings.site1Base = kBase;
    settings.keepJournal = true;
    return settings;
}

struct Run {
    BacktestOutcome outcome;
    RecordingSink messages;
};

BacktestOutcome backtest(const TestFolder &folder, PageSource &source, PageCache *cache,
    const std::atomic<bool> &stop, bool refresh = false)
{
    BacktestRequest request;
    request.year = 2026;
    request.courses = {QStringLiteral("05")};
    request.now = kNow;
    request.refresh = refresh;
    RecordingSink messages;
    BacktestContext context {settingsOf(), AppFolder(folder.path()), {source, cache}, messages, stop};
    BacktestObserver quiet;
    return runBacktest(request, context, quiet);
}

void withTrackDatabase(const TestFolder &folder)
{
    folder.copyIn(sourceFile(QStringLiteral("samples/marunoki.dat")), QStringLiteral("marunoki.dat"));
}

// The journal's rows of every recorded runner, one text per runner, in race
// order; with results when asked.
QStringList journalRows(const QString &path, bool results)
{
    sqlite3 *db = nullptr;
    QStringList rows;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return rows;
    const char *sql = results
        ? "SELECT r.race_date, r.race_no, s.number, s.finish, s.popularity, s.field_size, s.time, s.last3f, "
          "s.not_run FROM result s JOIN race r ON r.id = s.race_id ORDER BY r.race_date, r.race_no, s.number"
        : "SELECT r.race_date, r.course, r.meeting, r.day, r.race_no, r.title, u.number, u.bracket, u.name, "
          "u.horse_url, u.jockey, u.weight, u.figure_count, u.mean, u.best, u.mean90, u.best90, u.style, "
          "u.rank_mean, u.rank_best, u.rank_mean90 FROM runner u JOIN race r ON r.id = u.race_id "
          "ORDER BY r.race_date, r.race_no, u.number";
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        QStringList fields;
        for (int c = 0; c < sqlite3_column_count(statement); ++c)
            fields << QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, c)));
        rows << fields.join(u'|');
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

TEST(Backtest, TheWalkEndsMeetingsDaysAndCoursesWhereTheCardsEnd)
{
    const FetchedPage serverError = [] {
        FetchedPage page;
        page.error = QStringLiteral("HTTP 500");
        return page;
    }();
    struct Case {
        const char *what;
        QStringList missing;  // cards not on the site (404)
        QStringList failing;  // pages that fail otherwise
        int analysed, incomplete, notRead, days, exit;
    };
    const int all = int(smallSeason().races.size());
    const int failingHorse = smallSeason().races[0].horses[0];
    const QString horse = seasonHorseAddress(smallSeason(), failingHorse, 1, kBase);
    int ranIn = 0;  // every race of that horse
    for (const SeasonRace &race : smallSeason().races)
        ranIn += int(std::count(race.horses.begin(), race.horses.end(), failingHorse));
    const Case cases[] = {
        {"every card there", {}, {}, all, 0, 0, 4, 0},
        {"meeting 2 without day 1 ends the course", {cardOf(2, 1, 1)}, {}, 6, 0, 0, 2, 0},
        {"meeting 1 without day 2 goes on with meeting 2", {cardOf(1, 2, 1)}, {}, 9, 0, 0, 3, 0},
        {"a missing race card ends its day", {cardOf(1, 1, 2)}, {}, 10, 0, 0, 4, 0},
        {"a failed race 1 card is one day not read", {}, {cardOf(1, 2, 1)}, 9, 0, 1, 3, 4},
        {"a failed race 2 card is one race not read", {}, {cardOf(1, 1, 2)}, all - 1, 0, 1, 4, 4},
        {"a failed runner page leaves its races incomplete", {}, {horse}, all - ranIn, ranIn, 0, 4, 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder folder;
        withTrackDatabase(folder);
        FakePageSource source;
        serveSeason(source);
        for (const QString &url : c.missing)
            source.removePage(url);
        for (const QString &url : c.failing)
            source.setResult(url, serverError);
        const std::atomic<bool> stop {false};
        const BacktestOutcome outcome = backtest(folder, source, nullptr, stop);
        EXPECT_TRUE(outcome.status.ok()) << outcome.status.message().toStdString();
        EXPECT_EQ(outcome.count(BacktestRaceState::Analysed), c.analysed);
        EXPECT_EQ(outcome.count(BacktestRaceState::Incomplete), c.incomplete);
        EXPECT_EQ(outcome.count(BacktestRaceState::NotRead), c.notRead);
        EXPECT_EQ(outcome.days, c.days);
        EXPECT_EQ(outcome.exitStatus(), c.exit);
        EXPECT_EQ(outcome.problems().size(), c.incomplete + c.notRead);
        // Each listed with the cause behind it.
        for (const QString &problem : outcome.problems())
            EXPECT_TRUE(problem.contains(QStringLiteral("HTTP 500"))) << problem.toStdString();
        // Every runner of a race read whole has its result.
        const int read = c.analysed;
        QSet<QString> racesWithResults;
        for (const QString &row : journalRows(folder.file(kJournalFile), true))
            racesWithResults.insert(row.section(u'|', 0, 1));
        EXPECT_EQ(int(racesWithResults.size()), read + c.incomplete);
    }
}

TEST(Backtest, AHorsePageIsFetchedOncePerSeasonAndASecondBacktestFetchesNothing)
{
    TestFolder folder;
    withTrackDatabase(folder);
    FakePageSource source;
    serveSeason(source);
    PageCache cache(folder.file(QStringLiteral("cache")), 500LL * 1024 * 1024,
        [] { return QDateTime::currentDateTimeUtc(); });
    const std::atomic<bool> stop {false};
    RecordingSink said;
    CachingPageSource caching(source, cache, CachePolicy {}, false, said);
    const BacktestOutcome first = backtest(folder, caching, &cache, stop);
    ASSERT_EQ(first.exitStatus(), 0);
    // Cards, the walk's probes and each horse once: never a page twice.
    const QStringList fetched = source.fetched();
    EXPECT_EQ(QSet<QString>(fetched.begin(), fetched.end()).size(), fetched.size());
    QSet<int> horses;
    for (const SeasonRace &race : smallSeason().races)
        horses.unite(QSet<int>(race.horses.begin(), race.horses.end()));
    // 12 cards, a 404 race 4 on each of 4 days, day 3 of each meeting, meeting 3.
    EXPECT_EQ(fetched.size(), 12 + 4 + 2 + 1 + horses.size());
    EXPECT_EQ(first.pagesFetched, fetched.size());
    // A day's other cards and the next day's race 1 are asked for together
    // (fetched side by side, not one after the other).
    for (const QString &card : {cardOf(1, 1, 2), cardOf(1, 1, 3), cardOf(1, 2, 1), cardOf(2, 2, 3)})
        EXPECT_TRUE(source.prefetched().contains(card)) << card.toStdString();

    // Into another journal: every page, and every "not found", from the cache.
    TestFolder second;
    withTrackDatabase(second);
    FakePageSource offline;
    CachingPageSource cachingOffline(offline, cache, CachePolicy {}, false, said);
    const BacktestOutcome again = backtest(second, cachingOffline, &cache, stop);
    EXPECT_EQ(again.exitStatus(), 0);
    EXPECT_TRUE(offline.fetched().isEmpty()) << offline.fetched().join(u' ').toStdString();
    EXPECT_EQ(again.count(BacktestRaceState::Analysed), first.count(BacktestRaceState::Analysed));
    EXPECT_EQ(journalRows(second.file(kJournalFile), true), journalRows(folder.file(kJournalFile), true));
}

TEST(Backtest, AStopKeepsTheRacesFinishedAndTheNextRunGoesOnFromThere)
{
    TestFolder folder;
    withTrackDatabase(folder);
    FakePageSource source;
    serveSeason(source);
    std::atomic<bool> stop {false};
    // The stop comes in meeting 2, while the loads are some races behind.
    const QString stopAt = cardOf(2, 2, 1);
    std::chrono::steady_clock::time_point stoppedAt;
    source.onFetch = [&](const QString &url) {
        if (url == stopAt && !stop.exchange(true)) {
            stoppedAt = std::chrono::steady_clock::now();
            // Long enough for the stop to reach this very read, which then ends cancelled.
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
    };
    const BacktestOutcome stopped = backtest(folder, source, nullptr, stop);
    EXPECT_TRUE(stopped.stopped);
    // A read the stop cut short is no race that could not be read.
    EXPECT_EQ(stopped.count(BacktestRaceState::NotRead), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - stoppedAt, std::chrono::seconds(1));
    const int kept = stopped.count(BacktestRaceState::Analysed);
    EXPECT_GE(kept, 1);
    EXPECT_LT(kept, int(smallSeason().races.size()));
    EXPECT_EQ(stopped.exitStatus(), 4);

    source.onFetch = nullptr;
    stop.store(false);
    const qsizetype before = source.fetched().size();
    const BacktestOutcome resumed = backtest(folder, source, nullptr, stop);
    EXPECT_EQ(resumed.exitStatus(), 0);
    EXPECT_EQ(resumed.count(BacktestRaceState::PassedOver), kept);
    EXPECT_EQ(resumed.count(BacktestRaceState::Analysed), int(smallSeason().races.size()) - kept);
    // The races passed over cost no request: their cards are not asked for.
    EXPECT_FALSE(source.fetched().mid(before).contains(cardOf(1, 1, 1)));
    // A race with a runner still without its result is loaded again; the
    // other races of its day are not.
    {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(folder.file(kJournalFile).toUtf8().constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                      "DELETE FROM result WHERE number = 1 AND race_id = "
                      "(SELECT id FROM race WHERE meeting = 1 AND day = 1 AND race_no = 2)",
                      nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(db);
    }
    const BacktestOutcome pending = backtest(folder, source, nullptr, stop);
    EXPECT_EQ(pending.count(BacktestRaceState::Analysed), 1);
    EXPECT_EQ(pending.count(BacktestRaceState::PassedOver), int(smallSeason().races.size()) - 1);
    // --refresh loads them again.
    const BacktestOutcome refreshed = backtest(folder, source, nullptr, stop, true);
    EXPECT_EQ(refreshed.count(BacktestRaceState::Analysed), int(smallSeason().races.size()));
}

// Two backtests of one season at once into one journal: both end well, and
// the journal holds every runner once, each with its result.
TEST(Backtest, TwoAtOnceIntoOneJournalLoseNothing)
{
    TestFolder folder;
    withTrackDatabase(folder);
    FakePageSource first;
    FakePageSource second;
    serveSeason(first);
    serveSeason(second);
    const std::atomic<bool> stop {false};
    int otherStatus = -1;
    std::thread other([&] { otherStatus = backtest(folder, second, nullptr, stop).exitStatus(); });
    const int status = backtest(folder, first, nullptr, stop).exitStatus();
    other.join();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(otherStatus, 0);
    int runners = 0;
    for (const SeasonRace &race : smallSeason().races)
        runners += int(race.horses.size());
    EXPECT_EQ(journalRows(folder.file(kJournalFile), false).size(), runners);
    EXPECT_EQ(journalRows(folder.file(kJournalFile), true).size(), runners);
}

TEST(Backtest, TheFiguresAreThoseOfALoadOnTheRacesMorning)
{
    TestFolder backtested;
    withTrackDatabase(backtested);
    FakePageSource today;
    serveSeason(today);
    const std::atomic<bool> stop {false};
    ASSERT_EQ(backtest(backtested, today, nullptr, stop).exitStatus(), 0);

    // Each race loaded alone from its pages as they read on its morning.
    TestFolder loaded;
    withTrackDatabase(loaded);
    auto store = std::make_unique<RaceStore>();
    for (const SeasonRace &race : smallSeason().races) {
        FakePageSource morning;
        serveSeason(morning, QDate(race.card.year, race.card.month, race.card.day));
        RecordingSink messages;
        struct : ProgressSink {
            void status(const QString &) override { }
        } progress;
        LoadContext context {*store, settingsOf(), AppFolder(loaded.path()), morning, progress, messages};
        const RaceSelection selection {QStringLiteral("2026"), QStringLiteral("東京"),
            QStringLiteral("%1").arg(race.card.meeting, 2, 10, QLatin1Char('0')),
            QStringLiteral("%1").arg(race.card.meetingDay, 2, 10, QLatin1Char('0')),
            QStringLiteral("%1").arg(race.card.race, 2, 10, QLatin1Char('0')), ReadingSite::One};
        ASSERT_TRUE(runLoad(selection, context).analysed);
    }
    const QStringList expected = journalRows(loaded.file(kJournalFile), false);
    int runners = 0;
    for (const SeasonRace &race : smallSeason().races)
        runners += int(race.horses.size());
    ASSERT_EQ(expected.size(), runners);
    // The figures are there to compare: most runners have a mean figure.
    EXPECT_GT(
        expected.filter(QRegularExpression(QStringLiteral("^([^|]*\\|){13}[0-9]"))).size(), runners / 2);
    EXPECT_EQ(journalRows(backtested.file(kJournalFile), false), expected);
}

}  // namespace
