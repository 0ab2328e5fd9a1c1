#include "web/site1_card_reader.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "support/site_pages.h"
#include "web/page_table.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const QString kBase = QStringLiteral("https://site1.example");

// Cuts a Site 1 card page and runs both parse steps on it.
struct CardRead {
    explicit CardRead(const QString &html)
    {
        splitPage(html, *table);
        parseSyutubaPage(*table, kBase, store, messages);
    }
    std::unique_ptr<PageTable> table = std::make_unique<PageTable>();
    RaceStore store;
    RecordingSink messages;
};

double serial(int y, int m, int d)
{
    return *serialFromYmd(y, m, d);
}

}  // namespace

TEST(Site1Card, ReadsTheRaceAndEveryRunner)
{
    RaceCard card = sampleCard(3, true);
    card.runners[1].profileCell = QStringLiteral("牝4/栗毛　 (美)見本　調");
    card.runners[1].weightCell = QStringLiteral("55.5kg　見本　次郎");
    CardRead read(site1CardPage(card));

    const RaceStore &s = read.store;
    EXPECT_TRUE(read.messages.messages().isEmpty()) << read.messages.messages().join(u'|').toStdString();
    EXPECT_EQ(s.raceDate, serial(2007, 5, 27));
    EXPECT_EQ(s.raceTitle, QStringLiteral("東京優駿(GI)"));
    EXPECT_EQ(s.raceConditions, QStringLiteral("サラ系3歳 オープン (国際)(指定) 定量 芝2400m"));
    ASSERT_EQ(s.fieldSize, 3);
    EXPECT_EQ(s.horses[1].name, QStringLiteral("テストホース01"));
    EXPECT_EQ(s.horses[1].sexAge, QStringLiteral("牡3"));
    EXPECT_EQ(s.horses[1].coatColour, QStringLiteral("鹿毛"));
    EXPECT_EQ(s.horses[1].runs[0].trainer, QStringLiteral("見本調教師"));
    EXPECT_EQ(s.horses[1].runs[0].weightCarried, 57.0f);
    EXPECT_EQ(s.horses[2].sexAge, QStringLiteral("牝4"));
    EXPECT_EQ(s.horses[2].coatColour, QStringLiteral("栗毛"));
    EXPECT_EQ(s.horses[2].runs[0].trainer, QStringLiteral("(美)見本調"));
    EXPECT_EQ(s.horses[2].runs[0].weightCarried, 55.5f);
    EXPECT_EQ(s.horses[2].runs[0].jockey, QStringLiteral("見本次郎"));
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(s.horses[n].runs[0].distance, 2400) << n;
        EXPECT_EQ(s.horses[n].runs[0].date, s.raceDate) << n;
        EXPECT_EQ(s.horses[n].runs[0].bracket, n) << n;
        // The id keeps its trailing slash: it is everything up to "index.html".
        EXPECT_EQ(s.horses[n].pageAddress, site1HorseAddress(kBase, card.runners[n - 1].horseId)) << n;
    }
    EXPECT_EQ(s.horses[1].pageAddress,
        QStringLiteral("https://site1.example/directory/horse/2004100001/index.html"));
    EXPECT_TRUE(s.horses[4].name.isEmpty());
}

