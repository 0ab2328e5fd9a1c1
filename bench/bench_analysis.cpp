// The analysis of one race: 18 runners with 50 past runs each (30 from the horse
// pages, 20 merged from the local-racing database), figures from a track database
// of 100,000 T_sisuu rows and a local-racing database of 1,000,000 result rows.
//
// Two ways are measured per race:
// - AnalysisOpenOnce: the load's way. marunoki.dat and NAR_data.mdb are opened once,
//   the 18 merges (one NarMerge) and the whole analysis run on those connections.
// - AnalysisConnectionPerRunner: a fresh connection to each file for every runner's
//   merge (readNar) and every runner pass, the straightforward way, for comparison.
//
// The database files are generated once (this takes a while) into
// $MARUNOKI_BENCH_CACHE, else <temp>/marunoki-bench, and reused by later runs.

#include "analysis/runner_statistics.h"
#include "analysis/speed_figures.h"
#include "analysis/track_db.h"
#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "db/database.h"
#include "db/stored_date.h"
#include "local/nar_merge.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

using namespace marunoki;

namespace {

constexpr int kDays = 5000;  // days of track data before the race
constexpr int kCentralCourses = 10;
constexpr int kRacesPerDay = 20;  // local races: 100,000 in all
constexpr int kEntriesPerRace = 10;  // local results: 1,000,000 in all
constexpr int kLocalHorses = 50000;
constexpr int kPageRuns = 30;  // runs from each runner's page
constexpr int kLocalRunsPerRunner = 25;  // more than there is room for
constexpr const char *kFormat = "v3";  // change when the generated content changes

const double kRaceDay = 39356;  // 1 October 2007
const double kFirstDay = kRaceDay - kDays;

const QStringList &localCourses()
{
    static const QStringList names = {"大井", "川崎", "船橋", "浦和", "門別", "盛岡", "水沢", "金沢", "笠松",
        "名古屋", "園田", "姫路", "高知", "佐賀", "帯広"};
    return names;
}

QString day(double serial)
{
    return QString::fromStdString(storedDay(serial));
}

QString runnerName(int h)
{
    return QStringLiteral("ベンチランナー%1").arg(h);
}

[[noreturn]] void fail(const QString &what)
{
    std::fprintf(stderr, "bench_analysis: %s\n", what.toLocal8Bit().constData());
    std::exit(1);
}

// A writable connection for generating one file.
class Writer {
public:
    explicit Writer(const QString &path)
        : name_(QUuid::createUuid().toString())
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path);
        if (!db.open())
            fail(db.lastError().text());
        exec("PRAGMA journal_mode = OFF");
        exec("PRAGMA synchronous = OFF");
    }
    ~Writer()
    {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    void exec(const QString &sql)
    {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        if (!query.exec(sql))
            fail(sql + QStringLiteral(": ") + query.lastError().text());
    }
    // One prepared statement for many rows, inside the caller's transaction.
    QSqlQuery prepare(const QString &sql)
    {
        QSqlQuery query(QSqlDatabase::database(name_, false));
        if (!query.prepare(sql))
            fail(sql + QStringLiteral(": ") + query.lastError().text());
        return query;
    }
    static void run(QSqlQuery &query, const QVariantList &values)
    {
        for (int i = 0; i < values.size(); ++i)
            query.bindValue(i, values[i]);
        if (!query.exec())
            fail(query.lastError().text());
    }

private:
    QString name_;
};

void createTrackTables(Writer &w)
{
    w.exec("CREATE TABLE version(date TEXT)");
    w.exec("CREATE TABLE T_sisuu(S_date TEXT, S_zyo TEXT, S_siba INTEGER, S_sisuu REAL)");
    w.exec("CREATE TABLE T_avetime(A_class TEXT, A_kyori INTEGER, A_zyo TEXT, A_siba INTEGER, A_time REAL, "
           "A_sin_kyu INTEGER)");
}

