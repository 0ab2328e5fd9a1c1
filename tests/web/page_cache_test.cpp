#include "app/message_sink.h"
#include "support/fake_page_source.h"
#include "support/fifo_watchdog.h"
#include "support/test_folder.h"
#include "web/page_cache.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QThread>

#include <sys/stat.h>
#include <utime.h>

#include <thread>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const QString kCard = QStringLiteral("https://site1.example/scores/2026/05/05/09/11/denma.html");
const QString kCard2
    = QStringLiteral("https://site2.example/race/page.php?param[race]=202605050911&param[option]=shutuba");
const QString kHorse = QStringLiteral("https://site1.example/directory/horse/2004100001/index.html");
const QString kHorse2 = QStringLiteral("https://site2.example/db/horse.php?hid=2004100001");
const QString kTop = QStringLiteral("https://site1.example/");

QByteArray pageBytes(const QString &text)
{
    return (QStringLiteral("<html><body><table><tr><td>") + text
        + QStringLiteral("</td></tr></table></body></html>"))
        .toUtf8();
}

FetchedPage served(const QString &text)
{
    FetchedPage page;
    page.outcome = FetchedPage::Outcome::Ok;
    page.bytes = pageBytes(text);
    page.charset = "UTF-8";
    page.bodyHtml = QStringLiteral("<table><tr><td>") + text + QStringLiteral("</td></tr></table>");
    return page;
}

// A clock the test moves by hand.
struct ManualClock {
    QDateTime now = QDateTime(QDate(2026, 11, 28), QTime(21, 0), Qt::UTC);
    PageCache::Clock clock()
    {
        return [this] { return now; };
    }
};

}  // namespace

TEST(PageKind, TellsCardsHorsePagesAndTheRestApart)
{
    const struct {
        QString url;
        PageKind kind;
    } cases[] = {
        {kCard, PageKind::Card},
        {kCard2, PageKind::Card},
        {kHorse, PageKind::Horse},
        {kHorse2, PageKind::Horse},
        {kTop, PageKind::Calendar},
        {QStringLiteral("https://site1.example/scores/2026/05/05/09/11/result.html"), PageKind::Calendar},
    };
    for (const auto &c : cases)
        EXPECT_EQ(pageKindOf(c.url), c.kind) << c.url.toStdString();
}

TEST(PageCache, AnswersOnlyWhileThePageIsYoungerThanItsMaximumAge)
{
    const struct {
        const char *what;
        qint64 secondsLater;
        qint64 maxAge;
        bool hit;
    } cases[] = {
        {"at once", 0, 3600, true},
        {"a second before the limit", 3599, 3600, true},
        {"at the limit", 3600, 3600, false},
        {"long after", 7 * 3600, 6 * 3600, false},
        {"maximum age 0 turns the cache off", 0, 0, false},
        {"a clock set back", -60, 3600, false},
    };
    for (const auto &c : cases) {
        TestFolder folder;
        ManualClock clock;
        PageCache cache(folder.file(QStringLiteral("cache")), 1 << 20, clock.clock());
        ASSERT_TRUE(cache.store(kCard, pageBytes(QStringLiteral("出馬表")), "Shift_JIS").ok());
        clock.now = clock.now.addSecs(c.secondsLater);
        const auto page = cache.lookup(kCard, c.maxAge);
        EXPECT_EQ(page.has_value(), c.hit) << c.what;
        if (page && c.hit) {
            EXPECT_EQ(page->bytes, pageBytes(QStringLiteral("出馬表"))) << c.what;
            EXPECT_EQ(page->charset, QByteArray("Shift_JIS")) << c.what;
        }
    }
}