TEST(Site1Card, LandmarksFollowTheNavigationRows)
{
    // Date row at 21 and at 29 (its limit), the tab row at 25 and 33, header at 26 and 34.
    for (int navRows : {18, 26}) {
        RaceCard card = sampleCard(2, true);
        card.navRows = navRows;
        CardRead read(site1CardPage(card));
        EXPECT_TRUE(checkSyutuba(*read.table)) << navRows;
        EXPECT_EQ(read.store.fieldSize, 2) << navRows;
        EXPECT_EQ(read.table->cell(navRows + 3, 2).left(4), QStringLiteral("2007")) << navRows;
    }
    // The date row is looked for from the table's first row on: the same card with
    // the rows before its date row cut away still has its date and title read
    // (its runners' header is then above the rows searched for it).
    {
        RaceCard card = sampleCard(2, true);
        card.navRows = 0;
        CardRead read(site1CardPage(card));
        auto shifted = std::make_unique<PageTable>();
        for (int r = 3; r <= kPageRows; ++r)
            for (int c = 0; c <= kPageCols; ++c)
                shifted->setCell(r - 3, c, read.table->cell(r, c));
        RaceStore store;
        RecordingSink messages;
        parseSyutubaPage(*shifted, kBase, store, messages);
        EXPECT_EQ(store.raceDate, serial(2007, 5, 27));
        EXPECT_EQ(store.raceTitle, QStringLiteral("東京優駿(GI)"));
    }
    // One row more and the date row is out of reach.
    RaceCard card = sampleCard(2, true);
    card.navRows = 27;
    CardRead read(site1CardPage(card));
    EXPECT_EQ(read.messages.messages(), QStringList {QStringLiteral("出走データ読込みエラー")});
    EXPECT_EQ(read.store.fieldSize, 0);
}

TEST(Site1Card, PageCheckLooksForTheMarkerInRows25To49)
{
    const struct {
        int row;
        QString text;
        bool accepted;
    } cases[] = {
        {24, QStringLiteral("出馬表"), false},
        {25, QStringLiteral("出馬表"), true},
        {49, QStringLiteral("出馬表"), true},
        {50, QStringLiteral("出馬表"), false},
        {30, QStringLiteral("出馬表 "), false},
        {30, QStringLiteral("出馬表一覧"), false},
    };
    for (const auto &c : cases) {
        auto table = std::make_unique<PageTable>();
        table->setCell(c.row, 1, c.text);
        EXPECT_EQ(checkSyutuba(*table), c.accepted) << c.row << " " << c.text.toStdString();
    }
    auto table = std::make_unique<PageTable>();
    table->setCell(30, 2, QStringLiteral("出馬表"));
    EXPECT_FALSE(checkSyutuba(*table)) << "only the first cell counts";
}

TEST(Site1Card, BracketsFollowTheCentralRule)
{
    const std::vector<std::pair<int, std::vector<int>>> cases = {
        {7, {1, 2, 3, 4, 5, 6, 7}},
        {8, {1, 2, 3, 4, 5, 6, 7, 8}},
        {9, {1, 2, 3, 4, 5, 6, 7, 8, 8}},
        {12, {1, 2, 3, 4, 5, 5, 6, 6, 7, 7, 8, 8}},
        {15, {1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8}},
        {16, {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8}},
        {17, {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 8}},
        {18, {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 7, 8, 8, 8}},
    };
    for (const auto &[runners, expected] : cases) {
        CardRead read(site1CardPage(sampleCard(runners, true)));
        ASSERT_EQ(read.store.fieldSize, runners);
        std::vector<int> brackets;
        for (int n = 1; n <= runners; ++n)
            brackets.push_back(read.store.horses[n].runs[0].bracket);
        EXPECT_EQ(brackets, expected) << runners << " runners";
        EXPECT_TRUE(read.messages.messages().isEmpty()) << runners;
    }
}

TEST(Site1Card, RunnerLoopEndsAtTheFirstRowWhoseNumberIsNotN)
{
    const struct {
        QString third;  // the third runner's horse-number cell
        int runners;
    } cases[] = {
        {QString(), 2},  // a missing number
        {QStringLiteral("4"), 2},  // out of order
        {QStringLiteral("３"), 2},  // full-width digit: not a number
        {QStringLiteral("取消"), 2},
        {QStringLiteral("3"), 5},
        {QStringLiteral(" 3 "), 5},
    };
    for (const auto &c : cases) {
        RaceCard card = sampleCard(5, true);
        card.runners[2].numberCell = c.third;
        CardRead read(site1CardPage(card));
        EXPECT_EQ(read.store.fieldSize, c.runners) << c.third.toStdString();
        // The rows after the break are named, not dropped without a word.
        EXPECT_EQ(read.messages.messages().size(), c.runners == 2 ? 1 : 0) << c.third.toStdString();
        EXPECT_EQ(read.store.gaps.leftOut.size(), c.runners == 2 ? 3 : 0) << c.third.toStdString();
        // Runners past the end are not read even though the page lists them.
        EXPECT_EQ(read.store.horses[3].name.isEmpty(), c.runners == 2) << c.third.toStdString();
    }
}