// The indexes the import of an Access file gives its cached copy.
void createTrackIndexes(Writer &w)
{
    w.exec("CREATE INDEX mk_T_sisuu_day ON T_sisuu(S_date, S_zyo, S_siba, S_sisuu)");
    w.exec(
        "CREATE INDEX mk_T_avetime_course ON T_avetime(A_kyori, A_zyo, A_siba, A_class, A_sin_kyu, A_time)");
}

void generateCentral(const QString &path, std::mt19937 &random)
{
    Writer w(path);
    createTrackTables(w);
    w.exec("BEGIN");
    w.exec("INSERT INTO version VALUES ('2007-09-30')");
    std::uniform_real_distribution<double> variant(-1.5, 1.5);
    QSqlQuery sisuu = w.prepare("INSERT INTO T_sisuu VALUES (?, ?, ?, ?)");
    for (int d = 0; d < kDays; ++d) {
        for (int c = 1; c <= kCentralCourses; ++c) {
            for (int siba : {0, 1})
                Writer::run(sisuu,
                    {day(kFirstDay + d), QStringLiteral("%1").arg(c, 2, 10, QChar(u'0')), siba,
                        variant(random)});
        }
    }
    QSqlQuery average = w.prepare("INSERT INTO T_avetime VALUES (?, ?, ?, ?, ?, 0)");
    for (const char *cls : {"ave", "G1", "500万"}) {
        for (int kyori = 1000; kyori <= 3600; kyori += 100) {
            for (int c = 1; c <= kCentralCourses; ++c) {
                for (int siba : {0, 1})
                    Writer::run(average,
                        {QString::fromUtf8(cls), kyori, QStringLiteral("%1").arg(c, 2, 10, QChar(u'0')), siba,
                            kyori * 0.0605 + siba * 0.4});
            }
        }
    }
    w.exec("COMMIT");
    createTrackIndexes(w);
}

void generateLocal(const QString &path, std::mt19937 &random)
{
    Writer w(path);
    createTrackTables(w);
    w.exec(
        "CREATE TABLE T_Rdata(R_code TEXT, R_date TEXT, R_zyo TEXT, R_no INTEGER, R_name TEXT, R_class TEXT, "
        "R_kyori INTEGER, R_baba INTEGER, R_zyo02 TEXT, R_tousuu INTEGER, R_siba INTEGER)");
    w.exec("CREATE TABLE T_Useiseki(R_code TEXT, U_name TEXT, U_kisyu TEXT, U_waku INTEGER, U_no INTEGER, "
           "U_ninki INTEGER, U_cyaku INTEGER, U_time REAL, U_cyakusa REAL, U_3f REAL, U_taizyu INTEGER, "
           "U_hutan REAL, U_cyoukyou TEXT, U_tuka01 INTEGER, U_tuka02 INTEGER, U_tuka03 INTEGER, "
           "U_tuka04 INTEGER)");
    const QStringList &courses = localCourses();
    std::uniform_real_distribution<double> variant(-1.5, 1.5);
    std::uniform_int_distribution<int> horse(0, kLocalHorses - 1);
    std::uniform_real_distribution<double> spread(-2.0, 3.0);

    w.exec("BEGIN");
    QSqlQuery sisuu = w.prepare("INSERT INTO T_sisuu VALUES (?, ?, 0, ?)");
    for (int d = 0; d < kDays; ++d) {
        for (const QString &course : courses)
            Writer::run(sisuu, {day(kFirstDay + d), course, variant(random)});
    }
    QSqlQuery average = w.prepare("INSERT INTO T_avetime VALUES ('ave', ?, ?, 0, ?, ?)");
    for (int kyori = 800; kyori <= 2600; kyori += 100) {
        for (const QString &course : courses) {
            for (int sinKyu : {0, 1})
                Writer::run(average, {kyori, course, kyori * 0.064, sinKyu});
        }
    }

    QSqlQuery race = w.prepare("INSERT INTO T_Rdata VALUES (?, ?, ?, ?, ?, 'C2', ?, 1, '', ?, 0)");
    QSqlQuery entry
        = w.prepare("INSERT INTO T_Useiseki VALUES (?, ?, '騎手', ?, ?, ?, ?, ?, 0.5, ?, 470, 55.0, "
                    "'調教師', 3, 3, 2, 1)");
    auto addEntry = [&](const QString &code, const QString &name, int kyori, int place) {
        const double time = kyori * 0.064 + spread(random);
        Writer::run(
            entry, {code, name, (place + 1) / 2, place, place, place, time, 37.5 + spread(random) / 4});
    };
    const int races = kDays * kRacesPerDay;
    for (int i = 0; i < races; ++i) {
        const int d = i / kRacesPerDay;
        const QString code = QString::number(i);
        const QString &course = courses[(i / 12) % courses.size()];
        const int kyori = 1000 + 100 * (i % 11);
        Writer::run(race,
            {code, day(kFirstDay + d), course, i % 12 + 1, QStringLiteral("一般"), kyori, kEntriesPerRace});
        for (int place = 1; place <= kEntriesPerRace; ++place)
            addEntry(code, QStringLiteral("ウマ%1").arg(horse(random)), kyori, place);
    }
    // Today's runners ran locally too: 25 races each in the last 400 days.
    for (int h = 1; h <= kMaxRunners; ++h) {
        for (int k = 0; k < kLocalRunsPerRunner; ++k) {
            const int d = kDays - 400 + k * 15 + h % 15;
            const int i = d * kRacesPerDay + h;
            addEntry(QString::number(i), runnerName(h), 1000 + 100 * (i % 11), kEntriesPerRace + 1);
        }
    }
    w.exec("COMMIT");
    createTrackIndexes(w);
    w.exec("CREATE INDEX mk_T_Useiseki_name ON T_Useiseki(U_name)");
    w.exec("CREATE INDEX mk_T_Useiseki_code ON T_Useiseki(R_code)");
    w.exec("CREATE INDEX mk_T_Rdata_code ON T_Rdata(R_code)");
    w.exec("CREATE INDEX mk_T_Rdata_date ON T_Rdata(R_date)");
}

