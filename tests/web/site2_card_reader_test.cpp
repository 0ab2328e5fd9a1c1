#include "web/site2_card_reader.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "support/site_pages.h"
#include "web/page_table.h"

#include <gtest/gtest.h>

#include <memory>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const QString kBase = QStringLiteral("https://site2.example");
const QString kFailed = QStringLiteral("WebData読込みエラー(err-AA22)");
const QString kMissing = QStringLiteral("出走データ読込みエラー");

// Cuts a Site 2 card page and runs both parse steps on it.
struct CardRead {
    explicit CardRead(const QString &html)
    {
        splitPage(html, *table);
        parseSyutuba02Page(*table, kBase, store, messages);
    }
    std::unique_ptr<PageTable> table = std::make_unique<PageTable>();
    RaceStore store;
    RecordingSink messages;
};

}  // namespace

TEST(Site2Card, ReadsTheRaceAndEveryRunner)
{
    RaceCard card = sampleCard(3, false);
    card.runners[0].bracketCell = QStringLiteral("8");  // printed brackets are taken as they are
    card.runners[1].jockey = QStringLiteral("見本 次郎");
    card.runners[2].weight = QStringLiteral("55");
    CardRead read(site2CardPage(card));

    const RaceStore &s = read.store;
    EXPECT_TRUE(read.messages.messages().isEmpty()) << read.messages.messages().join(u'|').toStdString();
    EXPECT_EQ(s.raceDate, *serialFromYmd(2007, 5, 27));
    EXPECT_EQ(s.raceTitle, QStringLiteral("11R 東京優駿(GI)"));
    EXPECT_EQ(s.raceConditions, QStringLiteral("芝2400m 天候:晴 馬場:良 15:40発走"));
    ASSERT_EQ(s.fieldSize, 3);
    EXPECT_EQ(s.horses[1].runs[0].bracket, 8);
    EXPECT_EQ(s.horses[2].runs[0].bracket, 1);
    EXPECT_EQ(s.horses[3].runs[0].bracket, 2);
    EXPECT_EQ(s.horses[2].name, QStringLiteral("テストホース02"));
    EXPECT_EQ(s.horses[3].sexAge, QStringLiteral("牝3"));
    EXPECT_EQ(s.horses[1].runs[0].weightCarried, 57.0f);
    EXPECT_EQ(s.horses[3].runs[0].weightCarried, 55.0f);
    EXPECT_EQ(s.horses[2].runs[0].jockey, QStringLiteral("見本 次郎")) << "the jockey is taken as printed";
    for (int n = 1; n <= 3; ++n) {
        EXPECT_EQ(s.horses[n].runs[0].distance, 2400) << n;
        EXPECT_EQ(s.horses[n].runs[0].date, s.raceDate) << n;
        EXPECT_TRUE(s.horses[n].coatColour.isEmpty()) << n;
        EXPECT_TRUE(s.horses[n].runs[0].trainer.isEmpty()) << n;
    }
    EXPECT_EQ(s.horses[1].pageAddress, QStringLiteral("https://site2.example/db/horse.php?hid=2004100001"));
    EXPECT_EQ(s.horses[3].pageAddress, site2HorseAddress(kBase, QStringLiteral("2004100003")));
}

TEST(Site2Card, EighteenRunners)
{
    CardRead read(site2CardPage(sampleCard(18, false)));
    EXPECT_EQ(read.store.fieldSize, 18);
    EXPECT_EQ(read.store.horses[18].runs[0].bracket, 8);
    EXPECT_EQ(read.store.horses[18].pageAddress, site2HorseAddress(kBase, QStringLiteral("2004100018")));
    EXPECT_TRUE(read.messages.messages().isEmpty());
}

TEST(Site2Card, RunnerLoopEndsAtTheFirstRowWhoseNumberIsNotN)
{
    RaceCard card = sampleCard(5, false);
    card.runners[3].numberCell = QString();
    CardRead read(site2CardPage(card));
    EXPECT_EQ(read.store.fieldSize, 3);
    EXPECT_TRUE(read.store.horses[4].name.isEmpty());
    // The two rows after the break are named (see card_break_test.cpp).
    EXPECT_EQ(read.store.gaps.leftOut.size(), 2);
    EXPECT_EQ(read.messages.messages().size(), 1);
}

