// The request rate as a site sees it: the settings file says `[web] rate=4`,
// the pages come through the sources every command uses (network behind the
// page cache, four in flight) from a loopback server that takes 150 ms a page,
// and the server's log is counted second by second. Goal: no second of the log
// holds more than 4 requests started; the time taken shows the rate was not
// kept by accident (32 pages at 4 a second take about 8 s, at 4 in flight
// without a limit about 1.2 s).

#include "app/message_sink.h"
#include "driver/page_sources.h"
#include "settings/settings.h"
#include "support/http_test_server.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <cstdio>

namespace {

using namespace marunoki;
using test::HttpRoute;
using test::HttpTestServer;

constexpr int kPages = 32;
constexpr int kLatencyMs = 150;

struct Figures {
    int requests = 0;
    int mostInACalendarSecond = 0;
    int mostInAnySecond = 0;
    double seconds = 0;
    double rate = 0;
};

Figures &figures()
{
    static Figures f;
    return f;
}

void BM_RequestRate(benchmark::State &state)
{
    test::ensureCoreApplication();
    HttpTestServer server;
    QStringList urls;
    for (int i = 1; i <= kPages; ++i) {
        const QString path = QStringLiteral("/directory/horse/%1/index.html").arg(i);
        server.route(path,
            HttpRoute::html(QStringLiteral("<html><body>馬%1</body></html>").arg(i).toUtf8(), "UTF-8")
                .delayed(kLatencyMs));
        urls.append(server.url(path));
    }
    QTemporaryDir dir;
    const AppFolder folder(dir.path());
    {
        QFile ini(settingsFile(folder));
        if (!ini.open(QIODevice::WriteOnly) || ini.write("[web]\r\nrate=4\r\n") < 0)
            state.SkipWithError("settings file not written");
    }
    RecordingSink messages;
    const Settings settings = readSettings(folder, messages);
    for (auto _ : state) {
        PageSourceChoice choice;
        choice.maxInFlight = 4;
        choice.refresh = true;  // every page from the server, none from the cache
        const PageSources sources = makePageSources(choice, folder, settings, messages);
        const auto start = std::chrono::steady_clock::now();
        sources.source->prefetch(urls);
        const std::atomic<qint16> flag {0};
        for (const QString &url : urls)
            if (sources.source->fetch(url, flag).outcome != FetchedPage::Outcome::Ok)
                state.SkipWithError("page not read");
        figures().seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const QList<qint64> times = server.requestTimes();
    QMap<qint64, int> perSecond;
    for (qint64 t : times)
        perSecond[t / 1000] += 1;
    Figures &f = figures();
    f.requests = int(times.size());
    f.rate = settings.requestRate;
    for (int n : perSecond)
        f.mostInACalendarSecond = std::max(f.mostInACalendarSecond, n);
    for (qsizetype i = 0; i < times.size(); ++i)
        f.mostInAnySecond = std::max(f.mostInAnySecond,
            int(std::count_if(
                times.begin() + i, times.end(), [&](qint64 t) { return t < times[i] + 1000; })));
}
BENCHMARK(BM_RequestRate)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const Figures &f = figures();
    if (f.requests > 0)
        std::printf("rate=%g: %d requests in %.2f s; most started in one second of the server's log: %d "
                    "(in any 1 s window: %d); goal <= %g\n",
            f.rate, f.requests, f.seconds, f.mostInACalendarSecond, f.mostInAnySecond, f.rate);
    return 0;
}
