// Loading a whole race over the network: the card, then the 18 runners' pages,
// from a loopback server that takes 150 ms to answer each page (a site's usual
// latency), with one request at a time and with four in flight. The card must
// be read before the runners' addresses are known, so four in flight can save
// at most the waits of the runner pages. Goal: four in flight at least 2.85
// times as fast as one.

#include "app/message_sink.h"
#include "support/fake_page_source.h"
#include "support/http_test_server.h"
#include "web/network_page_source.h"
#include "web/page_loader.h"

#include <benchmark/benchmark.h>

#include <QStringEncoder>

#include <cstdio>
#include <map>

namespace {

using namespace marunoki;
using test::HttpRoute;
using test::HttpTestServer;

constexpr int kRunners = 18;
constexpr int kLatencyMs = 150;

// A runner page of realistic size (about 60 KB of Shift_JIS): a profile and
// 50 result rows with links, CR LF line ends.
QByteArray horsePage(int n)
{
    QString html
        = QStringLiteral("<html><head><meta charset=\"Shift_JIS\"><title>馬%1</title></head><body>\r\n"
                         "<table><tr><td>生年月日</td><td>2003年4月1日</td></tr></table>\r\n"
                         "<table><tr><td>平地競走成績</td></tr>\r\n<tr><td>年月日</td></tr>\r\n")
              .arg(n);
    for (int r = 0; r < 50; ++r)
        html += QStringLiteral(
            "<tr><td><a href=\"/scores/2007/05/02/%1/%2/\">07/%3/%4</a></td><td>東京</td>"
            "<td>芝1600</td><td>良</td><td>16</td><td>%5</td><td>%6</td><td>3</td><td>5.2</td>"
            "<td>2</td><td><a href=\"/jockey/%7\">見本一騎</a></td><td>57</td><td>480（+2）</td>"
            "<td>1.34.5</td><td>34.2</td><td>3-3-2-1</td></tr>\r\n")
                    .arg(r % 12 + 1, 2, 10, QLatin1Char('0'))
                    .arg(r % 12 + 1, 2, 10, QLatin1Char('0'))
                    .arg(r % 12 + 1)
                    .arg(r % 28 + 1)
                    .arg(r % 8 + 1)
                    .arg(r % 16 + 1)
                    .arg(r);
    html += QStringLiteral("</table>\r\n");
    while (html.size() < 30000)
        html += QStringLiteral("<p class=\"note\">この馬の近走は安定しています。</p>\r\n");
    QStringEncoder sjis("Shift_JIS");
    return sjis(html + QStringLiteral("</body></html>"));
}

QByteArray cardPage(const HttpTestServer &server)
{
    QString html = QStringLiteral("<html><body><table>\r\n<tr><td>出馬表</td></tr>\r\n");
    for (int n = 1; n <= kRunners; ++n)
        html += QStringLiteral(
            "<tr><td>%1</td><td><a href=\"%2\">馬%1</a></td><td>牡4</td><td>57kg 見本一騎</td></tr>\r\n")
                    .arg(n)
                    .arg(server.url(QStringLiteral("/directory/horse/%1/index.html").arg(n)));
    QStringEncoder sjis("Shift_JIS");
    return sjis(html + QStringLiteral("</table></body></html>"));
}

struct Race {
    HttpTestServer server;
    QString cardUrl;
    QStringList horseUrls;

    Race()
    {
        test::ensureCoreApplication();
        cardUrl = server.url(QStringLiteral("/scores/2007/05/02/12/11/denma.html"));
        server.route(QStringLiteral("/scores/2007/05/02/12/11/denma.html"),
            HttpRoute::html(cardPage(server), "Shift_JIS").delayed(kLatencyMs));
        for (int n = 1; n <= kRunners; ++n) {
            const QString path = QStringLiteral("/directory/horse/%1/index.html").arg(n);
            server.route(path, HttpRoute::html(horsePage(n)).delayed(kLatencyMs));
            horseUrls.append(server.url(path));
        }
    }
};

std::map<int, double> &secondsPerRace()
{
    static std::map<int, double> seconds;
    return seconds;
}

void BM_LoadRace(benchmark::State &state)
{
    static Race race;
    const int inFlight = int(state.range(0));
    double total = 0;
    for (auto _ : state) {
        NetworkPageSource source;
        source.setMaxInFlight(inFlight);
        test::RecordingProgress progress;
        RecordingSink messages;
        std::atomic<qint16> flag {0};
        PageLoader loader(source, progress, messages, flag);
        PageTable card;
        PageRequest cardRequest;
        cardRequest.check = [](const PageTable &t) { return t.cell(1, 1) == QStringLiteral("出馬表"); };
        const auto start = std::chrono::steady_clock::now();
        if (loader.load(race.cardUrl, cardRequest, card) != PageStatus::Read)
            state.SkipWithError(("card not read: " + messages.messages().join(u' ')).toStdString().c_str());
        // The card reader finds the runners' addresses; the driver fetches them ahead.
        loader.prefetch(race.horseUrls);
        PageRequest horseRequest;
        horseRequest.check
            = [](const PageTable &t) { return t.cell(2, 1) == QStringLiteral("平地競走成績"); };
        for (const QString &url : race.horseUrls) {
            PageTable table;
            if (loader.load(url, horseRequest, table) != PageStatus::Read)
                state.SkipWithError("runner page not read");
        }
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    secondsPerRace()[inFlight] = total / double(state.iterations());
}
BENCHMARK(BM_LoadRace)->Arg(1)->Arg(4)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const auto &s = secondsPerRace();
    if (s.count(1) && s.count(4))
        std::printf(
            "race with 1 in flight: %.0f ms, with 4 in flight: %.0f ms, speed-up %.2fx (goal >= 2.85x)\n",
            s.at(1) * 1000, s.at(4) * 1000, s.at(1) / s.at(4));
    return 0;
}
