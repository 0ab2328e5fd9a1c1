#include "web/page_archive.h"

#include "app/message_sink.h"
#include "app/regular_file.h"
#include "support/failing_file_system.h"
#include "support/fake_page_source.h"
#include "support/fifo_watchdog.h"
#include "support/http_test_server.h"
#include "support/qt_print.h"
#include "support/test_folder.h"
#include "web/network_page_source.h"
#include "web/page_loader.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QUrl>

#include <functional>

namespace marunoki {
namespace {

using test::HttpRoute;
using test::HttpTestServer;
using test::TestFolder;

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::vector<QString> loadAll(PageSource &source, const QStringList &urls, QStringList *messagesOut = nullptr)
{
    test::RecordingProgress progress;
    RecordingSink messages;
    std::atomic<qint16> flag {0};
    PageLoader loader(source, progress, messages, flag);
    std::vector<QString> cells;
    for (const QString &url : urls) {
        PageTable table;
        static_cast<void>(loader.load(url, PageRequest {}, table));  // the cells are compared, not the status
        cells.push_back(table.pageHtml);
        for (int r = 0; r <= 20; ++r)
            for (int c = 0; c <= 5; ++c)
                cells.push_back(table.cell(r, c));
    }
    if (messagesOut)
        *messagesOut = messages.messages();
    return cells;
}

TEST(PageArchive, ArchiveThenOfflineGivesIdenticalTables)
{
    test::ensureCoreApplication();
    HttpTestServer server;
    QStringEncoder sjis("Shift_JIS");
    QStringEncoder euc("EUC-JP");
    server.route(QStringLiteral("/scores/2007/05/02/12/11/denma.html"),
        HttpRoute::html(
            sjis(QStringLiteral("<body><table>\r\n<tr><td>出馬表<td>東京\r\n</table></html>")), "Shift_JIS"));
    server.route(QStringLiteral("/db/horse.php?hid=2004104205"),
        HttpRoute::html(euc(QStringLiteral("<meta charset=EUC-JP><body><table><tr><td>生年月日</td></tr>"
                                           "</table></html>"))));
    const QStringList urls = {server.url(QStringLiteral("/scores/2007/05/02/12/11/denma.html")),
        server.url(QStringLiteral("/db/horse.php?hid=2004104205"))};

    TestFolder folder;
    std::vector<QString> online;
    {
        NetworkPageSource network;
        PageArchive archive(folder.path());
        RecordingSink archiveMessages;
        ArchivingPageSource archiving(network, archive, archiveMessages);
        online = loadAll(archiving, urls);
        EXPECT_TRUE(archiveMessages.messages().isEmpty());
    }
    EXPECT_TRUE(online[0].contains(QStringLiteral("出馬表")));

    // A fresh archive object reads the index back from the folder.
    PageArchive saved(folder.path());
    OfflinePageSource offline(saved);
    QStringList messages;
    EXPECT_EQ(loadAll(offline, urls, &messages), online);
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
}

TEST(PageArchive, KeepsTheBytesAsServedAndIndexesThem)
{
    TestFolder folder;
    PageArchive archive(folder.path());
    const QByteArray bytes("\x8f\x6f\x94\x6e\x95\x5c", 6);  // 出馬表 in Shift_JIS
    const QString url = QStringLiteral("http://site1.example/scores/2007/05/02/12/11/denma.html");
    ASSERT_TRUE(archive.save(url, bytes, "Shift_JIS").ok());
    const QString name = archive.fileNameFor(url);
    EXPECT_EQ(name, QStringLiteral("site1.example_scores_2007_05_02_12_11_denma.html"));
    EXPECT_EQ(readFile(folder.file(name)), bytes);
    EXPECT_EQ(readFile(folder.file(QStringLiteral("index.tsv"))),
        (url + u'\t' + name + QStringLiteral("\tShift_JIS\n")).toUtf8());
}

TEST(PageArchive, FileNamesAreReadableAndDistinct)
{
    TestFolder folder;
    PageArchive archive(folder.path());
    const QStringList urls = {
        QStringLiteral("http://site2.example/db/horse.php?hid=123"),
        QStringLiteral("http://site2.example/db/horse.php?hid/123"),  // same readable name as the first
        QStringLiteral("http://site2.example/") + QString(200, u'a'),
        QStringLiteral("http://site2.example/../../etc/passwd"),
        QStringLiteral("file:///.cards/card.html"),  // no host
    };
    QStringList names;
    for (const QString &url : urls) {
        ASSERT_TRUE(archive.save(url, url.toUtf8(), {}).ok());
        names.append(archive.fileNameFor(url));
    }
    EXPECT_EQ(names[0], QStringLiteral("site2.example_db_horse.php_hid_123.html"));
    EXPECT_TRUE(names[1].startsWith(QStringLiteral("site2.example_db_horse.php_hid_123-")))
        << names[1].toStdString();
    // A name shortened from a long address always carries the address's hash.
    EXPECT_LT(names[2].size(), 100);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^site2.example_a+-[0-9a-f]{10}\\.html$"))
                    .match(names[2])
                    .hasMatch())
        << names[2].toStdString();
    // The separator and dot the path starts with are dropped: no hidden or "_." names.
    EXPECT_EQ(names[4], QStringLiteral("cards_card.html")) << names[4].toStdString();
    for (const QString &name : names) {
        EXPECT_FALSE(name.contains(u'/')) << name.toStdString();
        EXPECT_EQ(names.count(name), 1) << name.toStdString();
    }
    for (const QString &url : urls) {
        const auto page = archive.load(url);
        ASSERT_TRUE(page.ok()) << url.toStdString();
        EXPECT_EQ(page.value.bytes, url.toUtf8());
    }
}

TEST(PageArchive, NeverWritesOverAFileNamedByTheIndex)
{
    // A stale or hostile index beside the user's own files (the archive may
    // be the application folder).
    const char *userFiles[] = {"notes.txt", "marunoki.dat", "marunoki.ini"};
    TestFolder folder;
    QByteArray index;
    for (const char *name : userFiles) {
        folder.write(QString::fromLatin1(name), QByteArray("user data of ") + name);
        index += QByteArray("http://a.example/") + name + '\t' + name + "\t\n";
    }
    folder.write(QStringLiteral("index.tsv"), index);
    PageArchive archive(folder.path());
    for (const char *name : userFiles) {
        const QString url = QStringLiteral("http://a.example/") + QString::fromLatin1(name);
        ASSERT_TRUE(archive.save(url, "<body>page", {}).ok());
        EXPECT_TRUE(archive.fileNameFor(url).endsWith(QStringLiteral(".html")));
        EXPECT_EQ(readFile(folder.file(QString::fromLatin1(name))), QByteArray("user data of ") + name);
        EXPECT_EQ(archive.load(url).value.bytes, QByteArray("<body>page"));
    }
    // The index's own lines for those names stay as they were; the page of each
    // address is now the line after them.
    EXPECT_TRUE(readFile(folder.file(QStringLiteral("index.tsv"))).startsWith(index));
}

TEST(PageArchive, AFileOfTheGeneratedNameThatIsNotOursIsKept)
{
    const QString url = QStringLiteral("http://a.example/card.html");
    TestFolder folder;
    const QString plain = folder.write(QStringLiteral("a.example_card.html"), "someone else's page");
    PageArchive archive(folder.path());
    ASSERT_TRUE(archive.save(url, "<body>ours", {}).ok());
    const QString hashed = archive.fileNameFor(url);
    EXPECT_NE(folder.file(hashed), plain);
    EXPECT_EQ(readFile(plain), QByteArray("someone else's page"));
    EXPECT_EQ(readFile(folder.file(hashed)), QByteArray("<body>ours"));

    // With both names taken by files the index does not list, the save fails.
    TestFolder crowded;
    crowded.write(QStringLiteral("a.example_card.html"), "first");
    crowded.write(hashed, "second");
    PageArchive full(crowded.path());
    const Status refused = full.save(url, "<body>ours", {});
    EXPECT_FALSE(refused.ok());
    EXPECT_FALSE(refused.message().isEmpty());
    EXPECT_EQ(readFile(crowded.file(hashed)), QByteArray("second"));
    QStringList kept {QStringLiteral("a.example_card.html"), hashed};
    kept.sort();
    EXPECT_EQ(test::folderEntries(crowded.path()), kept);
}

TEST(PageArchive, AFailedWriteKeepsTheSavedPageAndTheIndex)
{
    const QString url = QStringLiteral("http://a.example/card.html");
    for (const auto &fault : test::writeFaults()) {
        SCOPED_TRACE(fault.name);
        TestFolder folder;
        {
            PageArchive first(folder.path());
            ASSERT_TRUE(first.save(url, "<body>old page", "UTF-8").ok());
        }
        const QStringList before = test::folderEntries(folder.path());
        const QByteArray index = readFile(folder.file(QStringLiteral("index.tsv")));
        PageArchive archive(folder.path(), fault.files);
        EXPECT_FALSE(archive.save(url, "<body>new page", "UTF-8").ok());
        const Status other = archive.save(QStringLiteral("http://a.example/other"), "<body>other", {});
        EXPECT_FALSE(other.ok());
        EXPECT_FALSE(other.message().isEmpty());
        EXPECT_EQ(readFile(folder.file(archive.fileNameFor(url))), QByteArray("<body>old page"));
        EXPECT_EQ(readFile(folder.file(QStringLiteral("index.tsv"))), index);
        EXPECT_EQ(test::folderEntries(folder.path()), before);
    }
}

TEST(OfflinePageSource, AddressNotInTheArchiveFails)
{
    TestFolder folder;
    PageArchive archive(folder.path());
    OfflinePageSource offline(archive);
    const std::atomic<qint16> flag {0};
    const FetchedPage page = offline.fetch(QStringLiteral("http://x.example/a"), flag);
    EXPECT_EQ(page.outcome, FetchedPage::Outcome::Failed);
    EXPECT_EQ(page.error, QStringLiteral("保存されたページにありません"));
}

TEST(OfflinePageSource, IndexLinesPointingOutsideTheFolderAreIgnored)
{
    TestFolder folder;
    folder.write(QStringLiteral("secret.txt"), "<body>secret");
    QDir(folder.path()).mkdir(QStringLiteral("sub"));
    folder.write(QStringLiteral("index.tsv"),
        "http://a/1\t../secret.txt\t\n"
        "http://a/2\tsub/x.html\t\n"
        "broken line without tabs\n"
        "http://a/3\tsecret.txt\t\n");
    // An index inside "sub" naming the file beside it.
    folder.write(QStringLiteral("sub/index.tsv"), "http://a/1\t../secret.txt\t\n");
    PageArchive archive(folder.path() + QStringLiteral("sub"));
    EXPECT_FALSE(archive.load(QStringLiteral("http://a/1")).ok());
    PageArchive top(folder.path());
    EXPECT_FALSE(top.load(QStringLiteral("http://a/1")).ok());
    EXPECT_FALSE(top.load(QStringLiteral("http://a/2")).ok());
    const auto page = top.load(QStringLiteral("http://a/3"));
    ASSERT_TRUE(page.ok());
    EXPECT_EQ(page.value.bytes, QByteArray("<body>secret"));
}

// A saved page that is no regular file, whether named by the index of an
// offline folder or by a file:// address, fails that page with what it is.
TEST(OfflinePageSource, APageThatIsNoRegularFileFailsWithoutBlocking)
{
    TestFolder folder;
    const QString fifo = folder.file(QStringLiteral("pipe.html"));
    ASSERT_TRUE(test::makeFifo(fifo));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("dir.html")));
    folder.write(QStringLiteral("index.tsv"),
        "http://a/pipe\tpipe.html\t\n"
        "http://a/dir\tdir.html\t\n");
    const struct {
        QString url;
        QString cause;
    } cases[] = {
        {QStringLiteral("http://a/pipe"),
            QStringLiteral("pipe.html: 通常のファイルではありません（名前付きパイプ）")},
        {QStringLiteral("http://a/dir"),
            QStringLiteral("dir.html: 通常のファイルではありません（フォルダ）")},
        {QUrl::fromLocalFile(fifo).toString(),
            QStringLiteral("通常のファイルではありません（名前付きパイプ）")},
    };
    const bool ended = test::endsWithoutAWriter(
        [&] {
            PageArchive archive(folder.path());
            OfflinePageSource offline(archive);
            NetworkPageSource network;
            const std::atomic<qint16> flag {0};
            for (const auto &c : cases) {
                PageSource &source = c.url.startsWith(QStringLiteral("file:"))
                    ? static_cast<PageSource &>(network)
                    : offline;
                const FetchedPage page = source.fetch(c.url, flag);
                EXPECT_EQ(page.outcome, FetchedPage::Outcome::Failed) << c.url.toStdString();
                EXPECT_EQ(page.error, c.cause);
            }
        },
        {fifo});
    EXPECT_TRUE(ended) << "a read waited for a writer of the FIFO";
}