struct Files {
    QString central;
    QString local;
};

const Files &files()
{
    static const Files generated = [] {
        QString folder = qEnvironmentVariable("MARUNOKI_BENCH_CACHE");
        if (folder.isEmpty())
            folder = QDir::tempPath() + QStringLiteral("/marunoki-bench");
        folder += QStringLiteral("/") + QLatin1String(kFormat);
        QDir().mkpath(folder);
        Files f {folder + QStringLiteral("/marunoki.dat"), folder + QStringLiteral("/NAR_data.mdb")};
        std::mt19937 random(20071001);
        for (auto [path, generate] : {std::pair {f.central, &generateCentral}, {f.local, &generateLocal}}) {
            if (QFile::exists(path))
                continue;
            std::fprintf(stderr, "generating %s ...\n", path.toLocal8Bit().constData());
            const QString partial = path + QStringLiteral(".partial");
            QFile::remove(partial);
            generate(partial, random);
            if (!QFile::rename(partial, path))
                fail(QStringLiteral("cannot rename ") + partial);
        }
        return f;
    }();
    return generated;
}

// Today's card as the readers leave it: 18 runners with 30 runs from their pages.
void fillCard(RaceStore &store)
{
    store.clearForLoad();
    store.raceDate = kRaceDay;
    store.fieldSize = kMaxRunners;
    for (int h = 1; h <= kMaxRunners; ++h) {
        store.horses[h].name = runnerName(h);
        store.horses[h].runs[0].date = kRaceDay;
        for (int r = 1; r <= kPageRuns; ++r) {
            const int k = r - 1;
            store.horses[h].runs[r].date = kRaceDay - 3 - 13 * k - h % 7;
            store.horses[h].runs[r].course
                = QStringLiteral("%1").arg(k % kCentralCourses + 1, 2, 10, QChar(u'0'));
            store.horses[h].runs[r].raceNumber = k % 12 + 1;
            store.horses[h].runs[r].surface = k % 2;
            store.horses[h].runs[r].distance = 1200 + 200 * (k % 8);
            store.horses[h].runs[r].time
                = static_cast<float>(store.horses[h].runs[r].distance * 0.0605 + (h % 5) * 0.2 - 0.4);
            store.horses[h].runs[r].last3f = 35.0f + static_cast<float>(k % 4) * 0.3f;
            store.horses[h].runs[r].finish = (h + r) % 12 + 1;
            store.horses[h].runs[r].cornerPositions[1] = (h * 3 + r) % 14 + 1;
        }
    }
}

