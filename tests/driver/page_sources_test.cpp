#include "driver/page_sources.h"

#include "app/message_sink.h"
#include "driver/page_cache_setup.h"

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
        const PageSources sources = makePageSources(choice, folder, CacheSettings {}, messages);
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
