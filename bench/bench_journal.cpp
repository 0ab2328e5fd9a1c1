// The race journal at the size of ten seasons, and the costs a user meets.
//
// - BM_TallyFilter/<k>: the tally (query and counting) under each filter of
//   `tally`, on a generated journal of ten seasons (35,000 races, 500,000
//   runners with results, odds and some marks, every race summed up as
//   recording leaves it). Goal: under 150 ms CPU and 250 ms wall each.
// - BM_TallyGroupMonth: all races with --group month. Goal: under 500 ms.
// - BM_TallyJoinEveryRunner/<k>: the straightforward way for the same filter:
//   one query joining every runner with its result and mark, read row by row
//   (as the tally read the journal before the per-race summaries).
// - BM_JournalOpen: opening that journal (the checks and the schema version).
//   Goal: under 50 ms. Counter file_MB: the file's size.
// - BM_RecordRace: what a load adds: the journal opened, a 16-runner race
//   recorded and its runners' pending results looked up. Goal: under 5 ms.
// - BM_ResultsOneInFlight / BM_ResultsFourInFlight: the results of a day of 12
//   races (16 to 18 runners, about 200 pages) from a loopback server that takes
//   150 ms to answer each page, one request in flight against four. Goal: at
//   least 3.6 times as fast.
// - BM_MarksImport/<rows>: `marks --import` of a file of that many rows (16
//   runners of each race, one row each) into a journal holding the races.
//   Counter rows_per_s: the same at 10,000 and 80,000 rows when the import is
//   linear. Goal: the 80,000-row import at least 0.8 times the 10,000-row rate.

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "driver/results_fetch.h"
#include "journal/journal.h"
#include "journal/tally.h"
#include "output/marks_file.h"
#include "support/http_test_server.h"
#include "support/sample_race.h"
#include "web/network_page_source.h"
#include "web/page_loader.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <random>