std::unique_ptr<Database> openOrFail(const QString &path)
{
    QString error;
    auto db = Database::openQuietly(path, &error);
    if (!db)
        fail(error);
    return db;
}

// The load's way: both files opened once for the merges and the analysis.
void analyseOpenOnce(RaceStore &store, MessageSink &sink)
{
    auto central = openOrFail(files().central);
    auto local = openOrFail(files().local);
    {
        NarMerge merge(*local);
        for (int h = 1; h <= store.fieldSize; ++h) {
            merge.merge(store, h, sink);
        }
        TrackDatabase centralTrack(*central, TrackDatabase::Kind::Central);
        TrackDatabase localTrack(*local, TrackDatabase::Kind::Local);
        analyseRace(store, AnalysisSources {&centralTrack, &localTrack}, 0.3f, sink);
    }
}

// A fresh connection to each file for every runner's merge and runner pass.
void analyseConnectionPerRunner(RaceStore &store, MessageSink &sink)
{
    for (int h = 1; h <= store.fieldSize; ++h) {
        auto nar = openOrFail(files().local);
        readNar(store, h, nar.get(), sink);
    }
    for (int h = 1; h <= store.fieldSize; ++h) {
        auto central = openOrFail(files().central);
        auto local = openOrFail(files().local);
        {
            TrackDatabase centralTrack(*central, TrackDatabase::Kind::Central);
            TrackDatabase localTrack(*local, TrackDatabase::Kind::Local);
            computeRunnerFigures(store, h, AnalysisSources {&centralTrack, &localTrack}, sink);
        }
        runnerStatistics(store, h, sink);
    }
    topThreeMeans(store);
    referenceLine(store, 0.3f, sink);
    store.graphBase = graphBaseOf(store);
}

template <void (*analyse)(RaceStore &, MessageSink &)>
void raceAnalysis(benchmark::State &state)
{
    files();
    auto store = std::make_unique<RaceStore>();
    RecordingSink sink;
    for (auto _ : state) {
        state.PauseTiming();
        fillCard(*store);
        state.ResumeTiming();
        analyse(*store, sink);
        benchmark::DoNotOptimize(store->horses[kMaxRunners].runs[kMaxRuns].speedFigure);
    }
    if (!sink.messages().isEmpty())
        state.SkipWithError(sink.messages().first().toLocal8Bit().constData());
    int runs = 0;
    int figures = 0;
    for (int h = 1; h <= kMaxRunners; ++h) {
        for (int r = 1; r <= kMaxRuns; ++r) {
            runs += store->horses[h].runs[r].date > 0 ? 1 : 0;
            figures += store->horses[h].runs[r].speedFigure != 0.0f ? 1 : 0;
        }
    }
    state.counters["runs"] = runs;
    state.counters["figures"] = figures;
}

// Both ways must give the same store; and the merge must find its rows by name.
void checkSetup()
{
    RecordingSink sink;
    auto once = std::make_unique<RaceStore>();
    auto fresh = std::make_unique<RaceStore>();
    fillCard(*once);
    fillCard(*fresh);
    analyseOpenOnce(*once, sink);
    analyseConnectionPerRunner(*fresh, sink);
    bool same = once->referenceFigure == fresh->referenceFigure;
    for (int n = 0; n < kRunnerSlots; ++n) {
        for (int r = 0; r < kRunSlots; ++r) {
            const Run &a = once->horses[n].runs[r];
            const Run &b = fresh->horses[n].runs[r];
            same = same && a.speedFigure == b.speedFigure && a.last3fFigure == b.last3fFigure
                && a.date == b.date;
        }
    }
    if (!same)
        fail(QStringLiteral("the two ways gave different results"));

    auto db = openOrFail(files().local);
    QSqlQuery plan(db->connection());
    plan.exec("EXPLAIN QUERY PLAN SELECT * FROM T_Rdata LEFT JOIN T_Useiseki ON T_Rdata.R_code = "
              "T_Useiseki.R_code WHERE U_name = 'x' AND substr(R_date, 1, 10) < '2007-10-01' AND "
              "substr(R_date, 1, 10) > '2006-08-07' ORDER BY R_date DESC");
    std::fprintf(stderr, "merge query plan:\n");
    while (plan.next())
        std::fprintf(stderr, "  %s\n", plan.value(3).toString().toLocal8Bit().constData());
}

}  // namespace