TEST(Site2Card, DistanceFollowsTheSurface)
{
    const struct {
        QString conditions;
        int distance;
        bool failed;
    } cases[] = {
        {QStringLiteral("芝1600m 天候:晴"), 1600, false},
        {QStringLiteral("ダ1200m 天候:雨"), 1200, false},
        {QStringLiteral("障3170m"), 3170, false},
        {QStringLiteral("障芝3000m"), 3000, false},  // 芝 is looked for first
        {QStringLiteral("天候:晴 馬場:良"), 0, false},
        {QStringLiteral("芝外1600m"), 0, true},
    };
    for (const auto &c : cases) {
        RaceCard card = sampleCard(2, false);
        card.conditions = c.conditions;
        CardRead read(site2CardPage(card));
        EXPECT_EQ(read.store.horses[2].runs[0].distance, c.distance) << c.conditions.toStdString();
        EXPECT_EQ(read.messages.messages(), c.failed ? QStringList {kFailed} : QStringList {})
            << c.conditions.toStdString();
        EXPECT_EQ(read.store.fieldSize, c.failed ? 0 : 2) << c.conditions.toStdString();
    }
}

TEST(Site2Card, RaceDate)
{
    const struct {
        QString line;
        double date;
        bool failed;
    } cases[] = {
        {QStringLiteral("2007/05/27(日) 2回東京12日"), *serialFromYmd(2007, 5, 27), false},
        {QStringLiteral("開催 2008/1/05(土)"), *serialFromYmd(2008, 1, 5), false},
        {QStringLiteral("平成19年5月27日"), 0, false},  // no "/": no date, the card is read
        {QStringLiteral("2007/05"), 0, true},  // no second "/"
        {QStringLiteral("07/05/27"), 0, true},  // fewer than four characters of year
        {QStringLiteral("2007/13/27"), 0, true},  // not a date
    };
    for (const auto &c : cases) {
        RaceCard card = sampleCard(2, false);
        card.dateCell = c.line;
        CardRead read(site2CardPage(card));
        EXPECT_EQ(read.store.raceDate, c.date) << c.line.toStdString();
        EXPECT_EQ(read.messages.messages(), c.failed ? QStringList {kFailed} : QStringList {})
            << c.line.toStdString();
        // A failing date ends the parse before the title.
        EXPECT_EQ(read.store.raceTitle.isEmpty(), c.failed) << c.line.toStdString();
    }
}

TEST(Site2Card, CellThatIsNotANumberEndsTheCard)
{
    for (const bool bracket : {true, false}) {
        RaceCard card = sampleCard(4, false);
        if (bracket)
            card.runners[2].bracketCell = QStringLiteral("外");
        else
            card.runners[2].weight = QStringLiteral("未定");
        CardRead read(site2CardPage(card));
        EXPECT_EQ(read.messages.messages(), QStringList {kFailed}) << bracket;
        EXPECT_EQ(read.store.fieldSize, 0) << bracket;
        EXPECT_EQ(read.store.horses[2].name, QStringLiteral("テストホース02")) << bracket;
        EXPECT_EQ(read.store.horses[3].name.isEmpty(), bracket)
            << "the name comes after the bracket, before the weight";
        EXPECT_TRUE(read.store.horses[1].pageAddress.isEmpty()) << bracket;
    }
}

TEST(Site2Card, MissingLandmarksEndTheCardParse)
{
    RaceCard card = sampleCard(2, false);
    card.titleCell = QStringLiteral("東京優駿(GI)");  // no "R" in rows 0..9
    CardRead noRace(site2CardPage(card));
    EXPECT_EQ(noRace.messages.messages(), QStringList {kMissing});
    EXPECT_TRUE(noRace.store.raceTitle.isEmpty());
    EXPECT_EQ(noRace.store.fieldSize, 0);

    card = sampleCard(2, false);
    card.navRows = 7;  // the race row moves to row 10
    CardRead raceTooLow(site2CardPage(card));
    EXPECT_EQ(raceTooLow.messages.messages(), QStringList {kMissing});

    QString html = site2CardPage(sampleCard(2, false));
    html.replace(QStringLiteral("<td>馬</td>"), QStringLiteral("<td>馬番</td>"));
    CardRead noHeader(html);
    EXPECT_EQ(noHeader.messages.messages(), QStringList {kMissing});
    EXPECT_EQ(noHeader.store.raceTitle, QStringLiteral("11R 東京優駿(GI)"));
    EXPECT_EQ(noHeader.store.fieldSize, 0);
}