// A stop must not wait for the HTML parser, which cannot be interrupted: a
// page read from a file whose parse a stop overtakes is Cancelled, whatever the
// parse is doing. (The stop comes first here, so the outcome does not depend
// on how fast the machine parses.)
TEST(OfflinePageSource, AStopDoesNotWaitForTheParse)
{
    TestFolder folder;
    const QByteArray page = "<html><body>" + QByteArray(200000, 'x').replace('x', "<p>x") + "</body></html>";
    PageArchive archive(folder.path());
    ASSERT_TRUE(archive.save(QStringLiteral("http://a/big"), page, {}).ok());
    const QString file = folder.write(QStringLiteral("big.html"), page);
    OfflinePageSource offline(archive);
    NetworkPageSource network;
    const struct {
        PageSource &source;
        QString url;
    } cases[] = {
        {offline, QStringLiteral("http://a/big")},
        {network, QUrl::fromLocalFile(file).toString()},
    };
    for (const auto &c : cases) {
        const std::atomic<qint16> running {0};
        EXPECT_EQ(c.source.fetch(c.url, running).outcome, FetchedPage::Outcome::Ok) << c.url.toStdString();
        const std::atomic<qint16> stopped {-1};
        EXPECT_EQ(c.source.fetch(c.url, stopped).outcome, FetchedPage::Outcome::Cancelled)
            << c.url.toStdString();
    }
}