TEST(PageCache, ADamagedEntryIsMissingAndTheNextStoreRepairsIt)
{
    const struct {
        const char *what;
        std::function<QByteArray(const QByteArray &)> damage;
    } cases[] = {
        {"cut short", [](const QByteArray &b) { return b.left(b.size() - 7); }},
        {"a byte of the page changed",
            [](const QByteArray &b) {
                QByteArray d = b;
                d[d.size() - 3] = 'X';
                return d;
            }},
        {"no header line", [](const QByteArray &b) { return b.mid(b.indexOf('\n') + 1); }},
        {"empty", [](const QByteArray &) { return QByteArray(); }},
        {"the charset changed",
            [](const QByteArray &b) {
                QByteArray d = b;
                return d.replace("\tUTF-8\t", "\tEUC-JP\t");
            }},
        {"the stored time changed",
            [](const QByteArray &b) {
                QByteArray d = b;
                const qsizetype end = d.lastIndexOf('\t', d.indexOf('\n'));
                d[end - 1] = d[end - 1] == '0' ? '1' : '0';
                return d;
            }},
        {"the first format's entry",
            [](const QByteArray &b) {
                QByteArray d = b;
                return d.replace("MKPAGE2", "MKPAGE1");
            }},
        {"another address's entry",
            [](const QByteArray &b) {
                QByteArray d = b;
                return d.replace("11%2Fdenma", "12%2Fdenma");
            }},
    };
    for (const auto &c : cases) {
        TestFolder folder;
        PageCache cache(folder.file(QStringLiteral("cache")), 1 << 20);
        ASSERT_TRUE(cache.store(kCard, pageBytes(QStringLiteral("出馬表")), "UTF-8").ok());
        QFile file(cache.filePath(kCard));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray damaged = c.damage(file.readAll());
        file.close();
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(damaged);
        file.close();
        EXPECT_FALSE(cache.lookup(kCard, 3600).has_value()) << c.what;

        // Through the source: the damaged entry is fetched again and replaced.
        FakePageSource inner;
        inner.setResult(kCard, served(QStringLiteral("出馬表")));
        RecordingSink messages;
        CachingPageSource source(inner, cache, CachePolicy(), false, messages);
        const std::atomic<qint16> flag {0};
        EXPECT_EQ(source.fetch(kCard, flag).outcome, FetchedPage::Outcome::Ok) << c.what;
        EXPECT_EQ(inner.fetched().size(), 1) << c.what;
        EXPECT_TRUE(cache.lookup(kCard, 3600).has_value()) << c.what;
    }
}

TEST(CachingPageSource, FetchesWhatTheCacheCannotAnswerAndStoresIt)
{
    // Cards for an hour, horse pages for six, the calendar turned off.
    CachePolicy policy;
    policy.calendarMaxAge = 0;
    const struct {
        const char *what;
        QString url;
        qint64 secondsLater;
        bool refresh;
        int fetchesOfSecondLoad;
    } cases[] = {
        {"fresh card", kCard, 1800, false, 0},
        {"stale card", kCard, 3700, false, 1},
        {"horse page after two hours", kHorse, 7200, false, 0},
        {"horse page after seven hours", kHorse, 7 * 3600, false, 1},
        {"refresh ignores a fresh page", kHorse, 10, true, 1},
        {"calendar with age 0", kTop, 0, false, 1},
    };
    for (const auto &c : cases) {
        TestFolder folder;
        ManualClock clock;
        PageCache cache(folder.file(QStringLiteral("cache")), 1 << 20, clock.clock());
        FakePageSource inner;
        inner.setResult(c.url, served(QStringLiteral("本文")));
        RecordingSink messages;
        const std::atomic<qint16> flag {0};
        {
            CachingPageSource first(inner, cache, policy, false, messages);
            ASSERT_EQ(first.fetch(c.url, flag).outcome, FetchedPage::Outcome::Ok) << c.what;
        }
        clock.now = clock.now.addSecs(c.secondsLater);
        CachingPageSource second(inner, cache, policy, c.refresh, messages);
        // Fetching ahead asks the inner source only for what the cache cannot answer.
        second.prefetch({c.url});
        EXPECT_EQ(inner.prefetched().size(), c.fetchesOfSecondLoad) << c.what;
        const FetchedPage page = second.fetch(c.url, flag);
        EXPECT_EQ(page.outcome, FetchedPage::Outcome::Ok) << c.what;
        EXPECT_EQ(page.bodyHtml.contains(QStringLiteral("本文")), true) << c.what;
        EXPECT_EQ(inner.fetched().size(), 1 + c.fetchesOfSecondLoad) << c.what;
        EXPECT_TRUE(messages.messages().isEmpty()) << c.what;
    }
}

