#include "web/page_loader.h"

#include "app/message_sink.h"
#include "support/fake_page_source.h"
#include "support/qt_print.h"

#include <gtest/gtest.h>

namespace marunoki {
namespace {

using test::FakePageSource;
using test::RecordingProgress;

const QString kUrl = QStringLiteral("http://site1.example/scores/2007/05/02/12/11/denma.html");

// A page whose marker row can be put at any row number.
QString pageWithMarkerAt(int markerRow)
{
    QString html = QStringLiteral("<table>");
    for (int r = 1; r <= 60; ++r)
        html += QStringLiteral("<tr><td>%1</td></tr>")
                    .arg(r == markerRow ? QStringLiteral("出馬表") : QString::number(r));
    return html + QStringLiteral("</table>");
}

PageRequest cardRequest()
{
    PageRequest request;
    request.statusText = QStringLiteral("出馬表読込み中・・・");
    request.splitFailureMessage = QStringLiteral("WebData読込みエラー(err-AA01)");
    request.check = [](const PageTable &t) {
        for (int r = 25; r <= 49; ++r)
            if (t.cell(r, 1) == QStringLiteral("出馬表"))
                return true;
        return false;
    };
    return request;
}

struct LoaderTest : ::testing::Test {
    FakePageSource source;
    RecordingProgress progress;
    RecordingSink messages;
    std::atomic<qint16> cancelFlag {0};
    PageLoader loader {source, progress, messages, cancelFlag};
    PageTable table;
};

TEST_F(LoaderTest, PageCheckAcceptsMarkerRowsInsideItsRange)
{
    struct Case {
        int row;
        PageStatus status;
    };
    for (const Case c : {Case {24, PageStatus::NotExpected}, Case {25, PageStatus::Read},
             Case {49, PageStatus::Read}, Case {50, PageStatus::NotExpected}}) {
        source.setPage(kUrl, pageWithMarkerAt(c.row));
        EXPECT_EQ(loader.load(kUrl, cardRequest(), table), c.status) << c.row;
    }
    EXPECT_TRUE(messages.messages().isEmpty());
}

TEST_F(LoaderTest, ShowsTheStatusTextAndFillsTheTable)
{
    source.setPage(kUrl, pageWithMarkerAt(30));
    ASSERT_EQ(loader.load(kUrl, cardRequest(), table), PageStatus::Read);
    EXPECT_EQ(progress.lines(), QStringList {QStringLiteral("出馬表読込み中・・・")});
    EXPECT_EQ(table.cell(30, 1), QStringLiteral("出馬表"));
    EXPECT_EQ(table.cell(31, 1), QStringLiteral("31"));
}

TEST_F(LoaderTest, FetchFailureLeavesTheMessageToTheCallerWithAddressAndCauseAsDetail)
{
    table.setCell(5, 1, QStringLiteral("old"));
    EXPECT_EQ(loader.load(kUrl, cardRequest(), table), PageStatus::NotExpected);
    EXPECT_TRUE(messages.messages().isEmpty());
    EXPECT_EQ(loader.failureDetail(), QStringLiteral("%1 (HTTP 404)").arg(kUrl));
    // The next load that fetches its page forgets the failure.
    source.setPage(kUrl, pageWithMarkerAt(30));
    EXPECT_EQ(loader.load(kUrl, cardRequest(), table), PageStatus::Read);
    EXPECT_TRUE(loader.failureDetail().isEmpty());
}

TEST_F(LoaderTest, StopDuringTheWaitReturnsTwoAndResetsTheFlag)
{
    source.setPage(kUrl, pageWithMarkerAt(30));
    source.onFetch = [this](const QString &) { cancelFlag.store(-1); };
    EXPECT_EQ(loader.load(kUrl, cardRequest(), table), PageStatus::Cancelled);
    EXPECT_EQ(cancelFlag.load(), 0);
    EXPECT_EQ(source.cancelAllCalls(), 1);
    EXPECT_TRUE(messages.messages().isEmpty());

    source.onFetch = nullptr;  // the next load starts with the flag at 0
    EXPECT_EQ(loader.load(kUrl, cardRequest(), table), PageStatus::Read);

    // A source that finishes its page whatever the flag says (a cache, an archive) is stopped all
    // the same, before a page without a body would be said to be one.
    struct Unstoppable : FakePageSource {
        FetchedPage fetch(const QString &url, const std::atomic<qint16> &) override
        {
            const std::atomic<qint16> running {0};
            return FakePageSource::fetch(url, running);
        }
    } whole;
    FetchedPage noBody;
    noBody.outcome = FetchedPage::Outcome::Ok;
    whole.setResult(kUrl, noBody);
    whole.onFetch = [this](const QString &) { cancelFlag.store(-1); };
    PageLoader wholeLoader {whole, progress, messages, cancelFlag};
    EXPECT_EQ(wholeLoader.load(kUrl, cardRequest(), table), PageStatus::Cancelled);
    EXPECT_TRUE(messages.messages().isEmpty());

    // A page the source ended as cancelled (another load stopped it) ends this load the same way.
    FetchedPage cancelled;
    cancelled.outcome = FetchedPage::Outcome::Cancelled;
    source.setResult(kUrl, cancelled);
    EXPECT_EQ(loader.load(kUrl, cardRequest(), table), PageStatus::Cancelled);
    EXPECT_TRUE(messages.messages().isEmpty());
}

TEST_F(LoaderTest, StopPressedBeforeTheLoadReturnsTwoWithoutFetching)
{
    cancelFlag.store(-1);
    EXPECT_EQ(loader.load(kUrl, cardRequest(), table), PageStatus::Cancelled);
    EXPECT_EQ(cancelFlag.load(), 0);
    EXPECT_TRUE(source.fetched().isEmpty());
}

TEST_F(LoaderTest, CalendarDoesNotHonourTheStopFlag)
{
    source.setPage(kUrl, pageWithMarkerAt(3));
    source.onFetch = [this](const QString &) { cancelFlag.store(-1); };
    PageRequest calendar;
    calendar.statusText = QStringLiteral("開催情報 読込み中・・・");
    calendar.splitFailureMessage = QStringLiteral("WebData読込みエラー(err-CA01)");
    calendar.honoursCancel = false;
    EXPECT_EQ(loader.load(kUrl, calendar, table), PageStatus::Read);
    EXPECT_EQ(table.cell(3, 1), QStringLiteral("出馬表"));
    EXPECT_EQ(cancelFlag.load(), -1);  // left for the next reader that honours it
}

// A page without a body fails the reader's check; read for a reader without a
// check, it is read as an empty table. Either way it is not kept, and a page
// that fails no check is.
TEST_F(LoaderTest, PageWithoutBodyShowsTheSplitterMessageAndIsNotKept)
{
    FetchedPage noBody;
    noBody.outcome = FetchedPage::Outcome::Ok;  // bodyHtml stays null
    source.setResult(kUrl, noBody);
    const QString other = QStringLiteral("http://site1.example/other.html");
    source.setPage(other, pageWithMarkerAt(30));
    PageRequest unchecked = cardRequest();
    unchecked.check = nullptr;
    const struct {
        QString url;
        PageRequest request;
        PageStatus status;
        bool kept;
    } cases[] = {
        {kUrl, cardRequest(), PageStatus::NotExpected, false},
        {kUrl, unchecked, PageStatus::Read, false},
        {other, unchecked, PageStatus::Read, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(&c - cases);
        source.forgetRequests();
        messages.clear();
        table.setCell(30, 1, QStringLiteral("見本"));
        EXPECT_EQ(loader.load(c.url, c.request, table), c.status);
        EXPECT_EQ(messages.messages(),
            c.kept ? QStringList() : QStringList {QStringLiteral("WebData読込みエラー(err-AA01)")});
        EXPECT_EQ(table.cell(30, 1), c.kept ? QStringLiteral("出馬表") : QString());
        EXPECT_EQ(source.discarded().contains(c.url), !c.kept);
    }
}

TEST_F(LoaderTest, PrefetchIsPassedToTheSource)
{
    const QStringList urls = {QStringLiteral("http://a/1"), QStringLiteral("http://a/2")};
    loader.prefetch(urls);
    EXPECT_EQ(source.prefetched(), urls);
}

}  // namespace
}  // namespace marunoki
