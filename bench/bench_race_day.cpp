// A whole race day over the network: 12 races of 16 to 18 runners from a
// loopback server that takes 150 ms to answer each page.
//
// - BM_DayRaceAfterRace: race after race, one request at a time (the way a
//   user loading each race by hand with one request in flight would).
// - BM_DayAcrossRaces: the day command's way, 4 requests in flight counted
//   over all races, the next race's card and runners' pages fetched while the
//   current race is read and analysed. Goal: at least 3.6 times as fast.
// - BM_CachedRace against BM_NetworkRace: one race of a day already in the
//   page cache, against the same race from the network (4 in flight). Goal:
//   under 50 ms.
// - BM_DayPeakMemory/N: the peak resident memory of a day of N races (the
//   process's high-water mark reset before it); goal: the same for 3 and 12.

#include "app/message_sink.h"
#include "app/race_store.h"
#include "driver/day_driver.h"
#include "driver/load_driver.h"
#include "driver/page_cache_setup.h"
#include "support/http_test_server.h"
#include "support/sample_race.h"
#include "web/network_page_source.h"
#include "web/page_loader.h"

#include "peak_memory.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <string>

namespace {

using namespace marunoki;
using test::HttpRoute;
using test::HttpTestServer;

constexpr int kRaces = 12;
constexpr int kLatencyMs = 150;

const QString kSamples
    = QFileInfo(QString::fromUtf8(__FILE__)).absolutePath() + QStringLiteral("/../samples/");

class SilentProgress : public ProgressSink {
public:
    void status(const QString &) override { }
};

class CountingObserver : public DayObserver {
public:
    void raceStarting(int, int, int) override { }
    void raceFinished(const DayRace &, RaceStore &, int, int) override { }
};

// The server with the day's pages and an application folder with the sample
// track database; made once.
struct Day {
    HttpTestServer server;
    QTemporaryDir app;
    Settings settings;
    int pages = 0;

    Day()
    {
        test::ensureCoreApplication();
        const QString base = server.url(QString());
        for (int r = 1; r <= kRaces; ++r) {
            test::SampleRaceOptions options;
            options.race = r;
            options.runners = 16 + r % 3;
            const QMap<QString, QString> site = test::samplePages(test::makeSampleRace(options), 1, base);
            for (auto page = site.begin(); page != site.end(); ++page)
                server.route(page.key().mid(base.size()),
                    HttpRoute::html(test::samplePageBytes(page.value()), "UTF-8").delayed(kLatencyMs));
            pages += int(site.size());
        }
        QFile::copy(kSamples + QStringLiteral("marunoki.dat"), app.filePath(QStringLiteral("marunoki.dat")));
        settings.kakeritu = 0.3f;
        settings.site1Base = base;
        settings.cache.cardHours = 1;
    }

    DaySelection day(int races = kRaces) const
    {
        return {QStringLiteral("2026"), QStringLiteral("東京"), QStringLiteral("05"), QStringLiteral("09"),
            ReadingSite::One, 1, races};
    }
    AppFolder folder() const { return AppFolder(app.path()); }
};

Day &theDay()
{
    static Day day;
    return day;
}

std::map<std::string, double> &seconds()
{
    static std::map<std::string, double> s;
    return s;
}

// Loads one race with its own store; false when it was not analysed.
bool loadRace(Day &day, PageSource &source, int race)
{
    RaceStore store;
    SilentProgress progress;
    RecordingSink messages;
    LoadContext context {store, day.settings, day.folder(), source, progress, messages};
    return runLoad(day.day().race(race), context).analysed;
}

int runWholeDay(Day &day, PageSource &source, int races = kRaces)
{
    RaceStore store;
    SilentProgress progress;
    RecordingSink messages;
    const std::atomic<bool> stop {false};
    DayContext context {store, day.settings, day.folder(), source, progress, messages, stop};
    CountingObserver observer;
    return runDay(day.day(races), context, observer).analysedCount();
}

template <typename F>
void timed(benchmark::State &state, const std::string &name, F &&work)
{
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (!work())
            state.SkipWithError("a race was not analysed");
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    seconds()[name] = total / double(state.iterations());
}

void BM_DayRaceAfterRace(benchmark::State &state)
{
    Day &day = theDay();
    timed(state, "serial", [&] {
        NetworkPageSource source;
        source.setMaxInFlight(1);
        for (int r = 1; r <= kRaces; ++r) {
            if (!loadRace(day, source, r))
                return false;
        }
        return true;
    });
}
BENCHMARK(BM_DayRaceAfterRace)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_DayAcrossRaces(benchmark::State &state)
{
    Day &day = theDay();
    timed(state, "day", [&] {
        NetworkPageSource source;
        source.setMaxInFlight(4);
        return runWholeDay(day, source) == kRaces;
    });
}
BENCHMARK(BM_DayAcrossRaces)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_NetworkRace(benchmark::State &state)
{
    Day &day = theDay();
    timed(state, "network race", [&] {
        NetworkPageSource source;
        source.setMaxInFlight(4);
        return loadRace(day, source, 11);
    });
}
BENCHMARK(BM_NetworkRace)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_CachedRace(benchmark::State &state)
{
    Day &day = theDay();
    NetworkPageSource network;
    network.setMaxInFlight(4);
    RecordingSink messages;
    {
        // The night before: the whole day into the cache.
        CachedSource filling = withPageCache(network, day.folder(), day.settings.cache, true, messages);
        if (runWholeDay(day, *filling.source) != kRaces)
            state.SkipWithError("the day was not filled");
    }
    CachedSource cached = withPageCache(network, day.folder(), day.settings.cache, false, messages);
    timed(state, "cached race", [&] { return loadRace(day, *cached.source, 11); });
}
BENCHMARK(BM_CachedRace)->Iterations(10)->UseRealTime()->Unit(benchmark::kMillisecond);

using bench::peakKb;

void BM_DayPeakMemory(benchmark::State &state)
{
    Day &day = theDay();
    const int races = int(state.range(0));
    long peak = 0;
    for (auto _ : state) {
        NetworkPageSource source;
        source.setMaxInFlight(4);
        peakKb(true);
        if (runWholeDay(day, source, races) != races)
            state.SkipWithError("a race was not analysed");
        peak = peakKb(false);
    }
    state.counters["peak_MB"] = double(peak) / 1024.0;
    seconds()["peak " + std::to_string(races)] = double(peak) / 1024.0;
}
BENCHMARK(BM_DayPeakMemory)->Arg(3)->Arg(12)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const auto &s = seconds();
    if (s.count("serial") && s.count("day"))
        std::printf("day of %d races: race after race with 1 in flight %.1f s, across races with 4 in flight "
                    "%.1f s, speed-up %.2fx (goal >= 3.6x)\n",
            kRaces, s.at("serial"), s.at("day"), s.at("serial") / s.at("day"));
    if (s.count("network race") && s.count("cached race"))
        std::printf("one race: from the network %.0f ms, from the cache %.1f ms (goal < 50 ms)\n",
            s.at("network race") * 1000, s.at("cached race") * 1000);
    if (s.count("peak 3") && s.count("peak 12"))
        std::printf(
            "peak memory of a day: 3 races %.1f MB, 12 races %.1f MB\n", s.at("peak 3"), s.at("peak 12"));
    return 0;
}
