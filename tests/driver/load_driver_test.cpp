#include "driver/load_driver.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "web/page_loader.h"
#include "web/page_source.h"

#include "support/fake_page_source.h"
#include "support/fixture_databases.h"
#include "support/sample_race.h"
#include "support/sqlite_file.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>

#include <algorithm>
#include <functional>

namespace marunoki {
namespace {

using test::LocalRun;
using test::SampleRace;

const QString kBase1 = QStringLiteral("http://one.test");
const QString kBase2 = QStringLiteral("http://two.test");
const QString kCardUnreadable = QStringLiteral("出馬表が正常に読み込めません");
const QString kUserCancel = QStringLiteral("処理を中止します（ユーザーキャンセル）");

class LoadDriver : public ::testing::Test {
protected:
    LoadDriver()
        : folder(temp.path())
    {
        test::writeSampleTrackDb(temp.file(QStringLiteral("marunoki.dat")));
        settings.kakeritu = 0.3f;
        settings.site1Base = kBase1;
        settings.site2Base = kBase2;
        useRace(test::makeSampleRace({4, false, {}}));
    }

    void useRace(const SampleRace &r)
    {
        race = r;
        source.setPages(test::samplePages(race, 1, kBase1));
        source.setPages(test::samplePages(race, 2, kBase2));
    }

    QString horse(int site, int n) const
    {
        return test::sampleHorseAddress(race, site, site == 1 ? kBase1 : kBase2, n);
    }
    QString card(int site) const { return test::sampleCardAddress(race, site, site == 1 ? kBase1 : kBase2); }

    static RaceSelection selection(ReadingSite site)
    {
        return {QStringLiteral("2026"), QStringLiteral("東京"), QStringLiteral("05"), QStringLiteral("09"),
            QStringLiteral("11"), site};
    }

    LoadResult load(ReadingSite site) { return load(selection(site)); }
    LoadResult load(const RaceSelection &chosen)
    {
        LoadContext context {store, settings, folder, source, progress, messages};
        return runLoad(chosen, context);
    }

    // The runner's runs whose course is the local one.
    int localRuns(int n) const
    {
        int count = 0;
        for (int r = 1; r <= kMaxRuns; ++r)
            count += store.horses[n].runs[r].date > 0
                && store.horses[n].runs[r].course == QStringLiteral("大井");
        return count;
    }