TEST(Site2Card, PageCheckLooksForTheBracketHeaderInRows5To19)
{
    const struct {
        int row;
        QString text;
        bool accepted;
    } cases[] = {
        {4, QStringLiteral("枠"), false},
        {5, QStringLiteral("枠"), true},
        {19, QStringLiteral("枠　"), true},
        {12, QStringLiteral(" 枠 "), true},
        {20, QStringLiteral("枠"), false},
        {12, QStringLiteral("枠番"), false},
    };
    for (const auto &c : cases) {
        auto table = std::make_unique<PageTable>();
        table->setCell(c.row, 1, c.text);
        EXPECT_EQ(checkSyutuba02(*table), c.accepted) << c.row << " " << c.text.toStdString();
    }
    auto page = std::make_unique<PageTable>();
    splitPage(site2CardPage(sampleCard(1, false)), *page);
    EXPECT_TRUE(checkSyutuba02(*page));
}

TEST(Site2CardLinks, NameWithASpaceIsStoredWithoutItAndItsLinkDoesNotMatch)
{
    RaceCard card = sampleCard(2, false);
    card.runners[0].name = QStringLiteral("ディープ インパクト");
    CardRead read(site2CardPage(card));
    EXPECT_EQ(read.store.horses[1].name, QStringLiteral("ディープインパクト"));
    EXPECT_TRUE(read.store.horses[1].pageAddress.isEmpty());
    EXPECT_TRUE(read.store.horses[2].pageAddress.isEmpty());
    EXPECT_EQ(read.messages.messages(), QStringList {QStringLiteral("U_Url読込みエラー(err-AA23)")});
}

TEST(Site2CardLinks, IdEndsBeforeTheCharacterBeforeTarget)
{
    const struct {
        QString html;
        QString url;  // empty: the scan failed
    } cases[] = {
        {QStringLiteral("<a href=\"/db/horse.php?hid=2004104205\" target=\"_blank\">馬</a>"),
            QStringLiteral("B/db/horse.php?hid=2004104205")},
        {QStringLiteral("<a href='/db/horse.php?hid=77' target='_top'>馬</a>"),
            QStringLiteral("B/db/horse.php?hid=77")},
        // Without quotes the id's last character is dropped all the same.
        {QStringLiteral("<a href=/db/horse.php?hid=123 target=_blank>馬</a>"),
            QStringLiteral("B/db/horse.php?hid=12")},
        {QStringLiteral("<a href=\"/db/horse.php?hid=123\">馬</a>"), QString()},  // no target
        {QStringLiteral("<a href=/db/horse.php?hid= target=x>馬</a>"), QString()},  // nothing before target
        {QStringLiteral("<a href=\"/db/horse.php?hid=1\" target=\"_blank\">他</a>"), QString()},
    };
    for (const auto &c : cases) {
        RaceStore store;
        store.fieldSize = 1;
        store.horses[1].name = QStringLiteral("馬");
        RecordingSink messages;
        scanSyutuba02Links(c.html, QStringLiteral("B"), store, messages);
        EXPECT_EQ(store.horses[1].pageAddress, c.url) << c.html.toStdString();
        EXPECT_EQ(messages.messages().isEmpty(), !c.url.isEmpty()) << c.html.toStdString();
    }
}

TEST(Site2CardLinks, LinksAfterTheCardAreNotUsedOnceRunnersAreMatched)
{
    RaceCard card = sampleCard(2, false);
    card.extraLinks = {{QStringLiteral("1999000001"), QStringLiteral("テストホース01")}};
    CardRead read(site2CardPage(card));
    EXPECT_EQ(read.store.horses[1].pageAddress, site2HorseAddress(kBase, QStringLiteral("2004100001")));
    EXPECT_TRUE(read.messages.messages().isEmpty());
}