namespace {

using namespace marunoki;

constexpr int kSeasons = 10;
constexpr int kRacesPerSeason = 3500;
constexpr int kLatencyMs = 150;
constexpr int kDayRaces = 12;

class SilentProgress : public ProgressSink {
public:
    void status(const QString &) override { }
};

QString cacheFolder()
{
    const QByteArray env = qgetenv("MARUNOKI_BENCH_CACHE");
    static QTemporaryDir scratch;
    return env.isEmpty() ? scratch.path() : QString::fromLocal8Bit(env);
}

bool exec(sqlite3 *db, const char *sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// Ten seasons of races written straight into a journal the program made: the
// schema is the program's own, the rows as recording and results would leave them.
QString tenSeasons()
{
    const QString path = cacheFolder() + QStringLiteral("/journal-ten-seasons-v3.sqlite");
    if (QFileInfo::exists(path))
        return path;
    const QString building = path + QStringLiteral(".part");
    QFile::remove(building);
    {
        Journal::Opened opened = Journal::open(building);
        if (!opened.status.ok())
            return {};
    }
    sqlite3 *db = nullptr;
    sqlite3_open(QFile::encodeName(building).constData(), &db);
    exec(db, "BEGIN");
    sqlite3_stmt *race = nullptr, *runner = nullptr, *result = nullptr, *mark = nullptr;
    sqlite3_prepare_v2(db,
        "INSERT INTO race (id, site, race_date, course, meeting, day, race_no, title, surface, distance, "
        "field_size, share) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, 'ベンチ特別', ?8, ?9, ?10, 0.3)",
        -1, &race, nullptr);
    sqlite3_prepare_v2(db,
        "INSERT INTO runner (race_id, number, name, horse_url, figure_count, mean, best, mean90, rank_mean, "
        "rank_best, rank_mean90) VALUES (?1, ?2, 'ベンチホース', ?3, 5, ?4, ?5, ?6, ?7, ?8, ?9)",
        -1, &runner, nullptr);
    sqlite3_prepare_v2(db,
        "INSERT INTO result (race_id, number, horse_url, finish, popularity, field_size, kind, win_odds) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, 0, ?7)",
        -1, &result, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO mark (race_id, number, horse_url, mark) VALUES (?1, ?2, ?3, ?4)", -1,
        &mark, nullptr);
    std::mt19937 random(20261208);
    const int distances[] = {1000, 1200, 1400, 1600, 1800, 2000, 2200, 2400, 2500, 3000};
    const char *marks[] = {"◎", "○", "▲", "△", "☆", "×"};
    const QDate first(2016, 1, 5);
    int id = 0;
    for (int season = 0; season < kSeasons; ++season) {
        for (int r = 0; r < kRacesPerSeason; ++r) {
            ++id;
            const QByteArray date
                = first.addDays(season * 365 + r * 365 / kRacesPerSeason).toString(Qt::ISODate).toLatin1();
            const int field = 8 + int(random() % 13);  // 8..20, 14 on average
            const int runners = std::min(field, 18);
            const QByteArray course = QByteArray::number(1 + int(random() % 10)).rightJustified(2, '0');
            sqlite3_bind_int(race, 1, id);
            sqlite3_bind_int(race, 2, 1 + id % 2);
            sqlite3_bind_text(race, 3, date.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(race, 4, course.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(race, 5, 1 + r % 5);
            sqlite3_bind_int(race, 6, 1 + r % 12);
            sqlite3_bind_int(race, 7, 1 + r % 12);
            sqlite3_bind_int(race, 8, int(random() % 2));
            sqlite3_bind_int(race, 9, distances[random() % 10]);
            sqlite3_bind_int(race, 10, runners);
            sqlite3_step(race);
            sqlite3_reset(race);
            std::vector<int> finish(static_cast<size_t>(runners));
            std::vector<int> popularity(static_cast<size_t>(runners));
            for (int i = 0; i < runners; ++i)
                finish[size_t(i)] = popularity[size_t(i)] = i + 1;
            std::shuffle(finish.begin(), finish.end(), random);
            std::shuffle(popularity.begin(), popularity.end(), random);
            const bool resulted = r % 20 != 0;  // one race in twenty still pending
            for (int n = 1; n <= runners; ++n) {
                const QByteArray url = "/directory/horse/" + QByteArray::number(id * 20 + n) + '/';
                // Ranks follow the finish loosely: the better finishers have the better figures.
                const int rank = std::clamp(finish[size_t(n - 1)] + int(random() % 5) - 2, 1, runners);
                sqlite3_bind_int(runner, 1, id);
                sqlite3_bind_int(runner, 2, n);
                sqlite3_bind_text(runner, 3, url.constData(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_double(runner, 4, 80 - rank);
                sqlite3_bind_double(runner, 5, 90 - rank);
                sqlite3_bind_double(runner, 6, 78 - rank);
                for (int k = 7; k <= 9; ++k)
                    sqlite3_bind_int(runner, k, rank);
                sqlite3_step(runner);
                sqlite3_reset(runner);
                if (resulted) {
                    sqlite3_bind_int(result, 1, id);
                    sqlite3_bind_int(result, 2, n);
                    sqlite3_bind_text(result, 3, url.constData(), -1, SQLITE_TRANSIENT);
                    sqlite3_bind_int(result, 4, finish[size_t(n - 1)]);
                    sqlite3_bind_int(result, 5, popularity[size_t(n - 1)]);
                    sqlite3_bind_int(result, 6, runners);
                    // Site 1's races have odds (the favourite shortest), site 2's none.
                    if (id % 2 == 1)
                        sqlite3_bind_double(result, 7, 1.2 + 1.7 * popularity[size_t(n - 1)]);
                    else
                        sqlite3_bind_null(result, 7);
                    sqlite3_step(result);
                    sqlite3_reset(result);
                }
                if (rank <= 6 && id % 3 == 0) {
                    sqlite3_bind_int(mark, 1, id);
                    sqlite3_bind_int(mark, 2, n);
                    sqlite3_bind_text(mark, 3, url.constData(), -1, SQLITE_TRANSIENT);
                    sqlite3_bind_text(mark, 4, marks[rank - 1], -1, SQLITE_STATIC);
                    sqlite3_step(mark);
                    sqlite3_reset(mark);
                }
            }
        }
    }
    for (sqlite3_stmt *s : {race, runner, result, mark})
        sqlite3_finalize(s);
    exec(db, "COMMIT");
    sqlite3_close(db);
    {
        // Each race summed up, as recording and results leave it.
        Journal::Opened opened = Journal::open(building);
        if (!opened.status.ok() || !opened.value->refreshTallySummaries().status.ok())
            return {};
    }
    sqlite3_open(QFile::encodeName(building).constData(), &db);
    exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
    sqlite3_close(db);
    QFile::remove(building + QStringLiteral("-wal"));
    QFile::remove(building + QStringLiteral("-shm"));
    return QFile::rename(building, path) ? path : QString();
}

Journal &bigJournal()
{
    static std::unique_ptr<Journal> journal = Journal::open(tenSeasons()).value;
    return *journal;
}

struct NamedFilter {
    const char *name;
    TallyFilter filter;
    std::optional<TallyKey> by;
};

std::vector<NamedFilter> filters()
{
    std::vector<NamedFilter> all;
    all.push_back({"all", {}, std::nullopt});
    TallyFilter f;
    f.from = QDate(2020, 1, 1);
    f.to = QDate(2020, 12, 31);
    all.push_back({"one season", f, std::nullopt});
    f = {};
    f.site = 2;
    all.push_back({"site", f, std::nullopt});
    f = {};
    f.course = QStringLiteral("05");
    all.push_back({"course", f, std::nullopt});
    f = {};
    f.surface = 1;
    all.push_back({"surface", f, std::nullopt});
    f = {};
    f.distance = std::pair(1000, 1400);
    all.push_back({"distance", f, std::nullopt});
    f = {};
    f.runners = std::pair(16, 18);
    all.push_back({"runners", f, std::nullopt});
    all.push_back({"by mark", {}, TallyKey::Mark});
    f = {};
    f.from = QDate(2018, 1, 1);
    f.course = QStringLiteral("05");
    f.surface = 0;
    f.distance = std::pair(1200, 1800);
    f.runners = std::pair(12, 18);
    all.push_back({"every filter", f, TallyKey::Best});
    return all;
}

void tallyWith(benchmark::State &state, const TallyFilter &filter, const TallyLayout &layout)
{
    Journal &journal = bigJournal();
    int counted = 0;
    for (auto _ : state) {
        const auto races = journal.tallyRaces(filter);
        if (!races.status.ok())
            state.SkipWithError("the tally could not be read");
        counted = computeTally(races.value, layout).counted;
        benchmark::DoNotOptimize(counted);
    }
    state.counters["races"] = counted;
}

void BM_TallyFilter(benchmark::State &state)
{
    const NamedFilter filter = filters()[size_t(state.range(0))];
    state.SetLabel(filter.name);
    TallyLayout layout;
    layout.keys = tallyKeysFor(filter.by);
    tallyWith(state, filter.filter, layout);
}
BENCHMARK(BM_TallyFilter)->DenseRange(0, 8)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_TallyGroupMonth(benchmark::State &state)
{
    TallyLayout layout;
    layout.group = TallyGroup::Month;
    tallyWith(state, {}, layout);
}
BENCHMARK(BM_TallyGroupMonth)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_TallyJoinEveryRunner(benchmark::State &state)
{
    const NamedFilter filter = filters()[size_t(state.range(0))];
    state.SetLabel(filter.name);
    sqlite3 *db = nullptr;
    sqlite3_open_v2(QFile::encodeName(tenSeasons()).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *rows = nullptr;
    sqlite3_prepare_v2(db, R"sql(
        SELECT u.race_id, u.number, u.rank_mean, u.rank_best, u.rank_mean90,
               s.race_id IS NOT NULL, s.finish, s.popularity, m.mark, u.horse_url = '', s.kind, s.win_odds
        FROM race r JOIN runner u ON u.race_id = r.id
        LEFT JOIN result s ON s.race_id = u.race_id AND s.number = u.number AND s.horse_url = u.horse_url
        LEFT JOIN mark m ON m.race_id = u.race_id AND m.number = u.number AND m.horse_url = u.horse_url
        WHERE (?1 IS NULL OR r.race_date >= ?1) AND (?2 IS NULL OR r.race_date <= ?2)
          AND (?3 IS NULL OR r.site = ?3) AND (?4 IS NULL OR r.course = ?4)
          AND (?5 IS NULL OR r.surface = ?5)
          AND (?6 IS NULL OR r.distance BETWEEN ?6 AND ?7)
          AND (?8 IS NULL OR r.field_size BETWEEN ?8 AND ?9)
        ORDER BY r.id, u.number)sql",
        -1, &rows, nullptr);
    const TallyFilter &f = filter.filter;
    const auto text = [&](int i, const std::optional<QDate> &date) {
        if (date)
            sqlite3_bind_text(
                rows, i, date->toString(Qt::ISODate).toLatin1().constData(), -1, SQLITE_TRANSIENT);
    };
    long runners = 0;
    for (auto _ : state) {
        sqlite3_reset(rows);
        sqlite3_clear_bindings(rows);
        text(1, f.from);
        text(2, f.to);
        if (f.site)
            sqlite3_bind_int(rows, 3, *f.site);
        if (!f.course.isEmpty())
            sqlite3_bind_text(rows, 4, f.course.toLatin1().constData(), -1, SQLITE_TRANSIENT);
        if (f.surface)
            sqlite3_bind_int(rows, 5, *f.surface);
        if (f.distance) {
            sqlite3_bind_int(rows, 6, f.distance->first);
            sqlite3_bind_int(rows, 7, f.distance->second);
        }
        if (f.runners) {
            sqlite3_bind_int(rows, 8, f.runners->first);
            sqlite3_bind_int(rows, 9, f.runners->second);
        }
        runners = 0;
        long sum = 0;
        while (sqlite3_step(rows) == SQLITE_ROW) {
            ++runners;
            for (int c = 0; c < 12; ++c)
                sum += sqlite3_column_int(rows, c);
            sum += sqlite3_column_bytes(rows, 8);
        }
        benchmark::DoNotOptimize(sum);
    }
    state.counters["runners"] = double(runners);
    sqlite3_finalize(rows);
    sqlite3_close(db);
}
BENCHMARK(BM_TallyJoinEveryRunner)->DenseRange(0, 8)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_JournalOpen(benchmark::State &state)
{
    const QString path = tenSeasons();
    for (auto _ : state) {
        Journal::Opened opened = Journal::open(path);
        if (!opened.status.ok())
            state.SkipWithError("the journal could not be opened");
    }
    state.counters["file_MB"] = double(QFileInfo(path).size()) / (1024 * 1024);
}
BENCHMARK(BM_JournalOpen)->Unit(benchmark::kMillisecond);

// A 16-runner race as a load leaves it in the store.
std::unique_ptr<RaceStore> analysedRace(int race)
{
    auto store = std::make_unique<RaceStore>();
    store->raceDate = *serialFromYmd(2026, 11, 29);
    store->raceTitle = QStringLiteral("ベンチステークス");
    store->raceConditions = QStringLiteral("3歳以上 芝1600m");
    store->fieldSize = 16;
    for (const qint32 n : store->runners()) {
        store->horses[n].name = QStringLiteral("ベンチホース%1").arg(n);
        store->horses[n].pageAddress
            = QStringLiteral("https://site1.example/directory/horse/%1/").arg(race * 100 + n);
        store->horses[n].meanFigure = {float(60 + (n * 7) % 16), 5};
        store->horses[n].bestFigure = {float(70 + (n * 5) % 16), 5};
        for (int run = 1; run <= 10; ++run) {
            store->horses[n].runs[run].date = store->raceDate - run * 21;
            store->horses[n].runs[run].course = QStringLiteral("05");
        }
    }
    return store;
}

void BM_RecordRace(benchmark::State &state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(kJournalFile);
    int race = 0;
    for (auto _ : state) {
        const auto store = analysedRace(++race);
        RaceKey key {1, QDate(2026, 11, 29), QStringLiteral("05"), 5, 9, 1 + race % 12};
        key.date = key.date.addDays(-(race / 12));
        Journal::Opened opened = Journal::open(path);
        if (!opened.status.ok() || !opened.value->recordRace(key, *store, 0.3f, QString()).ok()
            || !opened.value->fillResultsFromRuns(1, *store).status.ok())
            state.SkipWithError("the race was not recorded");
    }
}
BENCHMARK(BM_RecordRace)->Unit(benchmark::kMillisecond)->Iterations(200);

// The loopback server with the day's "after the race" pages, and a journal
// holding the day's races with every result pending; made once.
struct ResultsDay {
    test::HttpTestServer server;
    QTemporaryDir folder;
    QString pendingJournal;
    int pages = 0;

    ResultsDay()
    {
        test::ensureCoreApplication();
        const QString base = server.url(QString());
        pendingJournal = folder.filePath(QStringLiteral("pending.sqlite"));
        Journal::Opened opened = Journal::open(pendingJournal);
        for (int r = 1; r <= kDayRaces; ++r) {
            test::SampleRaceOptions options;
            options.race = r;
            options.runners = 16 + r % 3;
            const test::SampleRace race = test::makeSampleRace(options);
            const QMap<QString, QString> after = test::sampleAfterRacePages(race, 1, base);
            for (auto page = after.begin(); page != after.end(); ++page)
                server.route(page.key().mid(base.size()),
                    test::HttpRoute::html(test::samplePageBytes(page.value()), "UTF-8").delayed(kLatencyMs));
            pages += int(after.size());
            RaceStore store;
            const test::RaceCard &card = race.card;
            store.raceDate = *serialFromYmd(card.year, card.month, card.day);
            store.fieldSize = options.runners;
            for (const qint32 n : store.runners())
                store.horses[n].pageAddress = test::sampleHorseAddress(race, 1, base, n);
            const RaceKey key {1, QDate(card.year, card.month, card.day),
                QStringLiteral("%1").arg(card.course, 2, 10, QLatin1Char('0')), card.meeting, card.meetingDay,
                card.race};
            if (opened.value)
                (void)opened.value->recordRace(key, store, 0.3f, base);
        }
    }
};

ResultsDay &theResultsDay()
{
    static ResultsDay day;
    return day;
}

void fetchDay(benchmark::State &state, int inFlight)
{
    ResultsDay &day = theResultsDay();
    int found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = day.folder.filePath(QStringLiteral("journal-%1.sqlite").arg(inFlight));
        QFile::remove(path);
        QFile::copy(day.pendingJournal, path);
        Journal::Opened opened = Journal::open(path);
        NetworkPageSource source;
        source.setMaxInFlight(inFlight);
        SilentProgress progress;
        RecordingSink messages;
        std::atomic<qint16> cancel {0};
        state.ResumeTiming();
        ResultsContext context {*opened.value, {}, source, nullptr, progress, messages, cancel};
        const ResultsOutcome outcome = fetchResults(context, std::nullopt, std::nullopt);
        found = outcome.found() + outcome.notRun();
        if (!outcome.status.ok() || !outcome.failedPages.isEmpty())
            state.SkipWithError("pages failed");
    }
    state.counters["pages"] = day.pages;
    state.counters["results"] = found;
}

void BM_ResultsOneInFlight(benchmark::State &state)
{
    fetchDay(state, 1);
}
BENCHMARK(BM_ResultsOneInFlight)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_ResultsFourInFlight(benchmark::State &state)
{
    fetchDay(state, 4);
}
BENCHMARK(BM_ResultsFourInFlight)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

// A journal of rows / 16 races of 16 runners, twelve races a day at one
// course, and the marks file that names each runner once.
struct MarkedJournal {
    QString path;
    QByteArray file;
};

MarkedJournal markedJournal(int rows)
{
    constexpr int kRunners = 16;
    constexpr int kRacesADay = 12;
    MarkedJournal made;
    made.path = cacheFolder() + QStringLiteral("/journal-marks-%1.sqlite").arg(rows);
    const int races = rows / kRunners;
    auto store = std::make_unique<RaceStore>();
    store->fieldSize = kRunners;
    const QDate first(2020, 1, 4);
    const bool exists = QFileInfo::exists(made.path);
    Journal::Opened opened = Journal::open(made.path);
    if (!opened.status.ok())
        return {};
    QString file = QStringLiteral("日付,場,レース,馬番,印,サイト\r\n");
    const QStringList symbols = {QStringLiteral("◎"), QStringLiteral("○"), QStringLiteral("▲"),
        QStringLiteral("△"), QStringLiteral("☆"), QStringLiteral("×")};
    for (int r = 0; r < races; ++r) {
        const QDate date = first.addDays(r / kRacesADay);
        const int race = r % kRacesADay + 1;
        if (!exists) {
            store->raceDate = *serialFromYmd(date.year(), date.month(), date.day());
            for (const qint32 n : store->runners())
                store->horses[n].pageAddress
                    = QStringLiteral("https://site1.example/directory/horse/%1/").arg(r * 100 + n);
            const RaceKey key {1, date, QStringLiteral("05"), 1, 1 + r / kRacesADay, race};
            if (!opened.value->recordRace(key, *store, 0.35f, QString()).ok())
                return {};
        }
        for (int n = 1; n <= kRunners; ++n)
            file += QStringLiteral("%1,東京,%2,%3,%4,1\r\n")
                        .arg(date.toString(Qt::ISODate))
                        .arg(race)
                        .arg(n)
                        .arg(symbols[std::min(n, int(symbols.size())) - 1]);
    }
    made.file = file.toUtf8();
    return made;
}

void BM_MarksImport(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const MarkedJournal marked = markedJournal(rows);
    if (marked.path.isEmpty()) {
        state.SkipWithError("no journal");
        return;
    }
    for (auto _ : state) {
        Journal::Opened opened = Journal::open(marked.path);
        const MarksImport imported = importMarks(*opened.value, marked.file);
        if (!imported.status.ok() || imported.placed != rows)
            state.SkipWithError("the import failed");
    }
    state.counters["rows_per_s"]
        = benchmark::Counter(double(rows) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MarksImport)
    ->Arg(10000)
    ->Arg(80000)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
