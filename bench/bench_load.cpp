// One whole race load without the network: the bundled sample race (16 runners,
// Site 1, local-racing merge) from its page archive through the card, every
// horse page, the merge and the analysis, and the JSON export of the result.
// The network's share of a real load is the sites' latency, which prefetching
// overlaps; what is measured here is everything the program does itself.

#include "app/message_sink.h"
#include "app/race_store.h"
#include "driver/load_driver.h"
#include "output/race_json.h"
#include "settings/settings.h"
#include "web/page_archive.h"
#include "web/page_loader.h"

#include "sample_race_load.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

using namespace marunoki;

namespace {

void sampleLoad(benchmark::State &state)
{
    const PageArchive archive(kSamples + QStringLiteral("site1"));
    OfflinePageSource source(archive);
    RaceStore store;
    for (auto _ : state) {
        if (!loadSample(store, source)) {
            state.SkipWithError("the sample race did not load cleanly");
            break;
        }
        benchmark::DoNotOptimize(store.referenceFigure);
    }
}

void raceJson(benchmark::State &state)
{
    RaceStore store;
    if (!loadSampleRace(store)) {
        state.SkipWithError("the sample race did not load cleanly");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(raceStoreJson(store));
}

}  // namespace

BENCHMARK(sampleLoad)->Name("Load/SampleRaceOffline")->Unit(benchmark::kMillisecond);
BENCHMARK(raceJson)->Name("Load/RaceJson")->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