// The parts of one race, each measured alone on connections that stay open.
struct OpenRace {
    OpenRace()
        : central(openOrFail(files().central))
        , local(openOrFail(files().local))
        , store(std::make_unique<RaceStore>())
    { }
    void card()
    {
        fillCard(*store);
        NarMerge merge(*local);
        for (int h = 1; h <= store->fieldSize; ++h) {
            merge.merge(*store, h, sink);
        }
    }
    void figures(TrackDatabase &centralTrack, TrackDatabase &localTrack)
    {
        for (int h = 1; h <= store->fieldSize; ++h) {
            computeRunnerFigures(*store, h, AnalysisSources {&centralTrack, &localTrack}, sink);
        }
    }
    void report(benchmark::State &state) const
    {
        if (!sink.messages().isEmpty())
            state.SkipWithError(sink.messages().first().toLocal8Bit().constData());
    }

    std::unique_ptr<Database> central, local;
    std::unique_ptr<RaceStore> store;
    RecordingSink sink;
};

// The 18 merges of one race.
void merges(benchmark::State &state)
{
    OpenRace race;
    for (auto _ : state) {
        state.PauseTiming();
        fillCard(*race.store);
        state.ResumeTiming();
        NarMerge merge(*race.local);
        for (int h = 1; h <= race.store->fieldSize; ++h) {
            merge.merge(*race.store, h, race.sink);
        }
    }
    race.report(state);
}

// The 18 runner passes, on track databases made afresh for each race.
void runnerPasses(benchmark::State &state)
{
    OpenRace race;
    race.card();
    for (auto _ : state) {
        TrackDatabase centralTrack(*race.central, TrackDatabase::Kind::Central);
        TrackDatabase localTrack(*race.local, TrackDatabase::Kind::Local);
        race.figures(centralTrack, localTrack);
    }
    race.report(state);
}

// The runner and race statistics of one race.
void statistics(benchmark::State &state)
{
    OpenRace race;
    for (auto _ : state) {
        state.PauseTiming();
        race.card();
        {
            TrackDatabase centralTrack(*race.central, TrackDatabase::Kind::Central);
            TrackDatabase localTrack(*race.local, TrackDatabase::Kind::Local);
            race.figures(centralTrack, localTrack);
        }
        state.ResumeTiming();
        for (int h = 1; h <= race.store->fieldSize; ++h) {
            runnerStatistics(*race.store, h, race.sink);
        }
        topThreeMeans(*race.store);
        referenceLine(*race.store, 0.3f, race.sink);
        race.store->graphBase = graphBaseOf(*race.store);
    }
    race.report(state);
}

// Opening both files.
void openBothFiles(benchmark::State &state)
{
    for (auto _ : state) {
        auto central = openOrFail(files().central);
        auto local = openOrFail(files().local);
        benchmark::DoNotOptimize(central.get());
        benchmark::DoNotOptimize(local.get());
    }
}

BENCHMARK(raceAnalysis<analyseOpenOnce>)->Name("AnalysisOpenOnce")->Unit(benchmark::kMillisecond);
BENCHMARK(raceAnalysis<analyseConnectionPerRunner>)
    ->Name("AnalysisConnectionPerRunner")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(merges)->Name("Part/Merges")->Unit(benchmark::kMillisecond);
BENCHMARK(runnerPasses)->Name("Part/RunnerPasses")->Unit(benchmark::kMillisecond);
BENCHMARK(statistics)->Name("Part/Statistics")->Unit(benchmark::kMillisecond);
BENCHMARK(openBothFiles)->Name("Part/OpenBothFiles")->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    files();
    checkSetup();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