TEST(CachingPageSource, FailedAndStoppedFetchesAreNotKept)
{
    TestFolder folder;
    PageCache cache(folder.file(QStringLiteral("cache")), 1 << 20);
    FakePageSource inner;  // every address is a 404
    RecordingSink messages;
    CachingPageSource source(inner, cache, CachePolicy(), false, messages);
    const std::atomic<qint16> running {0};
    const std::atomic<qint16> stopped {-1};
    EXPECT_EQ(source.fetch(kCard, running).outcome, FetchedPage::Outcome::Failed);
    inner.setResult(kHorse, served(QStringLiteral("x")));
    EXPECT_EQ(source.fetch(kHorse, stopped).outcome, FetchedPage::Outcome::Cancelled);
    EXPECT_FALSE(QFile::exists(cache.filePath(kCard)));
    EXPECT_FALSE(QFile::exists(cache.filePath(kHorse)));
}

TEST(PageCache, EvictsTheOldestFilesBeyondTheLimit)
{
    TestFolder folder;
    const qint64 page = 3000;
    PageCache cache(folder.file(QStringLiteral("cache")), 10 * page);
    // Twelve pages stored an hour apart: the limit holds about ten.
    QStringList urls;
    for (int i = 0; i < 12; ++i) {
        const QString url = QStringLiteral("https://site1.example/directory/horse/%1/index.html").arg(i);
        urls.append(url);
        ASSERT_TRUE(cache.store(url, QByteArray(page - 200, 'a' + char(i)), "UTF-8").ok());
        QFile file(cache.filePath(url));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(
            QDateTime::currentDateTimeUtc().addSecs(-3600 * (12 - i)), QFileDevice::FileModificationTime));
    }
    cache.evict();
    qint64 total = 0;
    int kept = 0;
    for (const QString &url : urls) {
        if (QFile::exists(cache.filePath(url))) {
            total += QFileInfo(cache.filePath(url)).size();
            ++kept;
        }
    }
    EXPECT_LE(total, 10 * page);
    EXPECT_GE(kept, 8);
    // The oldest went first: whatever is kept is the newest run of pages.
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(QFile::exists(cache.filePath(urls[i])), i >= 12 - kept) << i;
}

TEST(PageCache, TwoWritersAtOnceLeaveOnlyWholePages)
{
    TestFolder folder;
    const QString dir = folder.file(QStringLiteral("cache"));
    // Two caches on one folder, as the desktop and the command line would have,
    // replacing the same pages with different contents while a third reads.
    const QByteArray a = QByteArray(40000, 'a') + "</html>";
    const QByteArray b = QByteArray(50000, 'b') + "</html>";
    std::atomic<bool> done {false};
    std::atomic<int> bad {0};
    std::atomic<int> failedStores {0};
    const auto writer = [&](const QByteArray &content) {
        PageCache cache(dir, 1 << 30);
        for (int round = 0; round < 60; ++round) {
            for (int i = 0; i < 4; ++i) {
                const QString url
                    = QStringLiteral("https://site1.example/directory/horse/%1/index.html").arg(i);
                if (!cache.store(url, content, "UTF-8").ok())
                    ++failedStores;
            }
        }
    };
    std::thread reader([&] {
        PageCache cache(dir, 1 << 30);
        while (!done.load()) {
            for (int i = 0; i < 4; ++i) {
                const auto page = cache.lookup(
                    QStringLiteral("https://site1.example/directory/horse/%1/index.html").arg(i), 3600);
                if (page && page->bytes != a && page->bytes != b)
                    ++bad;
            }
        }
    });
    std::thread first(writer, a);
    std::thread second(writer, b);
    first.join();
    second.join();
    done = true;
    reader.join();
    EXPECT_EQ(bad.load(), 0);
    EXPECT_EQ(failedStores.load(), 0);
    PageCache cache(dir, 1 << 30);
    for (int i = 0; i < 4; ++i) {
        const auto page = cache.lookup(
            QStringLiteral("https://site1.example/directory/horse/%1/index.html").arg(i), 3600);
        ASSERT_TRUE(page.has_value()) << i;
        EXPECT_TRUE(page->bytes == a || page->bytes == b) << i;
    }
    // No temporary is left behind.
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden).size(), 4);
}

