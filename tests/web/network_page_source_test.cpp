#include "web/network_page_source.h"

#include "app/message_sink.h"
#include "support/fake_page_source.h"
#include "support/http_test_server.h"
#include "support/qt_print.h"
#include "support/test_folder.h"
#include "web/page_loader.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QLocale>
#include <QStringEncoder>
#include <QUrl>

#include <algorithm>
#include <thread>

#include <zlib.h>

namespace marunoki {
namespace {

using test::HttpRoute;
using test::HttpTestServer;

const QString kTitle = QStringLiteral("平地競走成績");

QByteArray encoded(const char *encoding, const QString &text)
{
    QStringEncoder encoder(encoding);
    return encoder(text);
}

QString horsePage(int number)
{
    QString html = QStringLiteral("<html><head><title>馬</title></head><body>\r\n<TABLE>\r\n");
    html += QStringLiteral("<TR><TD>%1</TD><TD>馬%2</TD></TR>\r\n").arg(kTitle).arg(number);
    for (int r = 0; r < 40; ++r)
        html += QStringLiteral("<TR><TD>07/5/%1<TD>東京<TD>芝1600\r\n").arg(r % 28 + 1);
    return html + QStringLiteral("</TABLE></body></html>");
}

FetchedPage fetch(NetworkPageSource &source, const QString &url)
{
    const std::atomic<qint16> flag {0};
    return source.fetch(url, flag);
}

struct NetworkTest : ::testing::Test {
    HttpTestServer server;
    NetworkPageSource source;
};

TEST_F(NetworkTest, DecodesJapaneseCharsetsFromHeaderOrMeta)
{
    const QString text = QStringLiteral("<p>%1</p>").arg(kTitle);
    // Every page ends with its </html>: one that does not is cut short.
    const QString end = QStringLiteral("</html>");
    struct Case {
        const char *path;
        HttpRoute route;
    };
    const Case cases[] = {
        {"/sjis-header", HttpRoute::html(encoded("Shift_JIS", "<body>" + text + end), "Shift_JIS")},
        {"/euc-header", HttpRoute::html(encoded("EUC-JP", "<body>" + text + end), "EUC-JP")},
        {"/sjis-meta",
            HttpRoute::html(encoded("Shift_JIS",
                "<meta http-equiv=\"Content-Type\" content=\"text/html; "
                "charset=x-sjis\"><body>"
                    + text + end))},
        {"/euc-meta", HttpRoute::html(encoded("EUC-JP", "<meta charset=\"EUC-JP\"><body>" + text + end))},
    };
    for (const Case &c : cases)
        server.route(QString::fromLatin1(c.path), c.route);
    for (const Case &c : cases) {
        const FetchedPage page = fetch(source, server.url(QString::fromLatin1(c.path)));
        ASSERT_EQ(page.outcome, FetchedPage::Outcome::Ok) << c.path << page.error.toStdString();
        EXPECT_EQ(page.bodyHtml, text) << c.path;
    }
}

TEST_F(NetworkTest, FailuresCarryTheirCause)
{
    source.setTimeLimitMs(1000);
    server.route(QStringLiteral("/missing"), HttpRoute::withStatus(404, "<body>gone"));
    server.route(QStringLiteral("/error"), HttpRoute::withStatus(500));
    server.route(QStringLiteral("/zero"),
        HttpRoute::raw("HTTP/1.1 000 Zero\r\nContent-Length: 14\r\nConnection: close\r\n\r\n<body>x</html>"));
    server.route(QStringLiteral("/silent"), HttpRoute::neverAnswer());
    server.route(QStringLiteral("/stalled"), HttpRoute::headersThenNothing());
    server.route(QStringLiteral("/announced-huge"), HttpRoute::headersThenNothing(25 * 1024 * 1024));
    server.route(QStringLiteral("/loop-a"), HttpRoute::redirect("/loop-b"));
    server.route(QStringLiteral("/loop-b"), HttpRoute::redirect("/loop-a"));
    struct Case {
        QString url;
        QString cause;
    };
    const Case cases[] = {
        {server.url(QStringLiteral("/missing")), QStringLiteral("HTTP 404")},
        {server.url(QStringLiteral("/error")), QStringLiteral("HTTP 500")},
        {server.url(QStringLiteral("/zero")), QStringLiteral("HTTP 0")},  // a status, if a senseless one
        {server.url(QStringLiteral("/silent")), QStringLiteral("制限時間 1 秒")},
        {server.url(QStringLiteral("/stalled")), QStringLiteral("制限時間 1 秒")},
        {server.url(QStringLiteral("/announced-huge")), QStringLiteral("大きすぎます")},
        {server.url(QStringLiteral("/loop-a")), QStringLiteral("転送が多すぎます")},
        {QStringLiteral("http://127.0.0.1:%1/").arg(test::closedPort()),
            QStringLiteral("接続を拒否されました")},
    };
    for (const Case &c : cases) {
        QElapsedTimer clock;
        clock.start();
        const FetchedPage page = fetch(source, c.url);
        EXPECT_EQ(page.outcome, FetchedPage::Outcome::Failed) << c.url.toStdString();
        EXPECT_TRUE(page.error.contains(c.cause, Qt::CaseInsensitive))
            << c.url.toStdString() << ": " << page.error.toStdString();
        EXPECT_LT(clock.elapsed(), 10000) << c.url.toStdString();
    }
}

// The body in chunks of chunkSize bytes, with the closing empty chunk.
QByteArray chunked(const QByteArray &body, int chunkSize)
{
    QByteArray out;
    for (qsizetype at = 0; at < body.size(); at += chunkSize) {
        const QByteArray chunk = body.mid(at, chunkSize);
        out += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    }
    return out + "0\r\n\r\n";
}

QByteArray gzipped(const QByteArray &data)
{
    z_stream stream {};
    EXPECT_EQ(deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY), Z_OK);
    QByteArray out(qsizetype(deflateBound(&stream, uLong(data.size()))), '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.truncate(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

QByteArray head(const QByteArray &fields)
{
    return "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\n" + fields
        + "Connection: close\r\n\r\n";
}

// A transfer that did not end as announced is a failed page with its cause,
// never a short page taken for a whole one.
TEST_F(NetworkTest, ATransferThatDidNotEndCleanlyFailsThePage)
{
    const QByteArray body = horsePage(1).toUtf8();
    const QByteArray whole = chunked(body, 512);
    const qsizetype cut = whole.size() * 8 / 10;
    const QByteArray zipped = gzipped(body);
    const QByteArray gzipHead = "Content-Encoding: gzip\r\n";
    const QByteArray bomb = gzipped(QByteArray(NetworkPageSource::kMaxPageBytes + 1, ' '));
    struct Case {
        const char *name;
        QByteArray response;
        QString cause;  // empty: the whole page comes through
    };
    const Case cases[] = {
        {"chunked", head("Transfer-Encoding: chunked\r\n") + whole, {}},
        // Chunks decide the end, whatever a length sent beside them says.
        {"chunked with a stale length", head("Transfer-Encoding: chunked\r\nContent-Length: 5\r\n") + whole,
            {}},
        {"bad chunk size",
            head("Transfer-Encoding: chunked\r\n") + whole.left(whole.indexOf("\r\n", cut) + 2) + "zz\r\n"
                + body.right(400),
            QStringLiteral("転送が途中で切れました")},
        {"closed mid-chunk", head("Transfer-Encoding: chunked\r\n") + whole.left(cut),
            QStringLiteral("転送が途中で切れました")},
        {"short of its length",
            head("Content-Length: " + QByteArray::number(body.size()) + "\r\n") + body.left(cut),
            QStringLiteral("転送が途中で切れました")},
        {"gzip", head(gzipHead + "Content-Length: " + QByteArray::number(zipped.size()) + "\r\n") + zipped,
            {}},
        {"gzip chunked", head(gzipHead + "Transfer-Encoding: chunked\r\n") + chunked(zipped, 100), {}},
        {"gzip cut short",
            head(gzipHead + "Content-Length: " + QByteArray::number(zipped.size() / 2) + "\r\n")
                + zipped.left(zipped.size() / 2),
            QStringLiteral("圧縮されたページが途中で切れています")},
        {"gzip damaged",
            head(gzipHead + "Content-Length: " + QByteArray::number(zipped.size()) + "\r\n") + zipped.left(40)
                + QByteArray(zipped.size() - 40, '\x55'),
            QStringLiteral("圧縮されたページが壊れています")},
        {"unknown encoding",
            head("Content-Encoding: br\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n")
                + body,
            QStringLiteral("未対応の圧縮形式です（br）")},
        {"gzip bomb", head(gzipHead + "Content-Length: " + QByteArray::number(bomb.size()) + "\r\n") + bomb,
            QStringLiteral("大きすぎます")},
    };
    for (const Case &c : cases) {
        const QString path = QStringLiteral("/") + QString::fromLatin1(c.name).replace(u' ', u'-');
        server.route(path, HttpRoute::raw(c.response));
        const FetchedPage page = fetch(source, server.url(path));
        if (c.cause.isEmpty()) {
            EXPECT_EQ(page.outcome, FetchedPage::Outcome::Ok) << c.name << ": " << page.error.toStdString();
            EXPECT_EQ(page.bytes, body) << c.name;
        } else {
            EXPECT_EQ(page.outcome, FetchedPage::Outcome::Failed) << c.name << ": " << page.bytes.size();
            EXPECT_TRUE(page.error.contains(c.cause)) << c.name << ": " << page.error.toStdString();
        }
    }
}

TEST_F(NetworkTest, RefusesPagesOverTheSizeLimit)
{
    server.route(
        QStringLiteral("/huge"), HttpRoute::html(QByteArray(NetworkPageSource::kMaxPageBytes + 1, 'x')));
    // Exactly the limit is taken, plain or compressed (one byte more compressed is the bomb above).
    const QByteArray fits = "<body>" + QByteArray(NetworkPageSource::kMaxPageBytes - 13, 'y') + "</html>";
    const QByteArray zipped = gzipped(fits);
    server.route(QStringLiteral("/just-fits"), HttpRoute::html(fits));
    server.route(QStringLiteral("/just-fits-zipped"),
        HttpRoute::raw(
            head("Content-Encoding: gzip\r\nContent-Length: " + QByteArray::number(zipped.size()) + "\r\n")
            + zipped));
    const FetchedPage huge = fetch(source, server.url(QStringLiteral("/huge")));
    EXPECT_EQ(huge.outcome, FetchedPage::Outcome::Failed);
    EXPECT_TRUE(huge.error.contains(QStringLiteral("大きすぎます（%1 MB を超えています）")
                                        .arg(NetworkPageSource::kMaxPageBytes / (1024 * 1024))))
        << huge.error.toStdString();
    for (const char *path : {"/just-fits", "/just-fits-zipped"}) {
        const FetchedPage page = fetch(source, server.url(QString::fromLatin1(path)));
        EXPECT_EQ(page.outcome, FetchedPage::Outcome::Ok) << path << ": " << page.error.toStdString();
        EXPECT_EQ(page.bytes.size(), NetworkPageSource::kMaxPageBytes) << path;
    }
}

TEST_F(NetworkTest, FollowsRedirects)
{
    server.route(QStringLiteral("/page"), HttpRoute::html("<body>here</html>"));
    server.route(QStringLiteral("/old"), HttpRoute::redirect("/older", 301));
    server.route(QStringLiteral("/older"), HttpRoute::redirect(server.url(QStringLiteral("/page")).toUtf8()));
    const FetchedPage page = fetch(source, server.url(QStringLiteral("/old")));
    ASSERT_EQ(page.outcome, FetchedPage::Outcome::Ok) << page.error.toStdString();
    EXPECT_EQ(page.bodyHtml, QStringLiteral("here"));
}

HttpRoute busy(int code, const QByteArray &retryAfter)
{
    const HttpRoute route = HttpRoute::withStatus(code, "<body>busy</html>");
    return retryAfter.isEmpty() ? route : route.withHeader("Retry-After", retryAfter);
}

// A stop ends the wait for a server that says nothing, and the wait a busy
// site asked for.
TEST_F(NetworkTest, StopDuringTheWaitReturnsCancelledPromptly)
{
    server.route(QStringLiteral("/silent"), HttpRoute::neverAnswer());
    server.route(QStringLiteral("/busy"), busy(503, "30"));
    for (const char *path : {"/silent", "/busy"}) {
        std::atomic<qint16> flag {0};
        std::thread stopper([&flag] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            flag.store(-1);
        });
        QElapsedTimer clock;
        clock.start();
        const FetchedPage page = source.fetch(server.url(QString::fromLatin1(path)), flag);
        stopper.join();
        EXPECT_EQ(page.outcome, FetchedPage::Outcome::Cancelled) << path;
        EXPECT_LT(clock.elapsed(), 2000) << path;
        EXPECT_EQ(server.requestCount(QString::fromLatin1(path)), 1) << path;
    }
}

TEST_F(NetworkTest, ABusySiteIsWaitedOutAndAskedAgainUpToThreeTimesAndSaidOnce)
{
    const HttpRoute ok = HttpRoute::html("<body>here</html>");
    // Whole seconds: the wait is two seconds at least, three at most, counted
    // from when the date is made (a busy machine may take a while to ask).
    QElapsedTimer sinceTheDate;
    sinceTheDate.start();
    const QByteArray inThreeSeconds = QLocale::c()
                                          .toString(QDateTime::currentDateTimeUtc().addSecs(3),
                                              QStringLiteral("ddd, dd MMM yyyy HH:mm:ss 'GMT'"))
                                          .toLatin1();
    struct Case {
        const char *path;
        QList<HttpRoute> answers;  // in turn, the last one for good
        int requests;
        QString cause;  // empty: the page comes
        int atLeastMs;
        int atMostMs;
        const QElapsedTimer *since = nullptr;  // what atLeastMs counts from, when not the request
    };
    const Case cases[] = {
        {"/busy-until-a-date", {busy(429, inThreeSeconds), ok}, 2, {}, 1900, 5000, &sinceTheDate},
        {"/busy-once", {busy(503, "1"), ok}, 2, {}, 950, 5000},
        {"/busy-thrice", {busy(503, "0"), busy(429, "0"), busy(503, "0"), ok}, 4, {}, 0, 5000},
        {"/busy-for-good", {busy(429, "0")}, 4, QStringLiteral("HTTP 429"), 0, 5000},
        {"/busy-for-long", {busy(503, "61"), ok}, 1, QStringLiteral("HTTP 503"), 0, 1000},
        {"/busy-without-a-time", {busy(503, {}), ok}, 1, QStringLiteral("HTTP 503"), 0, 1000},
        {"/failed-with-a-time", {busy(500, "0"), ok}, 1, QStringLiteral("HTTP 500"), 0, 1000},
    };
    RecordingSink notices;
    source.setNotices(&notices);
    for (const Case &c : cases) {
        const QString path = QString::fromLatin1(c.path);
        server.routeInTurn(path, c.answers);
        QElapsedTimer clock;
        clock.start();
        const FetchedPage page = fetch(source, server.url(path));
        if (c.cause.isEmpty()) {
            EXPECT_EQ(page.outcome, FetchedPage::Outcome::Ok) << c.path << ": " << page.error.toStdString();
            EXPECT_EQ(page.bodyHtml, QStringLiteral("here")) << c.path;
        } else {
            EXPECT_EQ(page.outcome, FetchedPage::Outcome::Failed) << c.path;
            EXPECT_EQ(page.error, c.cause) << c.path;
        }
        EXPECT_EQ(server.requestCount(path), c.requests) << c.path;
        EXPECT_GE((c.since ? c.since : &clock)->elapsed(), c.atLeastMs) << c.path;
        EXPECT_LT(clock.elapsed(), c.atMostMs) << c.path;
    }
    // Said once, with the first wait, whatever came after it.
    ASSERT_EQ(notices.messages().size(), 1) << notices.messages().join(u'\n').toStdString();
    EXPECT_TRUE(notices.messages()[0].contains(QStringLiteral("HTTP 429")))
        << notices.messages()[0].toStdString();
    EXPECT_TRUE(notices.messages()[0].contains(QStringLiteral("127.0.0.1")));
}

// The server's log: whatever the number in flight, a second never holds more
// starts than the rate, and the pages still come.
TEST_F(NetworkTest, KeepsTheRequestRateWhateverIsInFlight)
{
    constexpr int kPages = 11;
    QStringList urls;
    for (int i = 1; i <= kPages; ++i) {
        const QString path = QStringLiteral("/paced/%1").arg(i);
        server.route(path, HttpRoute::html(horsePage(i).toUtf8()).delayed(30));
        urls.append(server.url(path));
    }
    source.setMaxInFlight(4);
    source.setRate(5);
    source.prefetch(urls);
    for (const QString &url : urls)
        EXPECT_EQ(fetch(source, url).outcome, FetchedPage::Outcome::Ok) << url.toStdString();
    const QList<qint64> times = server.requestTimes();
    ASSERT_EQ(times.size(), kPages);
    // 200 ms apart at 5 a second: ten spacings take two seconds. The windows
    // leave the server's thread 100 ms of lateness on a busy machine.
    EXPECT_GE(times.back() - times.front(), 1800);
    for (qsizetype i = 0; i < times.size(); ++i) {
        const auto inWindow
            = std::count_if(times.begin() + i, times.end(), [&](qint64 t) { return t < times[i] + 900; });
        EXPECT_LE(inWindow, 5) << "from request " << i;
    }
}

TEST_F(NetworkTest, PrefetchKeepsAtMostTheSetNumberInFlight)
{
    for (int inFlight : {1, 4}) {
        HttpTestServer fresh;
        QStringList urls;
        for (int i = 1; i <= 8; ++i) {
            const QString path = QStringLiteral("/horse/%1").arg(i);
            fresh.route(path, HttpRoute::html(horsePage(i).toUtf8()).delayed(100));
            urls.append(fresh.url(path));
        }
        NetworkPageSource limited;
        limited.setMaxInFlight(inFlight);
        limited.prefetch(urls);
        // The last page asked for first goes ahead, and the others still come unasked.
        EXPECT_EQ(fetch(limited, urls.back()).outcome, FetchedPage::Outcome::Ok);
        QElapsedTimer waited;
        waited.start();
        while (fresh.requestCount() < 8 && waited.elapsed() < 10000)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(fresh.requestCount(), 8);
        for (const QString &url : urls.first(7))
            EXPECT_EQ(fetch(limited, url).outcome, FetchedPage::Outcome::Ok);
        EXPECT_EQ(fresh.maxConcurrentRequests(), inFlight);
        EXPECT_EQ(fresh.requestCount(), 8);  // each page fetched once
    }
}

TEST_F(NetworkTest, PrefetchWithFourInFlightGivesTheSameTablesAsOne)
{
    QStringList urls;
    for (int i = 1; i <= 6; ++i) {
        const QString path = QStringLiteral("/db/horse.php?hid=%1").arg(i);
        server.route(
            path, HttpRoute::html(encoded("Shift_JIS", horsePage(i)), "Shift_JIS").delayed(20 * (7 - i)));
        urls.append(server.url(path));
    }
    std::vector<QString> tables[2];
    for (int pass = 0; pass < 2; ++pass) {
        NetworkPageSource s;
        s.setMaxInFlight(pass == 0 ? 1 : 4);
        test::RecordingProgress progress;
        RecordingSink messages;
        std::atomic<qint16> flag {0};
        PageLoader loader(s, progress, messages, flag);
        loader.prefetch(urls);
        PageRequest request;
        request.check = [](const PageTable &t) { return t.cell(1, 1) == kTitle; };
        for (const QString &url : urls) {
            PageTable table;
            ASSERT_EQ(loader.load(url, request, table), PageStatus::Read)
                << messages.messages().join(u'\n').toStdString();
            tables[pass].push_back(table.pageHtml);
            for (int r = 1; r <= 41; ++r)
                for (int c = 0; c <= 3; ++c)
                    tables[pass].push_back(table.cell(r, c));
        }
    }
    EXPECT_EQ(tables[0], tables[1]);
}

TEST_F(NetworkTest, CancelAllAbortsRequestsInFlight)
{
    server.route(QStringLiteral("/silent"), HttpRoute::neverAnswer());
    server.route(QStringLiteral("/page"), HttpRoute::html("<body>ok</html>"));
    source.setMaxInFlight(1);
    source.prefetch({server.url(QStringLiteral("/silent"))});
    QElapsedTimer clock;
    clock.start();
    while (server.requestCount(QStringLiteral("/silent")) == 0 && clock.elapsed() < 5000)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(server.requestCount(QStringLiteral("/silent")), 1);
    source.cancelAll();
    // With one request at a time, the next page only comes if the silent one
    // was aborted.
    const FetchedPage page = fetch(source, server.url(QStringLiteral("/page")));
    EXPECT_EQ(page.outcome, FetchedPage::Outcome::Ok) << page.error.toStdString();
}

// cancelAll() aborts in the network thread a moment later; a page asked for in
// between must not be caught by it.
TEST_F(NetworkTest, PageAskedForRightAfterCancelAllStillComes)
{
    server.route(QStringLiteral("/page"), HttpRoute::html("<body>ok</html>"));
    for (int i = 0; i < 20; ++i) {
        source.prefetch({server.url(QStringLiteral("/other%1").arg(i))});
        source.cancelAll();
        const FetchedPage page = fetch(source, server.url(QStringLiteral("/page")));
        ASSERT_EQ(page.outcome, FetchedPage::Outcome::Ok) << i << page.error.toStdString();
    }
}

TEST_F(NetworkTest, ReadsFileAddressesDirectly)
{
    test::TestFolder folder;
    const QString path = folder.write(
        QStringLiteral("card.html"), encoded("EUC-JP", "<meta charset=euc-jp><body>" + kTitle + "</html>"));
    const FetchedPage page = fetch(source, QUrl::fromLocalFile(path).toString());
    ASSERT_EQ(page.outcome, FetchedPage::Outcome::Ok) << page.error.toStdString();
    EXPECT_EQ(page.bodyHtml, kTitle);
    EXPECT_EQ(fetch(source, QUrl::fromLocalFile(folder.file(QStringLiteral("none.html"))).toString()).outcome,
        FetchedPage::Outcome::Failed);
}

struct PageLoaderOverNetwork : ::testing::Test {
    HttpTestServer server;
    NetworkPageSource source;
    test::RecordingProgress progress;
    RecordingSink messages;
    std::atomic<qint16> flag {0};
    PageLoader loader {source, progress, messages, flag};
    PageTable table;
};

TEST_F(PageLoaderOverNetwork, FailureReturnsOneWithAddressAndCauseAsDetail)
{
    PageRequest request;
    request.check = [](const PageTable &) { return true; };
    const QString url = server.url(QStringLiteral("/nothing-here"));
    EXPECT_EQ(loader.load(url, request, table), PageStatus::NotExpected);
    EXPECT_TRUE(messages.messages().isEmpty());
    EXPECT_EQ(loader.failureDetail(), QStringLiteral("%1 (HTTP 404)").arg(url));
}

TEST_F(PageLoaderOverNetwork, StopDuringTheWaitReturnsTwoAndResetsTheFlag)
{
    server.route(QStringLiteral("/silent"), HttpRoute::neverAnswer());
    std::thread stopper([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        flag.store(-1);
    });
    EXPECT_EQ(
        loader.load(server.url(QStringLiteral("/silent")), PageRequest {}, table), PageStatus::Cancelled);
    stopper.join();
    EXPECT_EQ(flag.load(), 0);
    EXPECT_TRUE(messages.messages().isEmpty());
}

}  // namespace
}  // namespace marunoki
