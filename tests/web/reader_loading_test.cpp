// The readers through the page loader: statuses, status lines, and that the parse
// runs only on a page that passed the check.

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "support/fake_page_source.h"
#include "support/site_pages.h"
#include "web/meeting_calendar.h"
#include "web/page_loader.h"
#include "web/site1_card_reader.h"
#include "web/site1_horse_reader.h"
#include "web/site2_card_reader.h"
#include "web/site2_horse_reader.h"

#include <gtest/gtest.h>

#include <memory>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const QString kBase1 = QStringLiteral("https://site1.example");
const QString kBase2 = QStringLiteral("https://site2.example");
const QString kCard1 = kBase1 + QStringLiteral("/scores/2007/05/02/12/11/denma.html");
const QString kCard2
    = kBase2 + QStringLiteral("/race/page.php?param[race]=200705021211&param[option]=shutuba");

// A store, a loader over a fake source, and what they report.
struct Rig {
    Rig() { loader = std::make_unique<PageLoader>(source, progress, loaderMessages, store.cancelFlag); }
    RaceStore store;
    FakePageSource source;
    RecordingProgress progress;
    RecordingSink loaderMessages;
    RecordingSink messages;
    std::unique_ptr<PageLoader> loader;
};

PastRun recentRun()
{
    PastRun run;
    run.year = 2007;
    run.month = 5;
    run.day = 6;
    return run;
}

}  // namespace

TEST(ReaderLoading, Site1CardAndHorseThroughTheLoader)
{
    Rig rig;
    const RaceCard card = sampleCard(3, true);
    rig.source.setPage(kCard1, site1CardPage(card));
    HorsePage horse;
    horse.name = card.runners[2].name;
    horse.runs = {recentRun()};
    rig.source.setPage(site1HorseAddress(kBase1, card.runners[2].horseId), site1HorsePage(horse));

    Site1CardReader cardReader;
    EXPECT_EQ(cardReader.readCard(*rig.loader, kCard1, kBase1, rig.store, rig.messages), PageStatus::Read);
    ASSERT_EQ(rig.store.fieldSize, 3);
    EXPECT_TRUE(checkSyutuba(cardReader.table()));
    EXPECT_FALSE(cardReader.table().pageHtml.isEmpty());

    Site1HorseReader horseReader;
    EXPECT_EQ(horseReader.readHistory(
                  *rig.loader, rig.store.horses[3].pageAddress, kBase1, rig.store, 3, rig.messages),
        PageStatus::Read);
    EXPECT_EQ(rig.store.horses[3].runs[1].date, *serialFromYmd(2007, 5, 6));
    EXPECT_EQ(rig.store.horses[3].runs[1].course, QStringLiteral("05"));

    EXPECT_EQ(rig.progress.lines(),
        (QStringList {QStringLiteral("出馬表読込み中・・・"),
            QStringLiteral("03/03 テストホース03成績読込み中・・・")}));
    EXPECT_TRUE(rig.messages.messages().isEmpty());
    EXPECT_TRUE(rig.loaderMessages.messages().isEmpty());

    // Runner 1's page is not there: status 1 and its runs stay empty; the card
    // reader's table still holds the card.
    EXPECT_EQ(horseReader.readHistory(
                  *rig.loader, rig.store.horses[1].pageAddress, kBase1, rig.store, 1, rig.messages),
        PageStatus::NotExpected);
    EXPECT_EQ(rig.store.horses[1].runs[1].date, 0);
    EXPECT_TRUE(checkSyutuba(cardReader.table()));
}

TEST(ReaderLoading, Site2CardAndHorseThroughTheLoader)
{
    Rig rig;
    const RaceCard card = sampleCard(2, false);
    rig.source.setPage(kCard2, site2CardPage(card));
    HorsePage horse;
    horse.runs = {recentRun()};
    rig.source.setPage(site2HorseAddress(kBase2, card.runners[1].horseId), site2HorsePage(horse));

    Site2CardReader cardReader;
    EXPECT_EQ(cardReader.readCard(*rig.loader, kCard2, kBase2, rig.store, rig.messages), PageStatus::Read);
    ASSERT_EQ(rig.store.fieldSize, 2);
    Site2HorseReader horseReader;
    EXPECT_EQ(horseReader.readHistory(
                  *rig.loader, rig.store.horses[2].pageAddress, kBase2, rig.store, 2, rig.messages),
        PageStatus::Read);
    EXPECT_EQ(rig.store.horses[2].runs[1].raceNumber, 11);
    EXPECT_EQ(rig.progress.lines().last(), QStringLiteral("02/02 テストホース02成績読込み中・・・"));
    EXPECT_TRUE(rig.messages.messages().isEmpty());
}

TEST(ReaderLoading, WrongPageIsStatusOneAndIsNotParsed)
{
    Rig rig;
    // Each site's card offered to the other site's reader.
    rig.source.setPage(kCard1, site2CardPage(sampleCard(3, false)));
    rig.source.setPage(kCard2, site1CardPage(sampleCard(3, true)));
    Site1CardReader site1;
    Site2CardReader site2;
    EXPECT_EQ(site1.readCard(*rig.loader, kCard1, kBase1, rig.store, rig.messages), PageStatus::NotExpected);
    EXPECT_EQ(site2.readCard(*rig.loader, kCard2, kBase2, rig.store, rig.messages), PageStatus::NotExpected);
    EXPECT_EQ(rig.store.fieldSize, 0);
    EXPECT_TRUE(rig.store.raceTitle.isEmpty());
    EXPECT_TRUE(rig.messages.messages().isEmpty());

    // A horse page where a card was expected, and the reverse.
    rig.source.setPage(kCard1, site1HorsePage(HorsePage()));
    EXPECT_EQ(site1.readCard(*rig.loader, kCard1, kBase1, rig.store, rig.messages), PageStatus::NotExpected);
    Site2HorseReader horse2;
    EXPECT_EQ(
        horse2.readHistory(*rig.loader, kCard2, kBase2, rig.store, 1, rig.messages), PageStatus::NotExpected);
}