TEST(CachingPageSource, APageItsReaderRefusedIsFetchedAgainNextTime)
{
    TestFolder folder;
    PageCache cache(folder.file(QStringLiteral("cache")), 1 << 20);
    FakePageSource inner;
    // A maintenance page served with status 200 where the card should be.
    FetchedPage maintenance = served(QStringLiteral("ただいまメンテナンス中です"));
    inner.setResult(kCard, maintenance);
    RecordingSink messages;
    CachingPageSource source(inner, cache, CachePolicy(), false, messages);
    RecordingProgress progress;
    std::atomic<qint16> flag {0};
    PageLoader loader(source, progress, messages, flag);
    PageRequest card;
    card.check = [](const PageTable &t) { return t.cell(1, 1) == QStringLiteral("出馬表"); };
    PageTable table;
    EXPECT_EQ(loader.load(kCard, card, table), PageStatus::NotExpected);
    EXPECT_FALSE(cache.lookup(kCard, 3600).has_value());

    inner.setResult(kCard, served(QStringLiteral("出馬表")));
    EXPECT_EQ(loader.load(kCard, card, table), PageStatus::Read);
    EXPECT_EQ(inner.fetched().size(), 2);
    EXPECT_EQ(loader.load(kCard, card, table), PageStatus::Read);
    EXPECT_EQ(inner.fetched().size(), 2);  // the accepted card now comes from the cache
}

TEST(CachingPageSource, ACacheThatCannotBeWrittenIsReportedOnceAndThePagesStillCome)
{
    TestFolder folder;
    // "cache" is a file, so no page can be stored under it.
    const QString notAFolder = folder.write(QStringLiteral("cache"), "not a folder");
    PageCache cache(notAFolder, 1 << 20);
    FakePageSource inner;
    inner.setResult(kCard, served(QStringLiteral("出馬表")));
    inner.setResult(kHorse, served(QStringLiteral("馬")));
    RecordingSink messages;
    CachingPageSource source(inner, cache, CachePolicy(), false, messages);
    const std::atomic<qint16> flag {0};
    EXPECT_EQ(source.fetch(kCard, flag).outcome, FetchedPage::Outcome::Ok);
    EXPECT_EQ(source.fetch(kHorse, flag).outcome, FetchedPage::Outcome::Ok);
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(messages.messages().first().contains(QStringLiteral("フォルダではありません")));
    QFile file(notAFolder);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("not a folder"));
}

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void setModified(const QString &path, qint64 secondsFromNow)
{
    const time_t when = ::time(nullptr) + secondsFromNow;
    const struct utimbuf times {
        when, when
    };
    ::utime(QFile::encodeName(path).constData(), &times);
}

}  // namespace

// The cache deletes and reads only what it wrote itself, inside its own folder:
// a linked or non-folder "cache", foreign files, links, FIFOs and old entries
// of ours are each given their due, and a time in the future pins nothing.
TEST(PageCache, EvictionTouchesOnlyItsOwnFilesInItsOwnFolder)
{
    const QByteArray decoy = "<html><body>the user's own page</body></html>";
    const struct {
        const char *what;
        // Prepares the application folder `app` (whose "cache" the cache uses) and
        // the outside folder `outside`; returns the decoys that must stay.
        std::function<QStringList(const QString &app, const QString &outside)> prepare;
        bool refused;
    } cases[] = {
        {"a cache linked to a folder outside",
            [&](const QString &app, const QString &outside) {
                QFile::link(outside, app + QStringLiteral("cache"));
                return QStringList {outside + QStringLiteral("notes.html")};
            },
            true},
        {"a cache linked to a folder inside the application folder",
            [&](const QString &app, const QString &) {
                QDir().mkpath(app + QStringLiteral("pages"));
                writeFile(app + QStringLiteral("pages/notes.html"), decoy);
                QFile::link(app + QStringLiteral("pages"), app + QStringLiteral("cache"));
                return QStringList {app + QStringLiteral("pages/notes.html")};
            },
            true},
        {"a cache that is a file",
            [&](const QString &app, const QString &) {
                writeFile(app + QStringLiteral("cache"), decoy);
                return QStringList {app + QStringLiteral("cache")};
            },
            true},
        {"foreign files, links and a FIFO among the entries",
            [&](const QString &app, const QString &outside) {
                const QString cache = app + QStringLiteral("cache/");
                QDir().mkpath(cache);
                QFile::copy(outside + QStringLiteral("notes.html"), cache + QStringLiteral("notes.html"));
                QFile::link(outside + QStringLiteral("notes.html"), cache + QStringLiteral("link.html"));
                makeFifo(cache + QStringLiteral("pipe.html"));
                return QStringList {cache + QStringLiteral("notes.html"),
                    outside + QStringLiteral("notes.html"), cache + QStringLiteral("pipe.html")};
            },
            false},
    };
    for (const auto &c : cases) {
        TestFolder app;
        TestFolder outside;
        outside.write(QStringLiteral("notes.html"), decoy);
        const QStringList keep = c.prepare(app.path(), outside.path());
        const QString folder = app.file(QStringLiteral("cache"));
        // A limit of one page: every store evicts all it may.
        PageCache cache(folder, 100);
        FakePageSource inner;
        for (const QString &url : {kCard, kHorse})
            inner.setResult(url, served(QStringLiteral("出馬表")));
        RecordingSink messages;
        CachingPageSource source(inner, cache, CachePolicy(), false, messages);
        const std::atomic<qint16> flag {0};
        for (const QString &url : {kCard, kHorse, kCard})
            EXPECT_EQ(source.fetch(url, flag).outcome, FetchedPage::Outcome::Ok) << c.what;
        cache.evict();
        for (const QString &path : keep) {
            struct stat info { };
            ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &info), 0) << c.what << path.toStdString();
            if (S_ISREG(info.st_mode)) {
                EXPECT_EQ(contentOf(path), decoy) << c.what << path.toStdString();
            }
        }
        EXPECT_EQ(inner.fetched().size(), 3) << c.what;  // nothing read back through a refused folder
        EXPECT_EQ(messages.messages().size(), c.refused ? 1 : 0) << c.what;
        if (c.refused) {
            EXPECT_TRUE(messages.messages().value(0).startsWith(QStringLiteral("キャッシュのフォルダ")))
                << c.what;
        }
        EXPECT_FALSE(cache.lookup(kCard, 3600).has_value()) << c.what;
    }
}

