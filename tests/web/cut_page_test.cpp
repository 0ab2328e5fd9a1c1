// A page cut short whose transfer looked whole (its Content-Length matched, or
// the server closed a body it gave no length for) is not the page: from the
// network, the cache, an archive or a file it fails with its cause, and it is
// never cached or archived.

#include "app/message_sink.h"
#include "web/network_page_source.h"
#include "web/page_archive.h"
#include "web/page_cache.h"
#include "web/transfer_body.h"

#include "support/http_test_server.h"
#include "support/sample_race.h"
#include "support/site_pages.h"
#include "support/test_folder.h"

#include <QFile>
#include <QStringEncoder>
#include <QUrl>

#include <gtest/gtest.h>

namespace marunoki {
namespace {

using namespace marunoki::test;

TEST(CutPage, OnlyAPageEndingWithItsClosingHtmlTagIsWhole)
{
    const auto utf16 = [](const char *text) {
        QStringEncoder encoder(QStringEncoder::Utf16LE);
        return QByteArray("\xff\xfe") + QByteArray(encoder(QString::fromLatin1(text)));
    };
    const struct {
        QByteArray page;
        bool whole;
    } cases[] = {
        {"<html><body>x</body></html>", true},
        {"<HTML><BODY>x</BODY></HTML>\r\n\r\n", true},
        {"<html><body>x</body></html >  \n", true},
        {utf16("<html><body>x</body></html>\r\n"), true},
        {"<html><body>x</body></html>\0\0", true},
        {"<html><body>x</body>", false},
        {"<html><body>x</body></htm", false},
        {"<html><body>x</body></html", false},
        {"<html><body><p>a</html> inside a paragraph</p>", false},
        {"<body>no html element at all", false},
        {utf16("<html><body>x</body>"), false},
        {"</html><!-- more after the end -->", false},
        {"html>", false},
        {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(endsWithHtmlEndTag(c.page), c.whole) << c.page.toStdString();
}

struct PageKind {
    const char *name;
    QString path;  // on the server
    QString bodyHtml;
};

// Every kind of page the two sites serve, each cut at 70 % and served as a whole
// page would be.
TEST(CutPage, EveryPageKindOfBothSitesCutShortFailsAndIsNeverKept)
{
    const SampleRace race = makeSampleRace();
    const QString fake = QStringLiteral("http://fake.test");
    const QMap<QString, QString> site1 = samplePages(race, 1, fake);
    const QMap<QString, QString> site2 = samplePages(race, 2, fake);
    const auto pathOf = [&](const QString &url) {
        const QUrl u(url);
        return u.path() + (u.hasQuery() ? u'?' + u.query() : QString());
    };
    const PageKind kinds[] = {
        {"site 1 card", pathOf(sampleCardAddress(race, 1, fake)),
            site1.value(sampleCardAddress(race, 1, fake))},
        {"site 1 history", pathOf(sampleHorseAddress(race, 1, fake, 3)),
            site1.value(sampleHorseAddress(race, 1, fake, 3))},
        {"site 2 card", pathOf(sampleCardAddress(race, 2, fake)),
            site2.value(sampleCardAddress(race, 2, fake))},
        {"site 2 history", pathOf(sampleHorseAddress(race, 2, fake, 3)),
            site2.value(sampleHorseAddress(race, 2, fake, 3))},
        {"calendar", QStringLiteral("/"), site1TopPage(sampleTopPage())},
    };

    HttpTestServer server;
    TestFolder folder;
    RecordingSink messages;
    const std::atomic<qint16> notStopped {0};
    int round = 0;  // each round its own cache and archive
    const auto fresh
        = [&](const char *what) { return folder.file(QStringLiteral("%1-%2").arg(what).arg(++round)); };
    for (const PageKind &kind : kinds) {
        ASSERT_FALSE(kind.bodyHtml.isEmpty()) << kind.name;
        const QByteArray whole = samplePageBytes(kind.bodyHtml);
        const QByteArray cut = whole.left(whole.size() * 7 / 10);
        const QString url = server.url(kind.path);
        for (const bool withLength : {true, false}) {
            SCOPED_TRACE(
                std::string(kind.name) + (withLength ? ", with Content-Length" : ", closed, no length"));
            server.route(kind.path,
                withLength ? HttpRoute::html(cut, "UTF-8")
                           : HttpRoute::raw("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\n"
                                            "Connection: close\r\n\r\n"
                               + cut));
            NetworkPageSource network;
            PageCache cache(fresh("cache"), 1 << 30);
            CachingPageSource caching(network, cache, CachePolicy(), false, messages);
            PageArchive archive(fresh("archive"));
            ArchivingPageSource archiving(caching, archive, messages);

            const FetchedPage page = archiving.fetch(url, notStopped);
            EXPECT_EQ(page.outcome, FetchedPage::Outcome::Failed);
            EXPECT_EQ(page.error, cutPageCause());
            EXPECT_FALSE(cache.lookup(url, 3600).has_value());
            EXPECT_FALSE(QFile::exists(cache.filePath(url)));
            EXPECT_FALSE(archive.load(url).ok());

            // The healthy page is taken and kept.
            server.route(kind.path, HttpRoute::html(whole, "UTF-8"));
            ASSERT_EQ(archiving.fetch(url, notStopped).outcome, FetchedPage::Outcome::Ok);
            EXPECT_TRUE(cache.lookup(url, 3600).has_value());
            EXPECT_TRUE(archive.load(url).ok());
        }

        // A cut copy already in the cache (an older version kept it) is not
        // served: the page is fetched again.
        NetworkPageSource network;
        PageCache cache(fresh("cache"), 1 << 30);
        ASSERT_TRUE(cache.store(url, cut, "UTF-8").ok());
        CachingPageSource caching(network, cache, CachePolicy(), false, messages);
        const int before = server.requestCount(kind.path);
        EXPECT_EQ(caching.fetch(url, notStopped).outcome, FetchedPage::Outcome::Ok) << kind.name;
        EXPECT_EQ(server.requestCount(kind.path), before + 1) << kind.name;

        // A cut copy in an archive, and a cut file, fail with the cause.
        PageArchive offline(fresh("offline"));
        ASSERT_TRUE(offline.save(url, cut, "UTF-8").ok());
        OfflinePageSource offlineSource(offline);
        const FetchedPage archived = offlineSource.fetch(url, notStopped);
        EXPECT_EQ(archived.outcome, FetchedPage::Outcome::Failed) << kind.name;
        EXPECT_EQ(archived.error, cutPageCause()) << kind.name;
        const QString file = folder.write(QStringLiteral("cut.html"), cut);
        const FetchedPage local = network.fetch(QUrl::fromLocalFile(file).toString(), notStopped);
        EXPECT_EQ(local.outcome, FetchedPage::Outcome::Failed) << kind.name;
        EXPECT_EQ(local.error, cutPageCause()) << kind.name;
    }
}

}  // namespace
}  // namespace marunoki
