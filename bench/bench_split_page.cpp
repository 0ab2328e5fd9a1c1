// Cutting a large page: body extraction (decode, parse, serialize) and splitPage
// on a page of about 1 MB laid out like a site's past-performance page (nested
// layout tables, cells with classes and links, CR LF line ends, Shift_JIS).
// Goal: splitPage under 10 ms.

#include "web/html_body.h"
#include "web/html_nesting.h"
#include "web/page_table.h"

#include <benchmark/benchmark.h>

#include <QStringEncoder>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace marunoki;

QString resultRow(int i)
{
    return QStringLiteral(
        "<tr class=\"r%1\">\r\n<td class=\"txt_l\"><a href=\"/race/result/2007%2/\">07/%3/%4</a></td>\r\n"
        "<td class=\"txt_l\"><a href=\"/race/list/%5/\">東京%6R</a></td><td>晴</td><td>芝1600</td>"
        "<td>良</td><td>16</td><td>%7</td><td>%8</td><td>%9</td><td>5.3</td><td>2</td>\r\n"
        "<td class=\"txt_l\"><a href=\"/jockey/01%10/\">見本一騎</a></td><td>57☆</td>"
        "<td>480（+2）</td><td>1.34.5</td><td>34.2</td><td>3-3-2-1</td>"
        "<td class=\"txt_l\"><a href=\"/horse/2004%11/\">ディープインパクト</a></td>"
        "<td>0.2</td><td><img src=\"/img/icon.gif\" alt=\"\" width=\"10\" height=\"10\"></td></tr>\r\n")
        .arg(i % 7)
        .arg(i, 6, 10, QLatin1Char('0'))
        .arg(i % 12 + 1)
        .arg(i % 28 + 1)
        .arg(i % 10)
        .arg(i % 12 + 1)
        .arg(i % 8 + 1)
        .arg(i % 16 + 1)
        .arg(i % 10 + 1)
        .arg(i % 100)
        .arg(i, 6, 10, QLatin1Char('0'));
}

// About 1 MB: a header, the results table repeated, a long footer of links.
QByteArray bigPage()
{
    QString html = QStringLiteral(
        "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n"
        "<title>競走馬データ</title>\r\n<script type=\"text/javascript\">function f(a,b){return "
        "a>b?a:b;}</script>\r\n"
        "</head>\r\n<body>\r\n<div id=\"page\"><table width=\"100%\"><tr><td>\r\n"
        "<table class=\"profile\"><tr><th>生年月日</th><td>2002年3月25日</td></tr>\r\n"
        "<tr><th>父</th><td>サンデーサイレンス</td></tr></table>\r\n"
        "<table class=\"db_h_race_results\">\r\n<tr><th>年月日</th><th>開催</th><th>天気</th></tr>\r\n");
    int i = 0;
    while (html.size() < 800000)  // UTF-16 characters; about 1 MB of Shift_JIS and markup
        html += resultRow(i++);
    html += QStringLiteral("</table>\r\n</td></tr></table>\r\n<div class=\"footer\">");
    for (int k = 0; k < 2000; ++k)
        html += QStringLiteral("<a href=\"/news/%1\">ニュース%1</a> | ").arg(k);
    html += QStringLiteral("</div></div>\r\n</body>\r\n</html>\r\n");
    QStringEncoder sjis("Shift_JIS");
    return sjis(html);
}

const QByteArray &page()
{
    static const QByteArray bytes = bigPage();
    return bytes;
}

void BM_ExtractBodyHtml(benchmark::State &state)
{
    const QByteArray &bytes = page();
    for (auto _ : state)
        benchmark::DoNotOptimize(extractBodyHtml(bytes, "Shift_JIS"));
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["page_bytes"] = double(bytes.size());
}
BENCHMARK(BM_ExtractBodyHtml)->Unit(benchmark::kMillisecond);

void BM_EstimateNestingDepth(benchmark::State &state)
{
    const QByteArray utf8 = decodePage(page(), "Shift_JIS").toUtf8();
    for (auto _ : state)
        benchmark::DoNotOptimize(estimateNestingDepth(utf8, kMaxNestingDepth));
    state.SetBytesProcessed(state.iterations() * utf8.size());
}
BENCHMARK(BM_EstimateNestingDepth)->Unit(benchmark::kMillisecond);