TEST(ArchivingPageSource, SaveFailureIsReportedOnceAndThePageStillReturned)
{
    TestFolder folder;
    folder.write(QStringLiteral("blocker"), "a file where the folder should be");
    PageArchive archive(folder.file(QStringLiteral("blocker")));
    test::FakePageSource inner;
    inner.setPage(QStringLiteral("http://a/1"), QStringLiteral("one"));
    inner.setPage(QStringLiteral("http://a/2"), QStringLiteral("two"));
    RecordingSink messages;
    ArchivingPageSource archiving(inner, archive, messages);
    const std::atomic<qint16> flag {0};
    EXPECT_FALSE(archiving.saveFailed());
    EXPECT_EQ(archiving.fetch(QStringLiteral("http://a/1"), flag).bodyHtml, QStringLiteral("one"));
    EXPECT_TRUE(archiving.saveFailed());
    EXPECT_EQ(archiving.fetch(QStringLiteral("http://a/2"), flag).bodyHtml, QStringLiteral("two"));
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(messages.messages()[0].startsWith(QStringLiteral("ページを保存できません: http://a/1")));
}

}  // namespace
}  // namespace marunoki

namespace marunoki {
namespace {

// An index that is there but cannot be read whole would lose every page it
// lists if it were written again: the save fails with its cause instead, and
// the folder stays as it was.
TEST(PageArchive, AnIndexThatCannotBeReadWholeIsNeverWritten)
{
    const struct {
        const char *what;
        std::function<bool(const QString &index)> make;
        const char *cause;
    } cases[] = {
        {"over the size limit",
            [](const QString &index) {
                QFile file(index);
                QByteArray lines;
                while (lines.size() <= PageArchive::kMaxIndexBytes)
                    lines += "http://a.example/page\tpage.html\tUTF-8\n";
                return file.open(QIODevice::WriteOnly) && file.write(lines) == lines.size();
            },
            "MB を超えています"},
        {"a FIFO", [](const QString &index) { return test::makeFifo(index); }, "名前付きパイプ"},
        {"a symbolic-link loop",
            [](const QString &index) {
                return QFile::link(index + QStringLiteral(".b"), index)
                    && QFile::link(index, index + QStringLiteral(".b"));
            },
            "シンボリックリンクが循環しています"},
        {"a folder", [](const QString &index) { return QDir().mkdir(index); }, "フォルダ"},
        {"a link to nothing",
            [](const QString &index) { return QFile::link(index + QStringLiteral(".gone"), index); },
            "ファイルがありません"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TestFolder folder;
        const QString index = folder.file(QStringLiteral("index.tsv"));
        ASSERT_TRUE(c.make(index));
        const QStringList before = test::folderEntries(folder.path());
        // Read as the archive reads, never waiting on the FIFO.
        const QByteArray bytes = readRegularFile(index, 1 << 30).bytes;
        const bool ended = test::endsWithoutAWriter(
            [&] {
                PageArchive archive(folder.path());
                const QString saved
                    = archive.save(QStringLiteral("http://a.example/new"), "<body>new", {}).message();
                EXPECT_TRUE(saved.contains(QString::fromUtf8(c.cause))) << saved.toStdString();
                EXPECT_TRUE(saved.contains(QStringLiteral("index.tsv"))) << saved.toStdString();
                const auto loaded = archive.load(QStringLiteral("http://a.example/page"));
                EXPECT_FALSE(loaded.ok());
                EXPECT_TRUE(loaded.status.message().contains(QString::fromUtf8(c.cause)))
                    << loaded.status.message().toStdString();
            },
            {index});
        EXPECT_TRUE(ended);
        EXPECT_EQ(test::folderEntries(folder.path()), before);
        EXPECT_EQ(readRegularFile(index, 1 << 30).bytes, bytes);
    }
}

// Lines the archive did not write stay byte for byte in their places: a
// user's notes, lines it cannot use, a file name that is not UTF-8, an
// address listed twice (its last line gives the page), a CR before the break.
TEST(PageArchive, KeepsTheIndexLinesItDidNotWriteByteForByte)
{
    TestFolder folder;
    folder.write(QStringLiteral("first.html"), "<body>first");
    folder.write(QStringLiteral("second.html"), "<body>second");
    const QByteArray foreign = "# notes of the user\n"
                               "http://a/1\t../x.txt\t\n"
                               "http://a/sjis\t\x8f\x6f\x94\x6e.html\tShift_JIS\n"
                               "http://a/twice\tfirst.html\t\n"
                               "\n"
                               "http://a/twice\tsecond.html\tUTF-8\r\n";
    const QString index = folder.write(QStringLiteral("index.tsv"), foreign);
    const QString twice = QStringLiteral("http://a/twice");
    const QString added = QStringLiteral("http://a.example/new");
    {
        PageArchive archive(folder.path());
        EXPECT_EQ(archive.load(twice).value.bytes, QByteArray("<body>second"));
        ASSERT_TRUE(archive.save(added, "<body>new", {}).ok());
        ASSERT_TRUE(archive.save(twice, "<body>third", "UTF-8").ok());
        // Saved again, an address's own line is replaced where it is.
        ASSERT_TRUE(archive.save(added, "<body>newer", "EUC-JP").ok());
    }
    EXPECT_EQ(readFile(index),
        foreign
            + "http://a.example/new\ta.example_new.html\tEUC-JP\n"
              "http://a/twice\ta_twice.html\tUTF-8\n");
    EXPECT_EQ(readFile(folder.file(QStringLiteral("second.html"))), QByteArray("<body>second"));
    const PageArchive again(folder.path());
    EXPECT_EQ(again.load(twice).value.bytes, QByteArray("<body>third"));
    EXPECT_EQ(again.load(added).value.bytes, QByteArray("<body>newer"));
    EXPECT_FALSE(again.load(QStringLiteral("http://a/sjis")).ok());
}

}  // namespace
}  // namespace marunoki