TEST(Site1Card, EighteenRunnersFillEverySlot)
{
    CardRead read(site1CardPage(sampleCard(18, true)));
    EXPECT_EQ(read.store.fieldSize, 18);
    EXPECT_EQ(read.store.horses[18].name, QStringLiteral("テストホース18"));
    EXPECT_EQ(read.store.horses[18].pageAddress, site1HorseAddress(kBase, QStringLiteral("2004100018/")));
    EXPECT_TRUE(read.messages.messages().isEmpty());
}

TEST(Site1Card, DistanceIsTheFourCharactersBeforeTheFirstM)
{
    const struct {
        QString conditions;
        int distance;
        bool failed;
    } cases[] = {
        {QStringLiteral("4歳以上1000万下 ハンデ ダ1200m"), 1200, false},
        {QStringLiteral("芝 2400m (外)"), 2400, false}, {QStringLiteral("2000m"), 2000, false},
        {QStringLiteral("障害 芝3000"), 0, false},  // no "m": no distance
        {QStringLiteral("芝m"), 0, true},  // fewer than four characters before it
        {QStringLiteral("芝・外回りm"), 0, true},  // not a number
    };
    for (const auto &c : cases) {
        RaceCard card = sampleCard(2, true);
        card.conditions = c.conditions;
        CardRead read(site1CardPage(card));
        EXPECT_EQ(read.store.horses[1].runs[0].distance, c.distance) << c.conditions.toStdString();
        EXPECT_EQ(read.store.raceConditions, c.conditions);
        const QStringList expected
            = c.failed ? QStringList {QStringLiteral("WebData読込みエラー(err-AA02)")} : QStringList {};
        EXPECT_EQ(read.messages.messages(), expected) << c.conditions.toStdString();
        EXPECT_EQ(read.store.fieldSize, c.failed ? 0 : 2) << c.conditions.toStdString();
    }
}

TEST(Site1Card, RaceDateEndsAtTheFirstDayMark)
{
    RaceCard card = sampleCard(2, true);
    card.dateCell = QStringLiteral("2007年12月9日(日)　5回中山4日");
    EXPECT_EQ(CardRead(site1CardPage(card)).store.raceDate, serial(2007, 12, 9));

    // Without 日 the date stays unset and the card is still read.
    card.dateCell = QStringLiteral("2007年12月9");
    CardRead noDay(site1CardPage(card));
    EXPECT_EQ(noDay.store.raceDate, 0);
    EXPECT_EQ(noDay.store.fieldSize, 2);
    EXPECT_EQ(noDay.store.horses[1].runs[0].date, 0);

    // A date that cannot be read is a card failure.
    card.dateCell = QStringLiteral("2007年13月9日(日)");
    CardRead bad(site1CardPage(card));
    EXPECT_EQ(bad.messages.messages(), QStringList {QStringLiteral("WebData読込みエラー(err-AA02)")});
    EXPECT_TRUE(bad.store.raceTitle.isEmpty());
    EXPECT_EQ(bad.store.fieldSize, 0);
}