// One element with state.range(0) attributes, each of a name of its own, in an
// otherwise small page: the parser alone compares every attribute with all
// those before it. The attribute pass keeps the extraction linear.
void BM_ExtractBodyHtmlManyAttributes(benchmark::State &state)
{
    QByteArray html = "<html><body><table><tr><td";
    for (int64_t k = 0; k < state.range(0); ++k)
        html += " a" + QByteArray::number(k) + "=1";
    html += ">x</td></tr></table></body></html>";
    for (auto _ : state)
        benchmark::DoNotOptimize(extractBodyHtml(html, "UTF-8"));
    state.SetBytesProcessed(state.iterations() * html.size());
    state.counters["page_bytes"] = double(html.size());
}
BENCHMARK(BM_ExtractBodyHtmlManyAttributes)->Arg(80000)->Arg(2000000)->Unit(benchmark::kMillisecond);

// The most attributes a page under the size limit can keep: tags of exactly the
// allowed number, one after another (a void element: no nesting), up to about
// 20 MB.
void BM_ExtractBodyHtmlAttributesAtTheLimit(benchmark::State &state)
{
    QByteArray tag = "<img";
    for (int k = 0; k < kMaxAttributesPerElement; ++k)
        tag += " a" + QByteArray::number(k);
    tag += ">";
    QByteArray html = "<html><body>";
    while (html.size() < 20 * 1024 * 1024 - tag.size() - 20)
        html += tag;
    for (auto _ : state)
        benchmark::DoNotOptimize(extractBodyHtml(html, "UTF-8"));
    state.SetBytesProcessed(state.iterations() * html.size());
}
BENCHMARK(BM_ExtractBodyHtmlAttributesAtTheLimit)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_SplitPage(benchmark::State &state)
{
    const QString body = extractBodyHtml(page(), "Shift_JIS");
    PageTable table;
    for (auto _ : state) {
        splitPage(body, table);
        benchmark::DoNotOptimize(table.cell(300, 1));
    }
    state.counters["body_chars"] = double(body.size());
}
BENCHMARK(BM_SplitPage)->Unit(benchmark::kMillisecond);

// A body of about `megabytes` million characters: result rows with CR LF line
// ends, then as many empty lines (a generated page padded with blank lines,
// the worst case for removing them).
QString largeBody(int megabytes)
{
    QString body;
    for (int i = 0; body.size() < qsizetype(megabytes) * 500000; ++i)
        body += resultRow(i);
    body += QString(QStringLiteral("\r\n")).repeated(qsizetype(megabytes) * 250000);
    return body;
}

// Cutting a large page; its line breaks are removed in one pass.
void BM_SplitLargePage(benchmark::State &state)
{
    const QString body = largeBody(int(state.range(0)));
    PageTable table;
    const std::atomic<qint16> notStopped {0};
    for (auto _ : state)
        benchmark::DoNotOptimize(splitPageUnlessStopped(body, table, notStopped));
    state.counters["body_chars"] = double(body.size());
}
BENCHMARK(BM_SplitLargePage)->Arg(2)->Arg(18)->Unit(benchmark::kMillisecond);

// The straightforward way to remove the line breaks of the same page (Qt's
// replace, which moves the rest of the text for every batch of matches).
void BM_SplitLargePageReplaceBreaks(benchmark::State &state)
{
    const QString body = largeBody(int(state.range(0)));
    for (auto _ : state) {
        QString html = body;
        html.replace(QStringLiteral("\r\n"), QString());
        benchmark::DoNotOptimize(html);
    }
}
BENCHMARK(BM_SplitLargePageReplaceBreaks)->Arg(2)->Arg(18)->Unit(benchmark::kMillisecond)->Iterations(1);

// A stop 5 ms into cutting the large page: the time until the cut gives up is
// what a stop waits for (minus the 5 ms).
void BM_StopWhileSplittingLargePage(benchmark::State &state)
{
    const QString body = largeBody(18);
    PageTable table;
    for (auto _ : state) {
        std::atomic<qint16> flag {0};
        std::thread stop([&flag] {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            flag.store(-1);
        });
        benchmark::DoNotOptimize(splitPageUnlessStopped(body, table, flag));
        stop.join();
    }
}
BENCHMARK(BM_StopWhileSplittingLargePage)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
