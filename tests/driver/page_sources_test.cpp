#include "driver/page_sources.h"

#include "app/message_sink.h"
#include "driver/page_cache_setup.h"
#include "support/http_test_server.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace marunoki {
namespace {

// Which layers a choice builds: the offline archive or the network at the
// bottom, the page cache over it, the archiving source on top. A layer missing
// or put in the wrong order changes what a load reads or keeps.
TEST(PageSources, EachChoiceBuildsItsLayersInOrder)
{
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    const AppFolder folder(temp.path());
    const QString offline = temp.filePath(QStringLiteral("offline"));
    const QString archive = temp.filePath(QStringLiteral("archive"));
    struct Case {
        const char *name;
        QString offlineFolder;
        QString archiveFolder;
        bool cacheOffline;
        bool offlineInner;
        bool cached;
        bool archiving;
    };
    const Case cases[] = {
        {"network behind the cache", {}, {}, false, false, true, false},
        {"network, cache and archive", {}, archive, false, false, true, true},
        {"offline folder alone", offline, {}, false, true, false, false},
        {"offline folder behind the cache", offline, {}, true, true, true, false},
        {"offline ignores the archive folder", offline, archive, false, true, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PageSourceChoice choice;
        choice.offlineFolder = c.offlineFolder;
        choice.archiveFolder = c.archiveFolder;
        choice.cacheOffline = c.cacheOffline;
        choice.maxInFlight = 2;
        RecordingSink messages;
        const PageSources sources = makePageSources(choice, folder, Settings {}, messages);
        ASSERT_NE(sources.inner, nullptr);
        EXPECT_EQ(dynamic_cast<OfflinePageSource *>(sources.inner.get()) != nullptr, c.offlineInner);
        EXPECT_EQ(dynamic_cast<NetworkPageSource *>(sources.inner.get()) != nullptr, !c.offlineInner);
        EXPECT_EQ(sources.cached.source != nullptr, c.cached);
        EXPECT_EQ(sources.archiving != nullptr, c.archiving);
        const PageSource *top = c.archiving ? sources.archiving.get()
            : c.cached                      ? sources.cached.source
                                            : sources.inner.get();
        EXPECT_EQ(sources.source, top);
    }
}

// The network under the cache is the settings' own: their rate spaces its
// requests, and a site's asking it to wait reaches the messages.
TEST(PageSources, TheNetworkKeepsTheSettingsRateAndSaysABusySite)
{
    test::HttpTestServer server;
    QTemporaryDir temp;
    ASSERT_TRUE(temp.isValid());
    server.routeInTurn(QStringLiteral("/busy"),
        {test::HttpRoute::withStatus(503).withHeader("Retry-After", "0"),
            test::HttpRoute::html("<body>busy no more</html>")});
    QStringList urls {server.url(QStringLiteral("/busy"))};
    for (int i = 1; i <= 4; ++i) {
        const QString path = QStringLiteral("/page%1").arg(i);
        server.route(path, test::HttpRoute::html("<body>page</html>"));
        urls.append(server.url(path));
    }
    Settings settings;
    settings.requestRate = 5;
    PageSourceChoice choice;
    choice.maxInFlight = 4;
    RecordingSink messages;
    const PageSources sources = makePageSources(choice, AppFolder(temp.path()), settings, messages);
    sources.source->prefetch(urls);
    const std::atomic<qint16> flag {0};
    for (const QString &url : urls)
        EXPECT_EQ(sources.source->fetch(url, flag).outcome, FetchedPage::Outcome::Ok) << url.toStdString();
    // Six requests 204 ms apart: a second at the least, on a loaded machine too.
    const QList<qint64> times = server.requestTimes();
    ASSERT_EQ(times.size(), 6);
    EXPECT_GE(times.back() - times.front(), 900);
    ASSERT_EQ(messages.messages().size(), 1) << messages.messages().join(u'\n').toStdString();
    EXPECT_TRUE(messages.messages()[0].contains(QStringLiteral("HTTP 503")));
}

// Each kind of page keeps the age of its own setting (hours to seconds), none
// of them the default; the size limit is in MiB.
TEST(PageSources, CachePolicyTakesEachAgeFromItsOwnSetting)
{
    const CachePolicy policy = cachePolicyOf(CacheSettings {0.5, 2, 0, 1.5});
    EXPECT_EQ(policy.cardMaxAge, 1800);
    EXPECT_EQ(policy.horseMaxAge, 7200);
    EXPECT_EQ(policy.calendarMaxAge, 0);
    EXPECT_EQ(policy.sizeLimitBytes, 1536 * 1024);
}

}  // namespace
}  // namespace marunoki