TEST(Site1Card, MissingLandmarksEndTheCardParse)
{
    RaceCard card = sampleCard(3, true);
    card.dateCell = QStringLiteral("平成19年5月27日(日)");
    CardRead noDate(site1CardPage(card));
    EXPECT_EQ(noDate.messages.messages(), QStringList {QStringLiteral("出走データ読込みエラー")});
    EXPECT_EQ(noDate.store.fieldSize, 0);
    EXPECT_TRUE(noDate.store.raceTitle.isEmpty());
    EXPECT_TRUE(noDate.store.horses[1].pageAddress.isEmpty());

    QString html = site1CardPage(sampleCard(3, true));
    html.replace(QStringLiteral("<td>枠番</td>"), QStringLiteral("<td>枠</td>"));
    CardRead noHeader(html);
    EXPECT_EQ(noHeader.messages.messages(), QStringList {QStringLiteral("出走データ読込みエラー")});
    EXPECT_EQ(noHeader.store.raceTitle, QStringLiteral("東京優駿(GI)"));
    EXPECT_EQ(noHeader.store.fieldSize, 0);
    EXPECT_TRUE(noHeader.store.horses[1].name.isEmpty());
}

TEST(Site1Card, WeightCellWithoutKgEndsTheCardAtThatRunner)
{
    RaceCard card = sampleCard(4, true);
    card.runners[2].weightCell = QStringLiteral("57.0　見本一騎");
    CardRead read(site1CardPage(card));
    EXPECT_EQ(read.messages.messages(), QStringList {QStringLiteral("WebData読込みエラー(err-AA02)")});
    // The loop had not ended: no field size, no brackets, no links.
    EXPECT_EQ(read.store.fieldSize, 0);
    EXPECT_EQ(read.store.horses[2].runs[0].weightCarried, 57.0f);
    EXPECT_EQ(read.store.horses[3].name, QStringLiteral("テストホース03"));
    EXPECT_EQ(read.store.horses[3].runs[0].weightCarried, 0.0f);
    EXPECT_TRUE(read.store.horses[4].name.isEmpty());
    EXPECT_EQ(read.store.horses[1].runs[0].bracket, 0);
    EXPECT_TRUE(read.store.horses[1].pageAddress.isEmpty());
}

TEST(Site1Card, WeightThatIsNotANumberLeavesWeightAndJockeyEmpty)
{
    RaceCard card = sampleCard(2, true);
    card.runners[0].weightCell = QStringLiteral("未定kg　見本一騎");
    card.runners[1].profileCell = QStringLiteral("牡3");  // no "/" and no 毛
    CardRead read(site1CardPage(card));
    EXPECT_TRUE(read.messages.messages().isEmpty());
    EXPECT_EQ(read.store.horses[1].runs[0].weightCarried, 0.0f);
    EXPECT_TRUE(read.store.horses[1].runs[0].jockey.isEmpty());
    EXPECT_TRUE(read.store.horses[2].sexAge.isEmpty());
    EXPECT_TRUE(read.store.horses[2].coatColour.isEmpty());
    EXPECT_EQ(read.store.fieldSize, 2);
}

TEST(Site1CardLinks, NameWithAFullWidthSpaceIsStoredWithoutItAndItsLinkDoesNotMatch)
{
    RaceCard card = sampleCard(3, true);
    card.runners[1].name = QStringLiteral("ディープ　インパクト");
    CardRead read(site1CardPage(card));
    EXPECT_EQ(read.store.horses[2].name, QStringLiteral("ディープインパクト"));
    EXPECT_EQ(read.store.horses[1].pageAddress, site1HorseAddress(kBase, card.runners[0].horseId));
    EXPECT_TRUE(read.store.horses[2].pageAddress.isEmpty());
    EXPECT_TRUE(read.store.horses[3].pageAddress.isEmpty())
        << "the search for runner 2 used up the later links";
    EXPECT_EQ(read.messages.messages(), QStringList {QStringLiteral("U_Url読込みエラー(err-AA03)")});
}

