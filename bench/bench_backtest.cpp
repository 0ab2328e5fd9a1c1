// The backtest of the generated sample season (2 courses x 2 meetings x 4
// days x 12 races, 420 horses) from a loopback server that answers every
// page after 150 ms, 4 requests in flight, no rate limit.
//
// - BM_SeasonBacktest: the pages requested against the page-reuse floor (the
//   cards, the walk's probes and each distinct horse once; goal <= 1.02x) and
//   the naive count (cards + runners); the wall time against the network bound
//   (that page count x 150 ms / 4; goal <= 1.15x).
// - BM_BacktestPeakMemory/N: the peak resident memory of a backtest of N
//   meetings (1: 東京 meeting 1; 4: the whole season), each into a fresh
//   application folder; goal: within 15 % of each other.

#include "app/message_sink.h"
#include "driver/backtest.h"
#include "driver/page_cache_setup.h"
#include "support/http_test_server.h"
#include "support/sample_race.h"
#include "support/sample_season.h"
#include "web/network_page_source.h"

#include "peak_memory.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <QTimeZone>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

namespace {

using namespace marunoki;
using test::HttpRoute;
using test::HttpTestServer;

constexpr int kLatencyMs = 150;
constexpr int kInFlight = 4;

const QString kSamples
    = QFileInfo(QString::fromUtf8(__FILE__)).absolutePath() + QStringLiteral("/../samples/");

struct Season {
    HttpTestServer server;
    test::SampleSeason season = test::makeSampleSeason();
    QString base;
    int cards = 0;
    int runners = 0;
    int horses = 0;

    Season()
    {
        test::ensureCoreApplication();
        base = server.url(QString());
        const QMap<QString, QString> pages = test::seasonPages(season, 1, base);
        for (auto page = pages.begin(); page != pages.end(); ++page)
            server.route(page.key().mid(base.size()),
                HttpRoute::html(test::samplePageBytes(page.value()), "UTF-8").delayed(kLatencyMs));
        QSet<int> distinct;
        for (const test::SeasonRace &race : season.races) {
            cards++;
            runners += int(race.horses.size());
            distinct.unite(QSet<int>(race.horses.begin(), race.horses.end()));
        }
        horses = int(distinct.size());
    }
};

Season &theSeason()
{
    static Season season;
    return season;
}

std::map<std::string, double> &figures()
{
    static std::map<std::string, double> f;
    return f;
}

// One backtest into a fresh application folder with its own page cache.
BacktestOutcome backtestInto(const QTemporaryDir &app, const QStringList &courses, int lastMeeting)
{
    Season &s = theSeason();
    QFile::copy(kSamples + QStringLiteral("marunoki.dat"), app.filePath(QStringLiteral("marunoki.dat")));
    Settings settings;
    settings.kakeritu = 0.3f;
    settings.site1Base = s.base;
    settings.keepJournal = true;
    NetworkPageSource network;
    network.setMaxInFlight(kInFlight);
    RecordingSink messages;
    const AppFolder folder(app.path());
    CachedSource cached = withPageCache(network, folder, settings.cache, false, messages);
    const std::atomic<bool> stop {false};
    BacktestContext context {settings, folder, {*cached.source, cached.cache.get()}, messages, stop};
    BacktestRequest request;
    request.year = 2026;
    request.courses = courses;
    request.lastMeeting = lastMeeting;
    request.now = QDateTime(QDate(2026, 12, 1), QTime(12, 0), QTimeZone::utc());
    BacktestObserver quiet;
    return runBacktest(request, context, quiet);
}

void BM_SeasonBacktest(benchmark::State &state)
{
    Season &s = theSeason();
    for (auto _ : state) {
        QTemporaryDir app;
        const int before = s.server.requestCount();
        const auto start = std::chrono::steady_clock::now();
        const BacktestOutcome outcome = backtestInto(app, {QStringLiteral("05"), QStringLiteral("06")}, 10);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (outcome.exitStatus() != 0) {
            for (const QString &problem : outcome.problems())
                std::fprintf(stderr, "%s\n", qPrintable(problem));
            state.SkipWithError("the season was not read whole");
        }
        const int requested = s.server.requestCount() - before;
        // Probes: the day after each meeting's last, the meeting after each course's last.
        const int probes = 2 * 2 + 2;
        const int floor = s.cards + probes + s.horses;
        figures()["requested"] = requested;
        figures()["floor"] = floor;
        figures()["naive"] = s.cards + s.runners;
        figures()["wall"] = wall;
        figures()["bound"] = double(requested) * kLatencyMs / 1000.0 / kInFlight;
        state.counters["pages"] = requested;
    }
}
BENCHMARK(BM_SeasonBacktest)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

using bench::peakKb;

void BM_BacktestPeakMemory(benchmark::State &state)
{
    const int meetings = int(state.range(0));
    long peak = 0;
    for (auto _ : state) {
        QTemporaryDir app;
        peakKb(true);
        const BacktestOutcome outcome = meetings == 1
            ? backtestInto(app, {QStringLiteral("05")}, 1)
            : backtestInto(app, {QStringLiteral("05"), QStringLiteral("06")}, 10);
        if (outcome.exitStatus() != 0)
            state.SkipWithError("the backtest was not read whole");
        peak = peakKb(false);
    }
    state.counters["peak_MB"] = double(peak) / 1024.0;
    figures()["peak " + std::to_string(meetings)] = double(peak) / 1024.0;
}
BENCHMARK(BM_BacktestPeakMemory)->Arg(1)->Arg(4)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const auto &f = figures();
    if (f.count("requested"))
        std::printf(
            "sample season: %.0f pages requested, page-reuse floor %.0f (%.3fx, goal <= 1.02x), naive "
            "%.0f (%.2fx the requested); wall %.1f s, network bound %.1f s (%.3fx, goal <= 1.15x)\n",
            f.at("requested"), f.at("floor"), f.at("requested") / f.at("floor"), f.at("naive"),
            f.at("naive") / f.at("requested"), f.at("wall"), f.at("bound"), f.at("wall") / f.at("bound"));
    if (f.count("peak 1") && f.count("peak 4"))
        std::printf(
            "peak memory of a backtest: 1 meeting %.1f MB, 4 meetings %.1f MB (%.3fx, goal within 15 %%)\n",
            f.at("peak 1"), f.at("peak 4"), f.at("peak 4") / f.at("peak 1"));
    return 0;
}
