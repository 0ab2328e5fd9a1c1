#include "journal/journal.h"
#include "journal/tally.h"

#include "app/format.h"
#include "app/race_store.h"
#include "support/test_folder.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <set>
#include <thread>

using namespace marunoki;
using marunoki::test::TestFolder;

namespace {

const QDate kDay(2026, 5, 5);

RaceKey keyOf(int race, QDate date = kDay)
{
    return {1, date, QStringLiteral("05"), 2, 9, race};
}

QString horseUrl(int n)
{
    return QStringLiteral("http://site1.example/directory/horse/%1/").arg(2004100000 + n);
}

double serial(QDate date)
{
    return *serialFromYmd(date.year(), date.month(), date.day());
}

// A card of means (0 = no figure), runner n's page horseUrl(n).
std::unique_ptr<RaceStore> raceOf(const std::vector<float> &means, QDate date = kDay)
{
    auto store = std::make_unique<RaceStore>();
    store->raceDate = serial(date);
    store->raceTitle = QStringLiteral("テストステークス");
    store->raceConditions = QStringLiteral("3歳以上 芝1600m");
    store->fieldSize = int(means.size());
    for (const qint32 n : store->runners()) {
        const float mean = means[size_t(n - 1)];
        store->horses[n].name = QStringLiteral("テスト馬%1").arg(n);
        store->horses[n].pageAddress = horseUrl(n);
        store->horses[n].runs[0].distance = 1600;
        if (mean != 0) {
            store->horses[n].meanFigure = {mean, 3};
            store->horses[n].bestFigure = {mean + 10, 3};
        }
    }
    return store;
}

std::unique_ptr<Journal> openJournal(const QString &path)
{
    Journal::Opened opened = Journal::open(path);
    EXPECT_TRUE(opened.status.ok()) << opened.status.message().toStdString();
    return std::move(opened.value);
}

std::vector<TallyRace> allRaces(Journal &journal)
{
    const auto read = journal.tallyRaces({});
    EXPECT_TRUE(read.status.ok()) << read.status.message().toStdString();
    return read.value;
}

// Every runner of every race, races in the order recorded.
std::vector<TallyRunner> allRunners(Journal &journal)
{
    std::vector<TallyRunner> runners;
    for (const TallyRace &race : allRaces(journal))
        runners.insert(runners.end(), race.runners.begin(), race.runners.end());
    return runners;
}

QByteArray fileHash(const QString &path)
{
    // A FIFO is never opened: it would wait for a writer.
    if (QFileInfo(path).exists() && !QFileInfo(path).isFile())
        return QByteArrayLiteral("not a regular file");
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

RunnerResult finished(int finish, int popularity)
{
    RunnerResult r;
    r.finish = finish;
    r.popularity = popularity;
    r.fieldSize = 8;
    return r;
}

}  // namespace

TEST(JournalRanks, TiesShareTheBetterRankAndRunnersWithoutFiguresAreUnranked)
{
    struct Case {
        const char *name;
        std::vector<float> means;
        std::vector<std::optional<int>> ranks;
    };
    const Case cases[] = {
        {"distinct", {50, 70, 60}, {3, 1, 2}},
        {"tie at the top", {70, 70, 60}, {1, 1, 3}},
        {"tie in the middle", {80, 60, 60, 50}, {1, 2, 2, 4}},
        {"no figure", {0, 55, 0, 65}, {std::nullopt, 2, std::nullopt, 1}},
        // A mean of exactly 0 with runs counted is still a figure.
        {"negative figures", {-5, -10}, {1, 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        auto journal = openJournal(folder.file(kJournalFile));
        auto store = raceOf(c.means);
        ASSERT_TRUE(journal->recordRace(keyOf(11), *store, 0.3f, QString()).ok());
        const auto runners = allRunners(*journal);
        ASSERT_EQ(runners.size(), c.ranks.size());
        for (size_t i = 0; i < runners.size(); ++i) {
            EXPECT_EQ(runners[i].rankMean, c.ranks[i]) << "runner " << i + 1;
            // best = mean + 10 ranks the same way
            EXPECT_EQ(runners[i].rankBest, c.ranks[i]) << "runner " << i + 1;
            EXPECT_EQ(runners[i].rankMean90, std::nullopt);
        }
        // Each runner's own figures in the file, none where it has none.
        journal.reset();
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(folder.file(kJournalFile)).constData(), &db), SQLITE_OK);
        sqlite3_stmt *rows = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT mean, best FROM runner ORDER BY number", -1, &rows, nullptr),
            SQLITE_OK);
        for (const float mean : c.means) {
            ASSERT_EQ(sqlite3_step(rows), SQLITE_ROW);
            if (mean == 0) {
                EXPECT_EQ(sqlite3_column_type(rows, 0), SQLITE_NULL);
            } else {
                EXPECT_EQ(sqlite3_column_double(rows, 0), mean);
                EXPECT_EQ(sqlite3_column_double(rows, 1), mean + 10);
            }
        }
        EXPECT_EQ(sqlite3_step(rows), SQLITE_DONE);
        sqlite3_finalize(rows);
        // A summary another writer cleared: the tally reads the same from the tables.
        ASSERT_EQ(sqlite3_exec(db, "UPDATE race SET tally = NULL", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
        journal = openJournal(folder.file(kJournalFile));
        const std::vector<TallyRace> races = allRaces(*journal);
        ASSERT_EQ(races.size(), 1u);
        ASSERT_EQ(races[0].runners.size(), c.ranks.size());
        for (size_t i = 0; i < c.ranks.size(); ++i)
            EXPECT_EQ(races[0].runners[i].rankMean, c.ranks[i]) << "runner " << i + 1;
        std::vector<float> figures;
        std::copy_if(
            c.means.begin(), c.means.end(), std::back_inserter(figures), [](float m) { return m != 0; });
        std::sort(figures.rbegin(), figures.rend());
        const std::optional<double> lead
            = figures.size() >= 2 ? std::optional<double>(figures[0] - figures[1]) : std::nullopt;
        EXPECT_EQ(races[0].lead[0], lead);
        EXPECT_EQ(races[0].lead[1], lead);  // best = mean + 10
    }
}

TEST(JournalRecording, AgainReplacesTheAnalysisAndKeepsMarksAndResults)
{
    TestFolder folder;
    auto journal = openJournal(folder.file(kJournalFile));
    auto store = raceOf({60, 70, 50});
    ASSERT_TRUE(journal->recordRace(keyOf(11), *store, 0.3f, QString()).ok());
    const qint64 id = *journal->raceId(keyOf(11)).value;
    ASSERT_TRUE(journal->setMark(keyOf(11), 2, horseUrl(2), Mark::Honmei).ok());
    ASSERT_TRUE(journal->recordResult(id, 1, horseUrl(1), finished(1, 2)).ok());

    // The card changed: runner 3 is now another horse, and the figures moved;
    // the site answers under a new address (https, another host) since.
    store->horses[1].meanFigure = {80, 4};
    for (const qint32 n : store->runners())
        store->horses[n].pageAddress.replace(
            QStringLiteral("http://site1.example"), QStringLiteral("https://www.site1.example"));
    store->horses[3].pageAddress = QStringLiteral("https://www.site1.example/directory/horse/2004109999/");
    ASSERT_TRUE(journal->recordRace(keyOf(11), *store, 0.3f, QString()).ok());
    EXPECT_EQ(*journal->raceId(keyOf(11)).value, id);

    const auto runners = allRunners(*journal);
    ASSERT_EQ(runners.size(), 3u);
    EXPECT_EQ(runners[0].rankMean, 1);
    EXPECT_EQ(runners[0].finish, 1);
    EXPECT_EQ(runners[1].mark, Mark::Honmei);
    EXPECT_FALSE(runners[2].hasResult);
    // The first card was whole; the second is recorded as incomplete.
    EXPECT_EQ(allRaces(*journal).at(0).leftOut, 0);
    store->gaps.leftOut = {QStringLiteral("5番 テスト馬5")};
    ASSERT_TRUE(journal->recordRace(keyOf(11), *store, 0.3f, QString()).ok());
    EXPECT_EQ(allRaces(*journal).at(0).leftOut, 1);
    // The window finds the mark's horse on the card under its new address.
    EXPECT_EQ(journal->recordedRunner(keyOf(11), 2).value->horseUrl, horseKey(store->horses[2].pageAddress));

    const auto marks = journal->marks(keyOf(11));
    ASSERT_EQ(marks.value.size(), 1u);
    EXPECT_EQ(marks.value[0].number, 2);
    EXPECT_EQ(marks.value[0].name, QStringLiteral("テスト馬2"));
    ASSERT_TRUE(journal->setMark(keyOf(11), 2, horseUrl(2), std::nullopt).ok());
    EXPECT_TRUE(journal->marks(keyOf(11)).value.empty());
    // A race never recorded takes no mark, and a change of several marks that
    // holds one is undone whole; the journal then takes the next change.
    EXPECT_FALSE(journal->setMark(keyOf(12), 1, horseUrl(1), Mark::Ana).ok());
    const auto unrecorded = journal->marks(keyOf(12));
    EXPECT_TRUE(unrecorded.status.ok() && unrecorded.value.empty());
    EXPECT_FALSE(
        journal->setMarks({{keyOf(11), 1, horseUrl(1), Mark::Ana}, {keyOf(12), 1, horseUrl(1), Mark::Ana}})
            .ok());
    EXPECT_TRUE(journal->marks(keyOf(11)).value.empty());
    ASSERT_TRUE(journal->setMark(keyOf(11), 3, horseUrl(3), Mark::Kesi).ok());
    EXPECT_EQ(journal->marks(keyOf(11)).value.size(), 1u);
    // A ◎ set on a horse at another number moves there: one ◎ in the race,
    // on the same horse as on another one.
    for (const int number : {1, 2, 2}) {
        ASSERT_TRUE(journal->setMark(keyOf(11), number, horseUrl(1), Mark::Honmei).ok());
        const auto now = journal->marks(keyOf(11)).value;
        ASSERT_EQ(now.size(), 2u) << number;
        EXPECT_EQ(now[0].number + now[1].number, number + 3) << number;
    }
    // The marks come in their own order (◎ first), not the horses'.
    ASSERT_TRUE(journal->setMark(keyOf(11), 1, horseUrl(1), Mark::Ana).ok());
    std::vector<Mark> order;
    for (const RunnerMark &m : journal->marks(keyOf(11)).value)
        order.push_back(m.mark);
    EXPECT_EQ(order, (std::vector<Mark> {Mark::Honmei, Mark::Ana, Mark::Kesi}));
}

TEST(JournalResults, ARunOnTheRaceDateGivesTheResult)
{
    // The runner's page as a later load reads it: run 1 is the journal's race.
    const RaceKey race = keyOf(11);
    struct Case {
        const char *name;
        QString course;
        int raceNo;
        int finish;
        QDate date;
        bool found;
        std::optional<int> expectedFinish;
    };
    const Case cases[] = {
        {"found", QStringLiteral("05"), 11, 3, kDay, true, 3},
        {"race number not on the page", QStringLiteral("05"), 0, 2, kDay, true, 2},
        {"no finishing position: not run", QStringLiteral("05"), 11, 0, kDay, true, std::nullopt},
        {"another course that day", QStringLiteral("08"), 11, 1, kDay, false, std::nullopt},
        {"another race that day", QStringLiteral("05"), 10, 1, kDay, false, std::nullopt},
        {"not there yet", QStringLiteral("05"), 11, 1, kDay.addDays(-14), false, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        RaceStore page;
        page.fieldSize = 1;
        page.horses[1].runs[1].date = serial(c.date);
        page.horses[1].runs[1].course = c.course;
        page.horses[1].runs[1].raceNumber = c.raceNo;
        page.horses[1].runs[1].finish = c.finish;
        page.horses[1].runs[1].popularity = 4;
        page.horses[1].runs[1].fieldSize = 8;
        page.horses[1].runs[1].time = 94.5f;
        page.horses[1].runs[1].last3f = 34.1f;
        const auto result = resultInRuns(page, 1, race);
        ASSERT_EQ(result.has_value(), c.found);
        if (!result)
            continue;
        EXPECT_EQ(result->finish, c.expectedFinish);
        EXPECT_EQ(result->notRun.isEmpty(), c.expectedFinish.has_value());
        EXPECT_EQ(result->popularity, 4);
        EXPECT_FLOAT_EQ(float(result->time), 94.5f);
    }
}

TEST(JournalResults, ALaterLoadFillsPendingResultsOfItsRunners)
{
    TestFolder folder;
    auto journal = openJournal(folder.file(kJournalFile));
    auto earlier = raceOf({60, 70});
    ASSERT_TRUE(journal->recordRace(keyOf(11), *earlier, 0.3f, QString()).ok());

    // Two weeks later runner 1 of that race runs again; its page shows the race.
    auto later = raceOf({65}, kDay.addDays(14));
    later->horses[1].runs[1].date = serial(kDay);
    later->horses[1].runs[1].course = QStringLiteral("05");
    later->horses[1].runs[1].raceNumber = 11;
    later->horses[1].runs[1].finish = 2;
    later->horses[1].runs[1].popularity = 1;
    later->horses[1].runs[1].fieldSize = 2;
    const auto filled = journal->fillResultsFromRuns(1, *later);
    ASSERT_TRUE(filled.status.ok());
    EXPECT_EQ(filled.value, 1);
    // The same page seen again fills nothing more (the result is no longer pending).
    EXPECT_EQ(journal->fillResultsFromRuns(1, *later).value, 0);

    const auto pending = journal->pendingResults(std::nullopt, std::nullopt, kDay);
    ASSERT_EQ(pending.value.size(), 1u);
    EXPECT_EQ(pending.value[0].number, 2);
    EXPECT_EQ(pending.value[0].horseUrl, horseKey(horseUrl(2)));
    // A race not yet run is not asked for.
    EXPECT_TRUE(journal->pendingResults(std::nullopt, std::nullopt, kDay.addDays(-1)).value.empty());
}

TEST(JournalTally, ASmallJournalCountedByHand)
{
    TestFolder folder;
    auto journal = openJournal(folder.file(kJournalFile));
    // Race 1: mean ranks 1,2,3 (runners 1,2,3); finishes 1,3,2; popularity 2,1,3.
    // Race 2: mean ranks 1,2,3 (runners 1,2,3); finishes 4,1,2; popularity 1,2,3; runner 4 not run.
    // Race 3: pending (runner 2 without result).
    // Race 4: one ranked runner only.
    struct Runner {
        float mean;
        std::optional<int> finish;
        int popularity;
    };
    const std::vector<std::vector<Runner>> races = {
        {{80, 1, 2}, {70, 3, 1}, {60, 2, 3}},
        {{80, 4, 1}, {70, 1, 2}, {60, 2, 3}, {0, std::nullopt, 0}},
        {{80, 1, 1}, {70, std::nullopt, 0}},
        {{80, 1, 1}, {0, 2, 2}},
    };
    for (size_t r = 0; r < races.size(); ++r) {
        std::vector<float> means;
        for (const Runner &runner : races[r])
            means.push_back(runner.mean);
        const RaceKey key = keyOf(int(r) + 1);
        ASSERT_TRUE(journal->recordRace(key, *raceOf(means), 0.3f, QString()).ok());
        const qint64 id = *journal->raceId(key).value;
        for (size_t i = 0; i < races[r].size(); ++i) {
            const Runner &runner = races[r][i];
            const int n = int(i) + 1;
            if (r == 2 && n == 2)
                continue;
            RunnerResult result
                = runner.finish ? finished(*runner.finish, runner.popularity) : RunnerResult {};
            if (!runner.finish)
                result.notRun = QStringLiteral("取消");
            ASSERT_TRUE(journal->recordResult(id, n, horseUrl(n), result).ok());
        }
    }
    ASSERT_TRUE(journal->setMark(keyOf(1), 3, horseUrl(3), Mark::Honmei).ok());
    ASSERT_TRUE(journal->setMark(keyOf(2), 2, horseUrl(2), Mark::Honmei).ok());

    TallyLayout layout;
    layout.keys = {TallyKey::Mean, TallyKey::Popularity, TallyKey::Mark};
    const Tally tally = computeTally(allRaces(*journal), layout);
    EXPECT_EQ(tally.counted, 2);
    EXPECT_EQ(tally.pending, 1);
    EXPECT_EQ(tally.unranked, 1);

    const TallyTable &mean = tally.tables[0];
    // Rank 1: finishes 1 and 4. Rank 2: 3 and 1. Rank 3: 2 and 2.
    EXPECT_EQ(mean.rows[0].runners, 2);
    EXPECT_EQ(mean.rows[0].first, 1);
    EXPECT_EQ(mean.rows[0].out, 1);
    EXPECT_EQ(mean.rows[1].first, 1);
    EXPECT_EQ(mean.rows[1].third, 1);
    EXPECT_EQ(mean.rows[2].second, 2);
    EXPECT_DOUBLE_EQ(mean.rows[2].placeRate(), 1.0);
    EXPECT_EQ(mean.rows[3].runners, 0);
    // Race 1: top (1st) vs favourite (3rd): ahead. Race 2: top is the favourite.
    EXPECT_EQ(mean.compared, 1);
    EXPECT_EQ(mean.ahead, 1);
    EXPECT_EQ(mean.sameHorse, 1);

    const TallyTable &popularity = tally.tables[1];
    EXPECT_EQ(popularity.rows[0].runners, 2);  // finishes 3 and 4
    EXPECT_EQ(popularity.rows[0].first, 0);
    EXPECT_EQ(popularity.rows[0].third, 1);
    EXPECT_EQ(popularity.rows[1].first, 2);  // finishes 1 and 1
    EXPECT_FALSE(popularity.comparesFavourite);

    const TallyTable &marks = tally.tables[2];
    EXPECT_EQ(marks.rows[0].label, QStringLiteral("◎"));
    EXPECT_EQ(marks.rows[0].runners, 2);  // finishes 2 and 1
    EXPECT_EQ(marks.rows[0].first, 1);
    EXPECT_EQ(marks.rows[0].second, 1);

    const QString text = tallyText(tally);
    EXPECT_TRUE(text.contains(QStringLiteral("結果待ち 1 レース"))) << text.toStdString();
    // The marks' table is headed by its marks' column, not by a rank.
    EXPECT_EQ(tallyColumns(TallyKey::Mark).front(), QStringLiteral("印"));
    EXPECT_TRUE(text.contains(QStringLiteral("\n印  頭数"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("\n順位  頭数"))) << text.toStdString();
    EXPECT_TRUE(text.contains(
        QStringLiteral("1位      2    1    0    0     1  50.0%   50.0%   50.0%           -  参考\n")))
        << text.toStdString();
}

TEST(JournalTally, FiltersChooseTheRaces)
{
    TestFolder folder;
    auto journal = openJournal(folder.file(kJournalFile));
    auto turf = raceOf({60, 70});
    auto dirt = raceOf({60, 70, 50, 40}, kDay.addDays(7));
    dirt->raceConditions = QStringLiteral("3歳以上 ダ1200m");
    for (const qint32 n : dirt->runners())
        dirt->horses[n].runs[0].distance = 1200;
    ASSERT_TRUE(journal->recordRace(keyOf(1), *turf, 0.3f, QString()).ok());
    ASSERT_TRUE(journal->recordRace(keyOf(1, kDay.addDays(7)), *dirt, 0.3f, QString()).ok());

    const auto racesWith = [&](const TallyFilter &filter) {
        const auto rows = journal->tallyRaces(filter);
        EXPECT_TRUE(rows.status.ok());
        return int(rows.value.size());
    };
    struct Case {
        const char *name;
        TallyFilter filter;
        int races;
    };
    TallyFilter from, turfOnly, dirtOnly, sprint, big, other, site2, course;
    from.from = kDay.addDays(1);
    turfOnly.surface = 1;
    dirtOnly.surface = 0;
    sprint.distance = std::pair(1000, 1400);
    big.runners = std::pair(3, 18);
    other.course = QStringLiteral("08");
    site2.site = 2;
    course.course = QStringLiteral("05");
    // A value with SQL in it is only a value.
    TallyFilter injected;
    injected.course = QStringLiteral("05' OR '1'='1");
    const Case cases[] = {{"none", {}, 2}, {"from", from, 1}, {"turf", turfOnly, 1}, {"dirt", dirtOnly, 1},
        {"distance", sprint, 1}, {"field size", big, 1}, {"course", course, 2}, {"other course", other, 0},
        {"site", site2, 0}, {"injected", injected, 0}};
    for (const Case &c : cases)
        EXPECT_EQ(racesWith(c.filter), c.races) << c.name;
}

TEST(JournalKeys, AHorseIsKeyedByItsPathAndReadUnderTheSitesAddressNow)
{
    struct Case {
        const char *name;
        QString address, key;
        QString recordedBase, base, readAt;
    };
    const Case cases[] = {
        {"host moved", QStringLiteral("http://a.example/directory/horse/1/"),
            QStringLiteral("/directory/horse/1/"), QStringLiteral("http://a.example"),
            QStringLiteral("https://b.example"), QStringLiteral("https://b.example/directory/horse/1/")},
        {"query kept", QStringLiteral("https://a.example:8080/db/horse.php?hid=7"),
            QStringLiteral("/db/horse.php?hid=7"), QStringLiteral("https://a.example:8080"), QString(),
            QStringLiteral("https://a.example:8080/db/horse.php?hid=7")},
        {"site under a folder moved", QStringLiteral("http://a.example/s1/directory/horse/1/"),
            QStringLiteral("/s1/directory/horse/1/"), QStringLiteral("http://a.example/s1"),
            QStringLiteral("https://b.example/keiba/"),
            QStringLiteral("https://b.example/keiba/directory/horse/1/")},
        {"already a key", QStringLiteral("/directory/horse/1/"), QStringLiteral("/directory/horse/1/"),
            QString(), QString(), QStringLiteral("/directory/horse/1/")},
        {"host only", QStringLiteral("http://a.example"), QStringLiteral("/"), QString(),
            QStringLiteral("http://b.example"), QStringLiteral("http://b.example/")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(horseKey(c.address), c.key);
        EXPECT_EQ(horseKey(c.key), c.key);
        EXPECT_EQ(horseAddress(c.key, c.recordedBase, c.base), c.readAt);
    }
}

namespace {

struct HandRunner {
    std::optional<int> rank;  // by every figure
    FinishKind kind;
    std::optional<int> finish;
    int popularity;
    std::optional<double> odds;
    bool hasResult = true;
};

TallyRace handRace(int site, int raceNo, const std::vector<HandRunner> &runners,
    std::optional<double> lead = 3, int leftOut = 0)
{
    TallyRace race;
    race.id = site * 100 + raceNo;
    race.site = site;
    race.date = kDay;
    race.course = QStringLiteral("05");
    race.race = raceNo;
    race.surface = 1;
    race.distance = 1600;
    race.fieldSize = int(runners.size());
    race.leftOut = leftOut;
    race.lead = {lead, lead, lead};
    int n = 0;
    for (const HandRunner &h : runners) {
        TallyRunner r;
        r.number = ++n;
        r.rankMean = r.rankBest = r.rankMean90 = h.rank;
        r.hasResult = h.hasResult;
        r.kind = h.kind;
        r.finish = h.finish;
        r.popularity = h.popularity;
        r.winOdds = h.odds;
        race.runners.push_back(r);
    }
    return race;
}

}  // namespace

TEST(JournalTally, ReturnsCountEachRaceOnceWithRefundsAndDeadHeats)
{
    const auto F = FinishKind::Finished;
    // Site 1, race 1: the top figure wins at 4.0; the favourite (rank 2) is 2nd.
    const TallyRace plain = handRace(1, 1, {{1, F, 1, 2, 4.0}, {2, F, 2, 1, 2.0}, {3, F, 3, 3, 9.0}});
    // Race 2 read from both sites: site 2 (no odds) has the results, site 1 is pending.
    const TallyRace bothPending = handRace(1, 2, {{1, F, 1, 1, 3.0}, {2, F, std::nullopt, 2, 5.0, false}});
    const TallyRace bothResulted = handRace(2, 2, {{1, F, 2, 1, std::nullopt}, {2, F, 1, 2, std::nullopt}});
    // Race 3: the top figure is scratched (refunded); rank 2 does not finish (a lost stake).
    const TallyRace refund = handRace(1, 3,
        {{1, FinishKind::Scratched, std::nullopt, 0, std::nullopt},
            {2, FinishKind::DidNotFinish, std::nullopt, 1, 1.5}, {3, F, 1, 2, 6.0},
            {4, FinishKind::Demoted, 2, 3, 8.0}},
        12);
    // Race 4: a dead heat for first between the top figure and the favourite.
    const TallyRace deadHeat = handRace(1, 4, {{1, F, 1, 2, 5.0}, {2, F, 1, 1, 3.0}, {3, F, 3, 3, 7.0}}, 0.4);
    // Race 5: the card was not read whole.
    const TallyRace incomplete = handRace(1, 5, {{1, F, 1, 1, 2.0}, {2, F, 2, 2, 3.0}}, 3, 2);

    struct Case {
        const char *name;
        std::vector<TallyRace> races;
        int preferredSite;
        int counted, pending, incomplete, bothSites, withoutOdds;
        // The mean table's rank 1 and 2 rows, and popularity's 1.
        int topRunners, topFirst, topStaked;
        double topPayout;
        int secondRunners, secondOut;
        double favouritePayout;
        int favouriteStaked;
    };
    const Case cases[] = {
        {"one race", {plain}, 1, 1, 0, 0, 0, 0, 1, 1, 1, 400, 1, 0, 0, 1},
        {"both sites: the record with results", {plain, bothPending, bothResulted}, 1, 2, 0, 0, 1, 1, 2, 1, 1,
            400, 2, 0, 0, 1},
        {"both sites resulted: the preferred site",
            {bothResulted, handRace(1, 2, {{1, F, 2, 1, 3.0}, {2, F, 1, 2, 5.0}})}, 1, 1, 0, 0, 1, 0, 1, 0, 1,
            0, 1, 0, 0, 1},
        {"both sites resulted: site 2 preferred",
            {bothResulted, handRace(1, 2, {{1, F, 2, 1, 3.0}, {2, F, 1, 2, 5.0}})}, 2, 1, 0, 0, 1, 1, 1, 0, 0,
            0, 1, 0, 0, 0},
        {"scratched top refunded, non-finisher a lost stake", {refund}, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0,
            1},
        {"dead heat pays half", {deadHeat}, 1, 1, 0, 0, 0, 0, 1, 1, 1, 250, 1, 0, 150, 1},
        {"incomplete card left out", {incomplete, plain}, 1, 1, 0, 1, 0, 0, 1, 1, 1, 400, 1, 0, 0, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TallyLayout layout;
        layout.keys = {TallyKey::Mean, TallyKey::Popularity};
        layout.preferredSite = c.preferredSite;
        const Tally tally = computeTally(c.races, layout);
        EXPECT_EQ(tally.counted, c.counted);
        EXPECT_EQ(tally.pending, c.pending);
        EXPECT_EQ(tally.incomplete, c.incomplete);
        EXPECT_EQ(tally.bothSites, c.bothSites);
        EXPECT_EQ(tally.withoutOdds, c.withoutOdds);
        const TallyRow &top = tally.tables[0].rows[0];
        EXPECT_EQ(top.runners, c.topRunners);
        EXPECT_EQ(top.first, c.topFirst);
        EXPECT_EQ(top.staked, c.topStaked);
        EXPECT_DOUBLE_EQ(top.payout, c.topPayout);
        EXPECT_EQ(tally.tables[0].rows[1].runners, c.secondRunners);
        EXPECT_EQ(tally.tables[0].rows[1].out, c.secondOut);
        const TallyRow &favourite = tally.tables[1].rows[0];
        EXPECT_DOUBLE_EQ(favourite.payout, c.favouritePayout);
        EXPECT_EQ(favourite.staked, c.favouriteStaked);
    }

    // All of them at once: 回収率 over the races with odds, and the first line says it.
    TallyLayout layout;
    layout.group = TallyGroup::Distance;
    const Tally all = computeTally({plain, bothPending, bothResulted, refund, deadHeat, incomplete}, layout);
    const TallyRow &top = all.tables[0].rows[0];
    // Stakes: plain, deadHeat (bothResulted has no odds, refund's top was scratched).
    EXPECT_EQ(top.staked, 2);
    EXPECT_DOUBLE_EQ(*top.returnRate(), (400 + 250) / 200.0);
    EXPECT_TRUE(tallyText(all).startsWith(QStringLiteral("単勝回収率 平均指数1位 325.0% ／ 1番人気 ")))
        << tallyText(all).toStdString();
    // Lead bands: 3 (plain, bothResulted) and 12 (refund: its top did not run), 0.4 (dead heat).
    const auto lead = std::find_if(all.tables.begin(), all.tables.end(),
        [](const TallyTable &t) { return t.kind == TallyTableKind::Lead && t.key == TallyKey::Mean; });
    ASSERT_NE(lead, all.tables.end());
    EXPECT_EQ(lead->rows[0].runners, 1);
    EXPECT_EQ(lead->rows[1].runners, 2);
    EXPECT_EQ(lead->rows[3].runners, 0);
    // One distance group (1600 m: 1500～1800m) holding every counted race's top runner.
    const auto grouped = std::find_if(all.tables.begin(), all.tables.end(),
        [](const TallyTable &t) { return t.kind == TallyTableKind::Group && t.key == TallyKey::Mean; });
    ASSERT_NE(grouped, all.tables.end());
    ASSERT_EQ(grouped->rows.size(), 1u);
    EXPECT_EQ(grouped->rows[0].group, QStringLiteral("1500～1800m"));
    EXPECT_EQ(grouped->rows[0].runners, top.runners);
}

TEST(JournalTally, LeadBandsIntervalsAndPlausibleResultsAtTheirEdges)
{
    const std::pair<double, int> leads[] = {{0, 0}, {1.9, 0}, {1.94, 0}, {1.96, 1}, {2, 1}, {4.9, 1}, {5, 2},
        {9.9, 2}, {9.96, 3}, {10, 3}, {35, 3}};
    for (const auto &[lead, band] : leads)
        EXPECT_EQ(leadBand(float(lead)), band) << lead;
    // The field-size groups at their edges.
    const std::pair<int, const char *> fields[]
        = {{8, "～8頭"}, {9, "9～12頭"}, {12, "9～12頭"}, {13, "13～16頭"}, {16, "13～16頭"}, {17, "17頭～"}};
    for (const auto &[size, label] : fields) {
        std::vector<HandRunner> runners;
        for (int k = 1; k <= size; ++k)
            runners.push_back({k, FinishKind::Finished, k, k, 2.0});
        const TallyRace race = handRace(1, 11, runners);
        TallyLayout byField;
        byField.group = TallyGroup::Field;
        const Tally tally = computeTally({race}, byField);
        const auto grouped = std::find_if(tally.tables.begin(), tally.tables.end(),
            [](const TallyTable &t) { return t.kind == TallyTableKind::Group && t.key == TallyKey::Mean; });
        ASSERT_NE(grouped, tally.tables.end());
        ASSERT_EQ(grouped->rows.size(), 1u) << size;
        EXPECT_EQ(grouped->rows[0].group, QString::fromUtf8(label)) << size;
    }
    // Wilson: never outside 0..1, and the known values of 1 in 10 and 0 in 30.
    const auto [low, high] = wilsonInterval(1, 10);
    EXPECT_NEAR(low, 0.0179, 1e-4);
    EXPECT_NEAR(high, 0.4042, 1e-4);
    EXPECT_DOUBLE_EQ(wilsonInterval(0, 30).first, 0);
    EXPECT_NEAR(wilsonInterval(0, 30).second, 0.1135, 1e-4);
    EXPECT_DOUBLE_EQ(wilsonInterval(30, 30).second, 1);
    TallyRow row;
    row.runners = kTentativeRunners - 1;
    EXPECT_EQ(tallyCells(row).back(), QStringLiteral("参考"));
    row.runners = kTentativeRunners;
    EXPECT_EQ(tallyCells(row).back(), QString());
    // A result at the edge of what a race can give is kept, a step past it
    // refused: a time of 40 to 400 s, a last three furlongs of 25 to 60 s,
    // odds from 1.0.
    const struct {
        double time, last3f;
        std::optional<double> odds;
        bool kept;
    } edges[] = {{40, 25, 1.0, true}, {400, 60, 1.0, true}, {0, 0, std::nullopt, true},
        {39.9, 0, std::nullopt, false}, {400.1, 0, std::nullopt, false}, {0, 24.9, std::nullopt, false},
        {0, 60.1, std::nullopt, false}, {0, 0, 0.9, false}};
    for (const auto &e : edges) {
        RunnerResult result = finished(1, 1);
        result.time = e.time;
        result.last3f = e.last3f;
        result.winOdds = e.odds;
        EXPECT_EQ(implausibleResult(result).isEmpty(), e.kept) << e.time << " " << e.last3f;
    }
}

TEST(JournalFile, RefusesFilesItCannotOwnAndLeavesThemAsTheyWere)
{
    struct Case {
        const char *name;
        std::function<void(const QString &)> make;
        const char *says;
    };
    const auto sqlite = [](const QString &path, const char *sql) {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    };
    // A database whose last transactions are still in its -wal, as a writer
    // that ended without a checkpoint leaves it.
    const auto withWal = [](const QString &path, const char *sql) {
        const QString writer = path + QStringLiteral(".writer");
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(writer).constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, "PRAGMA journal_mode = WAL; PRAGMA wal_autocheckpoint = 0;", nullptr,
                      nullptr, nullptr),
            SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
        for (const char *side : {"", "-wal", "-shm"})
            ASSERT_TRUE(QFile::copy(writer + QLatin1String(side), path + QLatin1String(side)));
        sqlite3_close(db);
    };
    const char *const other = "CREATE TABLE t (a); INSERT INTO t VALUES (1);";
    const char *const newer
        = "PRAGMA application_id = 1296779825; PRAGMA user_version = 9; CREATE TABLE t (a);";
    const Case cases[] = {
        {"a FIFO",
            [](const QString &path) { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0); },
            "通常のファイルではありません（名前付きパイプ"},
        {"another program's database with its -wal", [&](const QString &path) { withWal(path, other); },
            "成績ジャーナルではありません"},
        {"a newer journal with its -wal", [&](const QString &path) { withWal(path, newer); }, "新しい版"},
        {"not a database",
            [](const QString &path) {
                QFile f(path);
                ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                f.write(QByteArray(3000, 'x'));
            },
            "成績ジャーナルではありません"},
        {"another program's database", [&](const QString &path) { sqlite(path, other); },
            "成績ジャーナルではありません"},
        {"a newer journal", [&](const QString &path) { sqlite(path, newer); }, "新しい版"},
        {"an empty database of another program's schema",
            [&](const QString &path) { sqlite(path, "PRAGMA user_version = 7;"); },
            "成績ジャーナルではありません"},
        {"damaged",
            [&](const QString &path) {
                {
                    auto journal = Journal::open(path);
                    ASSERT_TRUE(journal.status.ok());
                    for (int r = 1; r <= 12; ++r)
                        ASSERT_TRUE(
                            journal.value->recordRace(keyOf(r), *raceOf({60, 70, 80}), 0.3f, QString()).ok());
                }
                QFile f(path);
                ASSERT_TRUE(f.open(QIODevice::ReadWrite));
                QByteArray bytes = f.readAll();
                // Keep the header, scramble the pages behind it.
                for (qsizetype i = 100; i < bytes.size(); ++i)
                    bytes[i] = char(i * 7);
                f.seek(0);
                f.write(bytes);
            },
            "壊れています"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder folder;
        const QString path = folder.file(kJournalFile);
        c.make(path);
        // The file and its -wal keep their bytes; no side file goes away.
        std::map<QString, QByteArray> before;
        for (const QString &file : {path, path + QStringLiteral("-wal"), path + QStringLiteral("-shm")}) {
            if (QFileInfo(file).isFile())
                before[file] = file.endsWith(QStringLiteral("-shm")) ? QByteArray() : fileHash(file);
        }
        Journal::Opened opened = Journal::open(path);
        bool refused = !opened.status.ok();
        // Damage behind the schema shows when the race is written.
        if (!refused)
            refused = !opened.value->recordRace(keyOf(1), *raceOf({60, 70}), 0.3f, QString()).ok()
                || !opened.value->tallyRaces({}).status.ok();
        opened.value.reset();
        EXPECT_TRUE(refused);
        if (!opened.status.ok()) {
            EXPECT_TRUE(opened.status.message().contains(QString::fromUtf8(c.says)))
                << opened.status.message().toStdString();
        }
        for (const auto &[file, hash] : before) {
            ASSERT_TRUE(QFileInfo(file).isFile()) << file.toStdString();
            if (!hash.isEmpty()) {
                EXPECT_EQ(fileHash(file), hash) << file.toStdString();
            }
        }
    }
}

TEST(JournalFile, MigratesAJournalOfTheFirstSchema)
{
    TestFolder folder;
    const QString path = folder.file(kJournalFile);
    {
        // The journal as the first version wrote it.
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        const char *v1 = R"sql(
            PRAGMA application_id = 1296779825;
            PRAGMA journal_mode = WAL;
            CREATE TABLE race (id INTEGER PRIMARY KEY, site INTEGER NOT NULL, race_date TEXT NOT NULL,
                course TEXT NOT NULL, meeting INTEGER NOT NULL, day INTEGER NOT NULL, race_no INTEGER NOT NULL,
                title TEXT, conditions TEXT, surface INTEGER, distance INTEGER, field_size INTEGER,
                graph_base INTEGER, rentai_kizyun REAL, share REAL, site_base TEXT, analysed_at TEXT,
                UNIQUE (site, race_date, course, meeting, day, race_no));
            CREATE INDEX race_by_date ON race (race_date);
            CREATE TABLE runner (race_id INTEGER NOT NULL, number INTEGER NOT NULL, bracket INTEGER, name TEXT,
                horse_url TEXT NOT NULL, jockey TEXT, weight REAL, figure_count INTEGER, mean REAL, best REAL,
                mean90 REAL, best90 REAL, style REAL, rank_mean INTEGER, rank_best INTEGER, rank_mean90 INTEGER,
                PRIMARY KEY (race_id, number)) WITHOUT ROWID;
            CREATE INDEX runner_by_horse ON runner (horse_url);
            CREATE TABLE result (race_id INTEGER NOT NULL, number INTEGER NOT NULL, horse_url TEXT NOT NULL,
                finish INTEGER, popularity INTEGER, field_size INTEGER, time REAL, last3f REAL, not_run TEXT,
                recorded_at TEXT, PRIMARY KEY (race_id, number, horse_url)) WITHOUT ROWID;
            INSERT INTO race (id, site, race_date, course, meeting, day, race_no, title, surface, distance,
                field_size) VALUES (7, 1, '2026-05-05', '05', 2, 9, 11, '旧いレース', 1, 1600, 2);
            INSERT INTO runner (race_id, number, name, horse_url, rank_mean)
                VALUES (7, 1, '旧い馬', 'http://site1.example/directory/horse/2004100001/', 1),
                       (7, 2, '旧い馬二', 'http://site1.example/directory/horse/2004100002/', 2);
            INSERT INTO result (race_id, number, horse_url, finish, popularity)
                VALUES (7, 1, 'http://site1.example/directory/horse/2004100001/', 1, 3);
            PRAGMA user_version = 1;)sql";
        ASSERT_EQ(sqlite3_exec(db, v1, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
        sqlite3_close(db);
    }
    auto journal = openJournal(path);
    ASSERT_TRUE(journal);
    EXPECT_EQ(journal->schemaVersion(), Journal::kSchemaVersion);
    const auto runners = allRunners(*journal);
    ASSERT_EQ(runners.size(), 2u);
    EXPECT_EQ(runners[0].finish, 1);
    EXPECT_EQ(runners[0].popularity, 3);
    EXPECT_FALSE(runners[1].hasResult);
    // What the second schema added works on the old race.
    EXPECT_TRUE(journal->setMark(keyOf(11), 1, horseUrl(1), Mark::Taikou).ok());
    EXPECT_EQ(journal->marks(keyOf(11)).value.size(), 1u);
    // The old result and the mark stay with the horse read again under a new address.
    auto again = raceOf({70, 60});
    for (const qint32 n : again->runners())
        again->horses[n].pageAddress.replace(QStringLiteral("http://"), QStringLiteral("https://"));
    ASSERT_TRUE(journal->recordRace(keyOf(11), *again, 0.3f, QString()).ok());
    const auto moved = allRunners(*journal);
    ASSERT_EQ(moved.size(), 2u);
    EXPECT_EQ(moved[0].finish, 1);
    EXPECT_EQ(moved[0].kind, FinishKind::Finished);
    EXPECT_EQ(moved[0].mark, Mark::Taikou);
    // A kind this program never writes (a damaged file) reads as a plain finish.
    journal.reset();
    for (const char *kind : {"-1", "99"}) {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db, (std::string("UPDATE result SET kind = ") + kind).c_str(), nullptr,
                      nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(db);
        journal = openJournal(path);
        EXPECT_EQ(allRunners(*journal).at(0).kind, FinishKind::Finished) << kind;
        journal.reset();
    }
}

TEST(JournalFile, TwoWritersAtOnceLoseNothing)
{
    TestFolder folder;
    const QString path = folder.file(kJournalFile);
    ASSERT_TRUE(openJournal(path));
    constexpr int kRaces = 40;
    std::atomic<int> failures {0};
    const auto writer = [&](int site) {
        // Each writer opens the file for each race, as the loads do.
        for (int r = 0; r < kRaces; ++r) {
            Journal::Opened opened = Journal::open(path);
            RaceKey key = keyOf(r % 12 + 1, kDay.addDays(r / 12));
            key.site = site;
            if (!opened.status.ok()
                || !opened.value->recordRace(key, *raceOf({60, 70, 80}), 0.3f, QString()).ok())
                ++failures;
        }
    };
    std::thread desktop(writer, 1);
    std::thread day(writer, 2);
    desktop.join();
    day.join();
    EXPECT_EQ(failures.load(), 0);
    auto journal = openJournal(path);
    EXPECT_EQ(allRunners(*journal).size(), size_t(2 * kRaces * 3));
}

// A journal whose tables another program renamed away: every read says it
// failed, none hands back an empty answer as if the journal held nothing.
TEST(JournalFile, EveryReadOfATableGoneFailsInsteadOfAnsweringEmpty)
{
    for (const char *table : {"race", "runner", "result", "mark"}) {
        TestFolder folder;
        const QString path = folder.file(QStringLiteral("journal.sqlite"));
        auto journal = openJournal(path);
        ASSERT_TRUE(journal->recordRace(keyOf(11), *raceOf({50, 60}), 0.3f, {}).ok());
        ASSERT_TRUE(journal->setMark(keyOf(11), 1, horseUrl(1), Mark::Honmei).ok());
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
        const std::string sql = std::string("ALTER TABLE ") + table + " RENAME TO gone";
        ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << table;
        sqlite3_close(db);
        const std::map<std::string, Status> reads = {
            {"marks", journal->marks(keyOf(11)).status},
            {"allMarks", journal->allMarks().status},
            {"recordedCard", journal->recordedCard(keyOf(11)).status},
            {"raceResults", journal->raceResults(keyOf(11)).status},
            {"tallyRaces", journal->tallyRaces({}).status},
        };
        // Which reads touch which table (the tally reads each race's summary).
        const std::map<std::string, std::set<std::string>> uses = {
            {"marks", {"race", "runner", "mark"}},
            {"allMarks", {"race", "mark"}},
            {"recordedCard", {"race", "runner"}},
            {"raceResults", {"race", "result"}},
            {"tallyRaces", {"race"}},
        };
        for (const auto &[name, status] : reads) {
            if (uses.at(name).count(table)) {
                EXPECT_FALSE(status.ok()) << name << " without " << table;
            }
        }
    }
}