    test::TestFolder temp;
    RaceStore store;
    test::FakePageSource source;
    test::RecordingProgress progress;
    RecordingSink messages;
    Settings settings;
    AppFolder folder;
    SampleRace race;
};

TEST_F(LoadDriver, StopsAtTheFirstUnchosenBoxWithoutLoading)
{
    struct Case {
        std::optional<QString> RaceSelection::*box;
        QString message;
    };
    const Case cases[] = {
        {&RaceSelection::course, QStringLiteral("場を選択してください")},
        {&RaceSelection::meeting, QStringLiteral("開催回を選択してください")},
        {&RaceSelection::day, QStringLiteral("開催日を選択してください")},
        {&RaceSelection::race, QStringLiteral("Raceを選択してください")},
    };
    for (const Case &c : cases) {
        store.fieldSize = 7;  // left from an earlier load: the reset comes first
        messages.clear();
        RaceSelection chosen = selection(ReadingSite::One);
        chosen.*c.box = std::nullopt;
        const LoadResult result = load(chosen);
        EXPECT_FALSE(result.analysed);
        EXPECT_EQ(result.stopMessage, c.message);
        EXPECT_EQ(messages.messages(), QStringList {c.message});
        EXPECT_EQ(store.fieldSize, 0);
    }
    EXPECT_TRUE(source.fetched().isEmpty());
}

TEST_F(LoadDriver, ReadsTheCardThenEveryRunnerInOrderAndAnalyses)
{
    for (int site : {1, 2}) {
        SCOPED_TRACE(site);
        source.forgetRequests();
        progress.clear();
        const LoadResult result = load(site == 1 ? ReadingSite::One : ReadingSite::Two);
        EXPECT_TRUE(result.analysed);
        EXPECT_TRUE(result.stopMessage.isEmpty());
        EXPECT_EQ(messages.messages(), QStringList());
        const QStringList horses {horse(site, 1), horse(site, 2), horse(site, 3), horse(site, 4)};
        EXPECT_EQ(source.fetched(), QStringList {card(site)} + horses);
        // Every runner's page is asked for ahead once the card is in.
        EXPECT_EQ(source.prefetchCalls(), 1);
        EXPECT_EQ(source.prefetched(), horses);
        EXPECT_EQ(source.fetchedBeforePrefetch(), 1);
        EXPECT_EQ(progress.lines().first(), QStringLiteral("出馬表読込み中・・・"));
        EXPECT_EQ(progress.lines().at(2), QStringLiteral("02/04 サンプルホース02成績読込み中・・・"));

        EXPECT_EQ(store.fieldSize, 4);
        EXPECT_EQ(store.raceDate, *serialFromYmd(2026, 11, 29));
        for (int n = 1; n <= 4; ++n) {
            EXPECT_GT(store.horses[n].runs[1].date, 0) << n;
            EXPECT_NE(store.horses[n].runs[1].speedFigure, 0) << n;
            EXPECT_GT(store.horses[n].meanFigure.runs, 0) << n;
        }
    }
}

TEST_F(LoadDriver, OnSite1AnUnreadableHorsePageIsNamedAndTheLoadGoesOn)
{
    source.removePage(horse(1, 2));
    source.setPage(horse(1, 3), source.page(card(1)));  // the wrong page: fails the check
    const LoadResult result = load(ReadingSite::One);
    EXPECT_TRUE(result.analysed);
    // One message per runner; only the page that could not be fetched has a
    // detail (its address and cause), not the one that was the wrong page.
    EXPECT_EQ(messages.messages(),
        QStringList({QStringLiteral("2番の馬情報が正常に読み込めません"),
            QStringLiteral("3番の馬情報が正常に読み込めません")}));
    const QStringList details = messages.details();
    ASSERT_EQ(details.size(), 2);
    EXPECT_TRUE(details[0].startsWith(horse(1, 2) + QStringLiteral(" ("))) << details[0].toStdString();
    EXPECT_EQ(details[1], QString());
    EXPECT_EQ(source.fetched().last(), horse(1, 4));
    EXPECT_EQ(store.horses[2].runs[1].date, 0);
    EXPECT_GT(store.horses[4].meanFigure.runs, 0);
}

TEST_F(LoadDriver, OnSite2AnUnreadableHorsePageStopsTheLoad)
{
    source.setPage(horse(2, 2), source.page(card(2)));
    const LoadResult result = load(ReadingSite::Two);
    EXPECT_FALSE(result.analysed);
    EXPECT_EQ(result.stopMessage, kCardUnreadable);
    EXPECT_EQ(messages.messages(), QStringList {kCardUnreadable});
    EXPECT_EQ(source.fetched(), (QStringList {card(2), horse(2, 1), horse(2, 2)}));
    EXPECT_GE(source.cancelAllCalls(), 1);  // the pages fetched ahead are dropped
    // Runner 1 was read but nothing was analysed.
    EXPECT_GT(store.horses[1].runs[1].date, 0);
    EXPECT_EQ(store.horses[1].runs[1].speedFigure, 0);
}

// The card cut off before its first runner row: the date, title and column
// heads that the page check looks for are still there.
QString cutBeforeTheFirstRunner(const QString &cardHtml)
{
    const qsizetype firstBracket = cardHtml.indexOf(QStringLiteral("class=\"waku"));
    return cardHtml.left(cardHtml.lastIndexOf(QStringLiteral("<tr"), firstBracket));
}

TEST_F(LoadDriver, AnUnreadableCardStopsBeforeAnyHorsePage)
{
    const QStringList maintenance = {QStringLiteral("<table><tr><td>メンテナンス中</td></tr></table>")};
    for (int site : {1, 2}) {
        const QString fullCard = source.page(card(site));
        ASSERT_FALSE(fullCard.isEmpty());
        const QString cardsUnread[] = {maintenance.first(), cutBeforeTheFirstRunner(fullCard)};
        for (const QString &cardHtml : cardsUnread) {
            SCOPED_TRACE(QStringLiteral("site %1: %2").arg(site).arg(cardHtml.right(60)).toStdString());
            ASSERT_LT(cardHtml.size(), fullCard.size());
            messages.clear();
            source.forgetRequests();
            source.setPage(card(site), cardHtml);
            const LoadResult result = load(site == 1 ? ReadingSite::One : ReadingSite::Two);
            EXPECT_FALSE(result.analysed);
            EXPECT_EQ(result.stopMessage, kCardUnreadable);
            EXPECT_EQ(messages.messages().last(), kCardUnreadable);
            EXPECT_EQ(source.fetched(), QStringList {card(site)});
            EXPECT_EQ(store.fieldSize, 0);
        }
    }
}

TEST_F(LoadDriver, TheStopButtonEndsTheLoadOnEitherSite)
{
    struct Case {
        int site;
        int stopAtRunner;  // 0 = the card
    };
    for (const Case c : {Case {1, 0}, Case {1, 3}, Case {2, 0}, Case {2, 2}}) {
        SCOPED_TRACE(c.site * 10 + c.stopAtRunner);
        messages.clear();
        source.forgetRequests();
        const QString stopAt = c.stopAtRunner == 0 ? card(c.site) : horse(c.site, c.stopAtRunner);
        // The stop button pressed while that page loads.
        source.onFetch = [this, stopAt](const QString &url) {
            if (url == stopAt)
                store.cancelFlag.store(-1);
        };
        const LoadResult result = load(c.site == 1 ? ReadingSite::One : ReadingSite::Two);
        EXPECT_FALSE(result.analysed);
        EXPECT_EQ(messages.messages(), QStringList {kUserCancel});
        EXPECT_EQ(source.fetched().last(), stopAt);
        EXPECT_EQ(store.cancelFlag.load(), 0);  // the next load starts clean
    }
}

TEST_F(LoadDriver, ASiteSettingOfNeitherSiteReadsNothingAndStillAnalyses)
{
    settings.otherSite = QStringLiteral("サイト3");
    const LoadResult result = load(ReadingSite::None);
    EXPECT_TRUE(result.analysed);
    EXPECT_TRUE(source.fetched().isEmpty());
    EXPECT_EQ(store.fieldSize, 0);
    EXPECT_EQ(messages.messages(), QStringList());
}

// A settings read that stopped before the site leaves it unset: the window
// never loads then (the command line refuses the settings before).
TEST_F(LoadDriver, ASiteNeverSetStopsTheLoad)
{
    const LoadResult result = load(ReadingSite::None);
    EXPECT_FALSE(result.analysed);
    EXPECT_TRUE(source.fetched().isEmpty());
    EXPECT_EQ(messages.messages(), QStringList {result.stopMessage});
    EXPECT_TRUE(result.stopMessage.contains(QStringLiteral("サイトが設定されていません")));
}

TEST_F(LoadDriver, MergesLocalRunsOnSite1OnlyWhenTheLocalDatabaseIsThere)
{
    // Without the file: no local runs.
    ASSERT_TRUE(load(ReadingSite::One).analysed);
    EXPECT_EQ(localRuns(1), 0);

    LocalRun withNull;
    withNull.name = QStringLiteral("サンプルホース01");
    withNull.daysBefore = 3;
    withNull.last3f = QVariant();
    test::writeSampleNarDb(temp.file(QStringLiteral("NAR_data.mdb")), {withNull});

    ASSERT_TRUE(load(ReadingSite::One).analysed);
    EXPECT_EQ(messages.messages(), QStringList());
    ASSERT_EQ(localRuns(1), 1);
    // The newest run: merged runs are sorted in by date.
    EXPECT_EQ(store.horses[1].runs[1].course, QStringLiteral("大井"));
    EXPECT_EQ(store.horses[1].runs[1].date, *serialFromYmd(2026, 11, 26));
    EXPECT_EQ(store.horses[1].runs[1].last3f, 0);
    EXPECT_NE(store.horses[1].runs[1].speedFigure, 0);  // from the local reference rows
    EXPECT_EQ(store.horses[1].runs[1].last3fFigure, 0);  // no last-three-furlong time, no figure
    EXPECT_EQ(localRuns(2), 0);

    ASSERT_TRUE(load(ReadingSite::Two).analysed);
    EXPECT_EQ(localRuns(1), 0);
}

// No figure can exist without marunoki.dat: a file that cannot be opened or
// read stops the load before any page is fetched, with the file and the cause.
TEST_F(LoadDriver, ATrackDatabaseThatCannotBeOpenedOrReadStopsTheLoadFirst)
{
    const QString path = temp.file(QStringLiteral("marunoki.dat"));
    QFile whole(path);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    whole.close();
    const struct {
        const char *name;
        std::function<void()> make;
        QString cause;
    } cases[] = {
        {"missing", [] {}, QStringLiteral("ファイルがありません")},
        {"a folder", [&] { QDir().mkpath(path); }, QStringLiteral("通常のファイルではありません")},
        {"empty", [&] { temp.write(QStringLiteral("marunoki.dat"), {}); },
            QStringLiteral("SQLite のデータベースでも Access")},
        // A file cut short or overwritten fails when it is opened or when it is
        // read through, whichever sees it first.
        {"cut to two thirds",
            [&] { temp.write(QStringLiteral("marunoki.dat"), bytes.left(bytes.size() * 2 / 3)); },
            QStringLiteral("データベース")},
        {"cut inside its first page", [&] { temp.write(QStringLiteral("marunoki.dat"), bytes.left(60)); },
            QStringLiteral("データベースとして開けません")},
        {"pages overwritten",
            [&] {
                QByteArray damaged = bytes;
                for (qsizetype i = 4096; i < damaged.size(); i += 7)
                    damaged[i] = char(0xA5);
                temp.write(QStringLiteral("marunoki.dat"), damaged);
            },
            QStringLiteral("データベース")},
        // Sound databases without the tables the figures need.
        {"an empty Access file",
            [&] { QFile::copy(test::testData(QStringLiteral("access/jet4-empty.mdb")), path); },
            QStringLiteral("指数の表がありません")},
        {"another program's SQLite file",
            [&] {
                test::SqliteFile other(path);
                other.exec(QStringLiteral("CREATE TABLE notes(body TEXT)"));
            },
            QStringLiteral("T_sisuu")},
        {"track tables short of a column",
            [&] {
                test::SqliteFile other(path);
                test::createTrackTables(other);
                other.exec(QStringLiteral("ALTER TABLE T_avetime DROP COLUMN A_time"));
            },
            QStringLiteral("A_time")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path);
        QDir(path).removeRecursively();
        c.make();
        messages.clear();
        source.forgetRequests();
        const LoadResult result = load(ReadingSite::One);
        EXPECT_FALSE(result.analysed);
        EXPECT_EQ(result.stopMessage, QStringLiteral("dataファイルが開けません"));
        EXPECT_EQ(messages.messages(), QStringList {result.stopMessage});
        EXPECT_TRUE(result.stopDetail.startsWith(path + QStringLiteral(" (")))
            << result.stopDetail.toStdString();
        EXPECT_TRUE(result.stopDetail.contains(c.cause)) << result.stopDetail.toStdString();
        EXPECT_EQ(messages.details(), QStringList {result.stopDetail});
        EXPECT_TRUE(source.fetched().isEmpty());
        EXPECT_EQ(store.fieldSize, 0);
    }
    QDir(path).removeRecursively();
    temp.write(QStringLiteral("marunoki.dat"), bytes);
    EXPECT_TRUE(load(ReadingSite::One).analysed);
}

// What a load could not read while it went on is kept in the store's gaps, so
// that its outputs and its exit status say the race is incomplete.
TEST_F(LoadDriver, WhatALoadCouldNotReadMakesItIncomplete)
{
    LocalRun run;
    run.name = QStringLiteral("サンプルホース01");
    run.daysBefore = 3;
    const QString nar = temp.file(QStringLiteral("NAR_data.mdb"));
    const struct {
        const char *name;
        int site;
        std::function<void()> make;
        std::vector<int> incompleteRunners;
        LocalDatabaseState local;
        QString cause;  // in the runner's or the database's "missing"
    } cases[] = {
        {"whole, no local database", 1, [] {}, {}, LocalDatabaseState::Absent, {}},
        {"whole, local database read", 1, [&] { test::writeSampleNarDb(nar, {run}); }, {},
            LocalDatabaseState::Read, {}},
        {"site 1 runner page missing", 1, [&] { source.removePage(horse(1, 2)); }, {2},
            LocalDatabaseState::Absent, QStringLiteral("HTTP 404")},
        {"site 1 runner page not the page", 1, [&] { source.setPage(horse(1, 3), source.page(card(1))); },
            {3}, LocalDatabaseState::Absent, horse(1, 3)},
        {"local database garbage", 1,
            [&] { temp.write(QStringLiteral("NAR_data.mdb"), QByteArray(5000, 'x')); }, {},
            LocalDatabaseState::Unreadable, QStringLiteral("SQLite のデータベースでも")},
        {"local database cut short, site 2", 2,
            [&] {
                test::writeSampleNarDb(nar, {run});
                QFile file(nar);
                ASSERT_TRUE(file.resize(file.size() / 2));
            },
            {}, LocalDatabaseState::Unreadable, QStringLiteral("データベース")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(nar);
        useRace(race);
        c.make();
        messages.clear();
        const LoadResult result = load(c.site == 1 ? ReadingSite::One : ReadingSite::Two);
        ASSERT_TRUE(result.analysed);
        const bool whole = c.incompleteRunners.empty() && c.local != LocalDatabaseState::Unreadable;
        EXPECT_EQ(store.gaps.complete(), whole);
        EXPECT_EQ(store.gaps.summary().isEmpty(), whole);
        for (const qint32 n : store.runners()) {
            const bool missing = std::find(c.incompleteRunners.begin(), c.incompleteRunners.end(), n)
                != c.incompleteRunners.end();
            EXPECT_EQ(store.gaps.missing[size_t(n)].isEmpty(), !missing) << n;
            if (missing) {
                EXPECT_TRUE(store.gaps.missing[size_t(n)].contains(c.cause))
                    << store.gaps.missing[size_t(n)].toStdString();
            }
        }
        EXPECT_EQ(store.gaps.local, c.local);
        if (c.local == LocalDatabaseState::Unreadable) {
            EXPECT_TRUE(store.gaps.localCause.contains(c.cause)) << store.gaps.localCause.toStdString();
            EXPECT_TRUE(messages.messages().contains(QStringLiteral("dataファイルが開けません")));
        }
    }
}

TEST_F(LoadDriver, ASecondLoadLeavesNoTraceOfTheFirst)
{
    useRace(test::makeSampleRace({6, false, {}}));
    ASSERT_TRUE(load(ReadingSite::One).analysed);
    ASSERT_EQ(store.fieldSize, 6);
    ASSERT_GT(store.horses[6].runs[1].date, 0);
    useRace(test::makeSampleRace({4, false, {}}));
    ASSERT_TRUE(load(ReadingSite::One).analysed);
    EXPECT_EQ(store.fieldSize, 4);
    for (int n = 5; n <= 6; ++n) {
        EXPECT_TRUE(store.horses[n].name.isEmpty());
        EXPECT_EQ(store.horses[n].runs[1].date, 0);
        EXPECT_EQ(store.horses[n].runs[1].speedFigure, 0);
        EXPECT_EQ(store.horses[n].meanFigure.runs, 0);
    }
}

}  // namespace
}  // namespace marunoki