TEST(PageCache, AFileModifiedInTheFutureIsEvictedFirstAndAnOldEntryOfOursToo)
{
    TestFolder folder;
    const qint64 page = 3000;
    PageCache cache(folder.file(QStringLiteral("cache")), 4 * page);
    QStringList urls;
    for (int i = 0; i < 4; ++i) {
        urls.append(QStringLiteral("https://site1.example/directory/horse/%1/index.html").arg(i));
        ASSERT_TRUE(cache.store(urls.last(), QByteArray(page - 300, 'a'), "UTF-8").ok());
        setModified(cache.filePath(urls.last()), -3600 * (10 - i));
    }
    // The oldest page pretends to be from next year; the second one is of the
    // first format.
    setModified(cache.filePath(urls[0]), 365 * 24 * 3600);
    QByteArray old = contentOf(cache.filePath(urls[1]));
    QFile file(cache.filePath(urls[1]));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(old.replace("MKPAGE2", "MKPAGE1"));
    file.close();
    setModified(cache.filePath(urls[1]), -3600 * 9);
    ASSERT_TRUE(cache
                    .store(QStringLiteral("https://site1.example/directory/horse/9/index.html"),
                        QByteArray(2 * page, 'b'), "UTF-8")
                    .ok());
    EXPECT_FALSE(QFile::exists(cache.filePath(urls[0])));
    EXPECT_FALSE(QFile::exists(cache.filePath(urls[1])));
    EXPECT_TRUE(QFile::exists(cache.filePath(urls[3])));
}

// Entries that are not regular files are refused at once, never waited for.
TEST(PageCache, ALookupNeverWaitsOnAFifoOrADevice)
{
    TestFolder folder;
    PageCache cache(folder.file(QStringLiteral("cache")), 1 << 20);
    ASSERT_TRUE(cache.store(kHorse, pageBytes(QStringLiteral("馬")), "UTF-8").ok());
    ASSERT_TRUE(makeFifo(cache.filePath(kCard)));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), cache.filePath(kHorse2)));
    ASSERT_TRUE(QFile::link(cache.filePath(kCard), cache.filePath(kCard2)));
    FakePageSource inner;
    RecordingSink messages;
    CachingPageSource source(inner, cache, CachePolicy(), false, messages);
    EXPECT_TRUE(endsWithoutAWriter(
        [&] {
            const std::atomic<qint16> flag {0};
            for (const QString &url : {kCard, kCard2, kHorse2})
                EXPECT_EQ(source.fetch(url, flag).outcome, FetchedPage::Outcome::Failed) << url.toStdString();
            cache.evict();
        },
        {cache.filePath(kCard)}));
    EXPECT_EQ(inner.fetched().size(), 3);
}