TEST(ReaderLoading, StopButtonGivesStatusTwoAndResetsTheFlag)
{
    Rig rig;
    rig.source.setPage(kCard1, site1CardPage(sampleCard(3, true)));
    rig.source.onFetch = [&rig](const QString &) { rig.store.cancelFlag = -1; };
    Site1CardReader reader;
    EXPECT_EQ(reader.readCard(*rig.loader, kCard1, kBase1, rig.store, rig.messages), PageStatus::Cancelled);
    EXPECT_EQ(rig.store.cancelFlag.load(), 0);
    EXPECT_EQ(rig.store.fieldSize, 0);

    // The next load starts afresh.
    rig.source.onFetch = nullptr;
    EXPECT_EQ(reader.readCard(*rig.loader, kCard1, kBase1, rig.store, rig.messages), PageStatus::Read);
    EXPECT_EQ(rig.store.fieldSize, 3);
}

TEST(ReaderLoading, PageWithoutABodyShowsTheReadersSplitterMessage)
{
    const struct {
        QString code;
        std::function<PageStatus(Rig &, const QString &)> read;
    } cases[] = {
        {QStringLiteral("AA01"),
            [](Rig &r, const QString &url) {
                return Site1CardReader().readCard(*r.loader, url, kBase1, r.store, r.messages);
            }},
        {QStringLiteral("AB01"),
            [](Rig &r, const QString &url) {
                return Site1HorseReader().readHistory(*r.loader, url, kBase1, r.store, 1, r.messages);
            }},
        {QStringLiteral("AA21"),
            [](Rig &r, const QString &url) {
                return Site2CardReader().readCard(*r.loader, url, kBase2, r.store, r.messages);
            }},
        {QStringLiteral("AB21"),
            [](Rig &r, const QString &url) {
                return Site2HorseReader().readHistory(*r.loader, url, kBase2, r.store, 1, r.messages);
            }},
    };
    for (const auto &c : cases) {
        Rig rig;
        FetchedPage frameset;
        frameset.outcome = FetchedPage::Outcome::Ok;
        rig.source.setResult(QStringLiteral("x"), frameset);
        EXPECT_EQ(c.read(rig, QStringLiteral("x")), PageStatus::NotExpected) << c.code.toStdString();
        EXPECT_EQ(rig.loaderMessages.messages(),
            QStringList {QStringLiteral("WebData読込みエラー(err-%1)").arg(c.code)});
    }
}

TEST(ReaderLoading, CalendarReadsAndStopsLikeARaceLoad)
{
    Rig rig;
    const QString top = kBase1 + u'/';
    rig.source.setPage(top, site1TopPage(sampleTopPage()));
    MeetingCalendarReader reader;
    const CalendarTexts texts = reader.readKaisai(*rig.loader, top, rig.messages);
    EXPECT_TRUE(texts.filled);
    EXPECT_EQ(texts.meetings[0], QStringLiteral("2回東京11日"));
    EXPECT_EQ(rig.progress.lines(), QStringList {QStringLiteral("開催情報 読込み中・・・")});

    // Stopped: nothing filled and nothing said (the user asked for it).
    rig.store.cancelFlag = -1;
    const CalendarTexts stopped = reader.readKaisai(*rig.loader, top, rig.messages);
    EXPECT_FALSE(stopped.filled);
    EXPECT_TRUE(rig.messages.messages().isEmpty());
    EXPECT_TRUE(rig.loaderMessages.messages().isEmpty());
}

TEST(ReaderLoading, CalendarWithoutAPage)
{
    Rig rig;
    MeetingCalendarReader reader;
    // Not fetched: the parse does not run; the calendar's own error, with the
    // address and the cause behind it, is the one message.
    const CalendarTexts missing = reader.readKaisai(*rig.loader, QStringLiteral("nowhere"), rig.messages);
    EXPECT_FALSE(missing.filled);
    EXPECT_EQ(rig.messages.messages(), QStringList {QStringLiteral("開催情報読込みエラー")});
    ASSERT_EQ(rig.messages.details().size(), 1);
    EXPECT_TRUE(rig.messages.details()[0].startsWith(QStringLiteral("nowhere (")));
    EXPECT_TRUE(rig.loaderMessages.messages().isEmpty());
    rig.messages.clear();

    // Fetched without a body: the splitter message, then the parse finds nothing.
    FetchedPage frameset;
    frameset.outcome = FetchedPage::Outcome::Ok;
    rig.source.setResult(QStringLiteral("frames"), frameset);
    const CalendarTexts empty = reader.readKaisai(*rig.loader, QStringLiteral("frames"), rig.messages);
    EXPECT_FALSE(empty.filled);
    EXPECT_EQ(rig.loaderMessages.messages(), QStringList {QStringLiteral("WebData読込みエラー(err-CA01)")});
    EXPECT_EQ(rig.messages.messages(), QStringList {QStringLiteral("開催情報読込みエラー")});
}