TEST(Site1CardLinks, ScanOnlyMovesForward)
{
    // The side menu links to a horse named like runner 2 before the card; runner 1
    // is matched first, so runner 2 gets the card's own link after it.
    RaceCard card = sampleCard(3, true);
    card.extraLinks = {{QStringLiteral("1999100002/"), QStringLiteral("テストホース02")}};
    CardRead read(site1CardPage(card));
    EXPECT_EQ(read.store.horses[2].pageAddress, site1HorseAddress(kBase, QStringLiteral("2004100002/")));
    EXPECT_TRUE(read.messages.messages().isEmpty());

    // Runner 1's only link is in the menu before everything: it is matched there.
    card.extraLinks = {{QStringLiteral("1999100001/"), QStringLiteral("テストホース01")}};
    CardRead early(site1CardPage(card));
    EXPECT_EQ(early.store.horses[1].pageAddress, site1HorseAddress(kBase, QStringLiteral("1999100001/")));
    EXPECT_EQ(early.store.horses[2].pageAddress, site1HorseAddress(kBase, QStringLiteral("2004100002/")));
}

TEST(Site1CardLinks, RunnerWithoutALinkEndsTheScan)
{
    RaceCard card = sampleCard(4, true);
    card.runners[2].linked = false;
    CardRead read(site1CardPage(card));
    EXPECT_EQ(read.store.fieldSize, 4);
    EXPECT_FALSE(read.store.horses[1].pageAddress.isEmpty());
    EXPECT_FALSE(read.store.horses[2].pageAddress.isEmpty());
    EXPECT_TRUE(read.store.horses[3].pageAddress.isEmpty());
    EXPECT_TRUE(read.store.horses[4].pageAddress.isEmpty());
    EXPECT_EQ(read.messages.messages(), QStringList {QStringLiteral("U_Url読込みエラー(err-AA03)")});
}

TEST(Site1CardLinks, MalformedLinksFailTheScan)
{
    const struct {
        QString html;
        QString url;  // runner 1's address, empty when the scan failed first
    } cases[] = {
        {QStringLiteral("<a href=\"/directory/horse/123/index.html\">馬</a>"),
            QStringLiteral("B/directory/horse/123/index.html")},
        {QStringLiteral("<a href=\"/directory/horse/123/\">馬</a>"), QString()},  // no index.html
        {QStringLiteral("<a href=\"/directory/horse/123/index.html\" title=馬"), QString()},  // no ">"
        {QStringLiteral("<a href=\"/directory/horse/123/index.html\">馬"), QString()},  // no "<"
        {QStringLiteral("<a href=\"/directory/horse/123/index.html\">他</a>"), QString()},  // no match
    };
    for (const auto &c : cases) {
        RaceStore store;
        store.fieldSize = 1;
        store.horses[1].name = QStringLiteral("馬");
        RecordingSink messages;
        scanSyutubaLinks(c.html, QStringLiteral("B"), store, messages);
        EXPECT_EQ(store.horses[1].pageAddress, c.url) << c.html.toStdString();
        EXPECT_EQ(messages.messages().isEmpty(), !c.url.isEmpty()) << c.html.toStdString();
    }
}

TEST(Site1CardLinks, LinkTextIsLookedForInEightyCharactersAfterTheIdStart)
{
    // The window starts at the id's second character and spans 80 characters.
    const QString head = QStringLiteral("/directory/horse/1");
    const auto page
        = [&head](int fill) { return head + QString(fill, u'x') + QStringLiteral("index.html\">馬</a>"); };
    // 1 skipped id character, then fill + 12 characters before the name.
    for (const auto &[fill, matched] : std::vector<std::pair<int, bool>> {{66, true}, {67, false}}) {
        RaceStore store;
        store.fieldSize = 1;
        store.horses[1].name = QStringLiteral("馬");
        RecordingSink messages;
        scanSyutubaLinks(page(fill), QString(), store, messages);
        EXPECT_EQ(!store.horses[1].pageAddress.isEmpty(), matched) << fill;
    }
}
