#include "web/site1_horse_reader.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "support/site_pages.h"
#include "web/cell_rules.h"
#include "web/page_table.h"

#include "history_read.h"

#include <gtest/gtest.h>

#include <memory>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const double kRaceDay = historyRaceDay();
constexpr int kRunner = 3;

// Reads the page for the test's runner.
struct HorseRead : HistoryRead {
    explicit HorseRead(const QString &html)
        : HistoryRead(html, parseUmaPage, kRunner)
    { }
};

HorsePage horseWith(const std::vector<PastRun> &runs)
{
    HorsePage horse;
    horse.runs = runs;
    return horse;
}

HorseRead readOneRun(const PastRun &run)
{
    return HorseRead(site1HorsePage(horseWith({run})));
}

const QString kFailed = QStringLiteral("WebData読込みエラー(err-AB02)");

}  // namespace

TEST(Site1Horse, ReadsPedigreeAndEveryField)
{
    PastRun derby = runOn(*serialFromYmd(2007, 5, 27));
    PastRun second = runOn(*serialFromYmd(2007, 4, 15));
    second.course = 6;
    second.meeting = 3;
    second.meetingDay = 8;
    second.race = 9;
    second.name = QStringLiteral("皐月賞(GI)");
    second.surface = QStringLiteral("ダ");
    second.distance = 1800;
    second.going = QStringLiteral("稍");
    second.runners = 16;
    second.bracket = 8;
    second.number = 16;
    second.popularity = 7;
    second.finish = 12;
    second.jockey = QStringLiteral("見本　次郎");
    second.carried = QStringLiteral("56☆");
    second.bodyWeight = 500;
    second.weightChange = -6;
    second.time = 58.7;
    second.last3f = QStringLiteral("36.1");
    second.corners = QStringLiteral("5-5");
    HorseRead read(site1HorsePage(horseWith({derby, second})));

    const RaceStore &s = read.store;
    const int n = kRunner;
    EXPECT_TRUE(read.messages.messages().isEmpty()) << read.messages.messages().join(u'|').toStdString();
    EXPECT_EQ(s.horses[n].sire, QStringLiteral("サンデーサイレンス"));
    EXPECT_EQ(s.horses[n].dam, QStringLiteral("ウインドインハーヘア"));
    EXPECT_EQ(s.horses[n].damSire, QStringLiteral("Alzao"));
    ASSERT_EQ(read.runs(), 2);

    EXPECT_EQ(s.horses[n].runs[1].date, *serialFromYmd(2007, 5, 27));
    EXPECT_EQ(s.horses[n].runs[1].raceName, QStringLiteral("東京優駿(GI)"));
    EXPECT_EQ(s.horses[n].runs[1].surface, 1);
    EXPECT_EQ(s.horses[n].runs[1].distance, 2400);
    EXPECT_EQ(s.horses[n].runs[1].going, 1);
    EXPECT_EQ(s.horses[n].runs[1].fieldSize, 18);
    EXPECT_EQ(s.horses[n].runs[1].bracket, 3);
    EXPECT_EQ(s.horses[n].runs[1].horseNumber, 5);
    EXPECT_EQ(s.horses[n].runs[1].popularity, 1);
    EXPECT_EQ(s.horses[n].runs[1].finish, 1);
    EXPECT_EQ(s.horses[n].runs[1].jockey, QStringLiteral("見本一騎"));
    EXPECT_EQ(s.horses[n].runs[1].weightCarried, 57.0f);
    EXPECT_EQ(s.horses[n].runs[1].bodyWeight, 452);
    EXPECT_FLOAT_EQ(s.horses[n].runs[1].time, 143.3f);
    EXPECT_FLOAT_EQ(s.horses[n].runs[1].last3f, 33.4f);
    EXPECT_EQ(s.horses[n].runs[1].cornerPositions, (std::array<qint32, 5> {0, 10, 10, 8, 1}));
    EXPECT_EQ(s.horses[n].runs[1].course, QStringLiteral("05"));
    EXPECT_EQ(s.horses[n].runs[1].raceNumber, 11);

    EXPECT_EQ(s.horses[n].runs[2].date, *serialFromYmd(2007, 4, 15));
    EXPECT_EQ(s.horses[n].runs[2].surface, 0);
    EXPECT_EQ(s.horses[n].runs[2].distance, 1800);
    EXPECT_EQ(s.horses[n].runs[2].going, 2);
    EXPECT_EQ(s.horses[n].runs[2].finish, 12);
    EXPECT_EQ(s.horses[n].runs[2].jockey, QStringLiteral("見本次郎"));
    EXPECT_EQ(s.horses[n].runs[2].weightCarried, 56.0f);
    EXPECT_EQ(s.horses[n].runs[2].bodyWeight, 500);
    EXPECT_FLOAT_EQ(s.horses[n].runs[2].time, 58.7f);
    EXPECT_EQ(s.horses[n].runs[2].cornerPositions, (std::array<qint32, 5> {0, 5, 5, 0, 0}));
    EXPECT_EQ(s.horses[n].runs[2].course, QStringLiteral("06"));
    EXPECT_EQ(s.horses[n].runs[2].raceNumber, 9);

    // Only the current runner is written.
    EXPECT_EQ(s.horses[n - 1].runs[1].date, 0);
    EXPECT_TRUE(s.horses[n + 1].sire.isEmpty());
}

TEST(Site1Horse, TakesOnlyTheRunsOfThe420DaysBeforeTheRace)
{
    const struct {
        int daysBefore;
        bool taken;
    } cases[] = {{0, false}, {1, true}, {419, true}, {420, false}, {-3, false}};
    for (const auto &c : cases) {
        HorseRead read = readOneRun(runOn(kRaceDay - c.daysBefore));
        EXPECT_EQ(read.runs(), c.taken ? 1 : 0) << c.daysBefore;
        EXPECT_TRUE(read.messages.messages().isEmpty()) << c.daysBefore;
    }
    // Rows outside the window are passed over; the runs are numbered without gaps.
    HorseRead mixed(site1HorsePage(
        horseWith({runOn(kRaceDay), runOn(kRaceDay - 30), runOn(kRaceDay - 500), runOn(kRaceDay - 60)})));
    ASSERT_EQ(mixed.runs(), 2);
    EXPECT_EQ(mixed.store.horses[kRunner].runs[1].date, kRaceDay - 30);
    EXPECT_EQ(mixed.store.horses[kRunner].runs[2].date, kRaceDay - 60);
}

TEST(Site1Horse, SurfaceOfTheCourseCell)
{
    for (const auto &[text, code] : {std::pair {"芝", 1}, {"ダ", 0}, {"障", 2}}) {
        PastRun run = runOn(kRaceDay - 7);
        run.surface = QString::fromUtf8(text);
        EXPECT_EQ(readOneRun(run).store.horses[kRunner].runs[1].surface, code) << text;
    }
}

TEST(Site1Horse, FinishingTimes)
{
    const struct {
        QString cell;
        float seconds;
        bool failed;
    } cases[] = {
        {QStringLiteral("2.01.3"), 121.3f, false},
        {QStringLiteral("1.34.5"), 94.5f, false},
        {QStringLiteral("58.7"), 58.7f, false},
        {QStringLiteral("58.75"), 58.7f, false},  // one tenth digit only
        {QStringLiteral("中止"), 0.0f, false},  // no "."
        {QString(), 0.0f, false},
        {QStringLiteral(".5"), 0.0f, true},
        {QStringLiteral("1.34."), 0.0f, true},
        {QStringLiteral("1.3x.5"), 0.0f, true},
    };
    for (const auto &c : cases) {
        PastRun run = runOn(kRaceDay - 7);
        run.timeCell = c.cell;
        HorseRead read = readOneRun(run);
        EXPECT_FLOAT_EQ(read.store.horses[kRunner].runs[1].time, c.seconds) << c.cell.toStdString();
        EXPECT_EQ(read.messages.messages(), c.failed ? QStringList {kFailed} : QStringList {})
            << c.cell.toStdString();
    }
}

TEST(Site1Horse, CornerPositions)
{
    const struct {
        QString cell;
        std::array<qint32, 5> corners;
    } cases[] = {
        {QStringLiteral("12-11-10-9"), {0, 12, 11, 10, 9}},
        {QStringLiteral("5-5"), {0, 5, 5, 0, 0}},
        {QStringLiteral("7"), {0, 7, 0, 0, 0}},
        {QStringLiteral("-"), {0, 0, 0, 0, 0}},
        {QStringLiteral("x-3-y-1"), {0, 0, 3, 0, 1}},
        {QStringLiteral("1-2-3-4-5"), {0, 1, 2, 3, 4}},
        {QString(), {0, 0, 0, 0, 0}},
    };
    for (const auto &c : cases) {
        PastRun run = runOn(kRaceDay - 7);
        run.corners = c.cell;
        HorseRead read = readOneRun(run);
        EXPECT_EQ(read.store.horses[kRunner].runs[1].cornerPositions, c.corners) << c.cell.toStdString();
        EXPECT_TRUE(read.messages.messages().isEmpty()) << c.cell.toStdString();
    }
}

TEST(Site1Horse, CarriedAndBodyWeights)
{
    const struct {
        QString carried;
        float carriedKg;
        QString body;
        qint32 bodyKg;
    } cases[] = {
        {QStringLiteral("57☆"), 57.0f, QStringLiteral("480（+2）"), 480},
        {QStringLiteral("55.5"), 55.5f, QStringLiteral("480"), 480},
        {QStringLiteral("☆"), 0.0f, QStringLiteral("480(+2)"),
            0},  // only the full-width bracket is known here
        {QStringLiteral("57☆☆"), 0.0f, QStringLiteral("計不"), 0},
        {QString(), 0.0f, QStringLiteral("（+2）"), 0},
    };
    for (const auto &c : cases) {
        PastRun run = runOn(kRaceDay - 7);
        run.carried = c.carried;
        run.bodyWeightCell = c.body;
        HorseRead read = readOneRun(run);
        EXPECT_EQ(read.store.horses[kRunner].runs[1].weightCarried, c.carriedKg) << c.carried.toStdString();
        EXPECT_EQ(read.store.horses[kRunner].runs[1].bodyWeight, c.bodyKg) << c.body.toStdString();
        EXPECT_TRUE(read.messages.messages().isEmpty());
    }
}

TEST(Site1Horse, FailureEndsTheParseAndKeepsWhatWasRead)
{
    PastRun bad = runOn(kRaceDay - 14);
    bad.timeCell = QStringLiteral("..");
    HorseRead read(site1HorsePage(horseWith({runOn(kRaceDay - 7), bad, runOn(kRaceDay - 21)})));
    EXPECT_EQ(read.messages.messages(), QStringList {kFailed});
    const RaceStore &s = read.store;
    EXPECT_FLOAT_EQ(s.horses[kRunner].runs[1].time, 143.3f);
    // The failing row keeps the fields read before its time cell.
    EXPECT_EQ(s.horses[kRunner].runs[2].date, kRaceDay - 14);
    EXPECT_EQ(s.horses[kRunner].runs[2].bodyWeight, 452);
    EXPECT_EQ(s.horses[kRunner].runs[2].last3f, 0.0f);
    EXPECT_EQ(s.horses[kRunner].runs[3].date, 0);
    // The course scan still runs over the runs there are.
    EXPECT_EQ(s.horses[kRunner].runs[2].course, QStringLiteral("05"));

    PastRun overflow = runOn(kRaceDay - 7);
    overflow.corners = QStringLiteral("99999999999-1");
    HorseRead tooLarge = readOneRun(overflow);
    EXPECT_EQ(tooLarge.messages.messages(), QStringList {kFailed});
}

TEST(Site1Horse, ReadsAtMost49Runs)
{
    for (const int count : {48, 49, 60}) {
        std::vector<PastRun> runs;
        for (int i = 1; i <= count; ++i)
            runs.push_back(runOn(kRaceDay - 7 * i));
        HorseRead read(site1HorsePage(horseWith(runs)));
        EXPECT_EQ(read.runs(), std::min(count, 49)) << count;
        const QStringList expected
            = count >= 49 ? QStringList {QStringLiteral("全て読み込み出来ませんでした")} : QStringList {};
        EXPECT_EQ(read.messages.messages(), expected) << count;
        EXPECT_EQ(read.store.horses[kRunner].runs[50].date, 0);
    }
}

TEST(Site1Horse, ReadsEightyRowsAfterTheHeader)
{
    std::vector<PastRun> runs(79, runOn(kRaceDay - 500));
    runs.push_back(runOn(kRaceDay - 10));  // row h + 80
    runs.push_back(runOn(kRaceDay - 20));  // row h + 81
    HorseRead read(site1HorsePage(horseWith(runs)));
    ASSERT_EQ(read.runs(), 1);
    EXPECT_EQ(read.store.horses[kRunner].runs[1].date, kRaceDay - 10);
}

TEST(Site1Horse, MissingLandmarks)
{
    HorsePage noProfile = horseWith({runOn(kRaceDay - 7)});
    noProfile.profile = false;
    HorseRead a(site1HorsePage(noProfile));
    EXPECT_EQ(a.messages.messages(), QStringList {QStringLiteral("）umaデータ読込みエラー")});
    EXPECT_TRUE(a.store.horses[kRunner].sire.isEmpty());
    EXPECT_EQ(a.runs(), 0);

    HorsePage noHeader = horseWith({runOn(kRaceDay - 7)});
    noHeader.resultsHeader = false;
    HorseRead b(site1HorsePage(noHeader));
    EXPECT_TRUE(b.messages.messages().isEmpty());
    EXPECT_EQ(b.store.horses[kRunner].sire, QStringLiteral("サンデーサイレンス"));
    EXPECT_EQ(b.runs(), 0);
}

TEST(Site1Horse, PageCheckLooksForTheHeadingInRows10To89)
{
    const struct {
        int row;
        bool accepted;
    } cases[] = {{9, false}, {10, true}, {89, true}, {90, false}};
    for (const auto &c : cases) {
        auto table = std::make_unique<PageTable>();
        table->setCell(c.row, 1, QStringLiteral("平地競走成績"));
        EXPECT_EQ(checkUma(*table), c.accepted) << c.row;
    }
    auto page = std::make_unique<PageTable>();
    HorsePage jumps;
    jumps.flatHeading = false;
    splitPage(site1HorsePage(jumps), *page);
    EXPECT_FALSE(checkUma(*page));
    splitPage(site1HorsePage(HorsePage()), *page);
    EXPECT_TRUE(checkUma(*page));
}

TEST(Site1HorseCourses, DateNotFoundRestartsTheSearchFromTheTop)
{
    const QString html
        = QStringLiteral("<p>07/5/6 <a href=\"/scores/2007/08/01/02/03/\">a</a></p>"
                         "<td>07/5/27</td><td><a href=\"/scores/2007/05/02/12/11/\">b</a></td>"
                         "<td>07/5/6</td><td><a href=\"/scores/2007/09/01/02/05/\">c</a></td>");
    const auto scan = [&html](const std::vector<double> &dates) {
        auto store = std::make_unique<RaceStore>();
        for (std::size_t i = 0; i < dates.size(); ++i)
            store->horses[kRunner].runs[i + 1].date = dates[i];
        RecordingSink messages;
        scanUmaCourses(html, *store, kRunner, messages);
        EXPECT_TRUE(messages.messages().isEmpty());
        return store;
    };
    const double may27 = *serialFromYmd(2007, 5, 27);
    const double may13 = *serialFromYmd(2007, 5, 13);
    const double may6 = *serialFromYmd(2007, 5, 6);

    // In order: each search starts after the previous find.
    auto inOrder = scan({may27, may6});
    EXPECT_EQ(inOrder->horses[kRunner].runs[1].course, QStringLiteral("05"));
    EXPECT_EQ(inOrder->horses[kRunner].runs[1].raceNumber, 11);
    EXPECT_EQ(inOrder->horses[kRunner].runs[2].course, QStringLiteral("09"));
    EXPECT_EQ(inOrder->horses[kRunner].runs[2].raceNumber, 5);

    // A date missing from the page: its run stays without course, and the next
    // search starts at the top again, where it finds the first 07/5/6.
    auto restarted = scan({may27, may13, may6});
    EXPECT_TRUE(restarted->horses[kRunner].runs[2].course.isEmpty());
    EXPECT_EQ(restarted->horses[kRunner].runs[2].raceNumber, 0);
    EXPECT_EQ(restarted->horses[kRunner].runs[3].course, QStringLiteral("08"));
    EXPECT_EQ(restarted->horses[kRunner].runs[3].raceNumber, 3);
}

TEST(Site1HorseCourses, LinkIsReadInThe150CharactersAfterTheDate)
{
    // s is the 150 characters from the date's second character on: the date's
    // last 6 characters, the gap, then the link. Course at a + 13, race at a + 22.
    const struct {
        int gap;  // characters between the date text and the link
        QString course;
        qint32 race;
        bool failed;
    } cases[] = {
        {0, QStringLiteral("05"), 11, false}, {120, QStringLiteral("05"), 11, false},
        {121, QStringLiteral("05"), 1, false},  // one digit of the race number left
        {122, QStringLiteral("05"), 0, true},  // no race number left: not a number
        {130, QStringLiteral("0"), 0, true}, {136, QString(), 0, true},
        {137, QString(), 0, false},  // "/scores/" no longer fits
    };
    for (const auto &c : cases) {
        const QString html
            = QStringLiteral("07/5/27") + QString(c.gap, u' ') + QStringLiteral("/scores/2007/05/02/12/11/");
        RaceStore store;
        store.horses[kRunner].runs[1].date = *serialFromYmd(2007, 5, 27);
        RecordingSink messages;
        scanUmaCourses(html, store, kRunner, messages);
        EXPECT_EQ(store.horses[kRunner].runs[1].course, c.course) << c.gap;
        EXPECT_EQ(store.horses[kRunner].runs[1].raceNumber, c.race) << c.gap;
        EXPECT_EQ(messages.messages().isEmpty(), !c.failed) << c.gap;
    }
}

TEST(Site1HorseCourses, RaceNumberThatIsNotANumberEndsTheScan)
{
    const QString html = QStringLiteral("07/5/27 <a href=\"/scores/2007/05/02/12/1x/\">a</a>"
                                        "07/5/6 <a href=\"/scores/2007/09/01/02/05/\">b</a>");
    RaceStore store;
    store.horses[kRunner].runs[1].date = *serialFromYmd(2007, 5, 27);
    store.horses[kRunner].runs[2].date = *serialFromYmd(2007, 5, 6);
    RecordingSink messages;
    scanUmaCourses(html, store, kRunner, messages);
    EXPECT_EQ(messages.messages(), QStringList {QStringLiteral("U_Url読込みエラー(err-AB03)")});
    EXPECT_EQ(store.horses[kRunner].runs[1].course, QStringLiteral("05"));
    EXPECT_EQ(store.horses[kRunner].runs[1].raceNumber, 0);
    EXPECT_TRUE(store.horses[kRunner].runs[2].course.isEmpty());
}

TEST(Site1Horse, StatusLineNamesTheRunner)
{
    RaceStore store;
    store.fieldSize = 16;
    store.horses[3].name = QStringLiteral("ディープインパクト");
    EXPECT_EQ(runnerStatusLine(store, 3), QStringLiteral("03/16 ディープインパクト成績読込み中・・・"));
    store.fieldSize = 8;
    EXPECT_EQ(runnerStatusLine(store, 12), QStringLiteral("12/08 成績読込み中・・・"));
}

TEST(Site1Horse, RunnerOutsideTheTableIsNotRead)
{
    RaceStore store;
    store.raceDate = kRaceDay;
    RecordingSink messages;
    auto table = std::make_unique<PageTable>();
    splitPage(site1HorsePage(horseWith({runOn(kRaceDay - 7)})), *table);
    for (int runner : {0, 19, -1}) {
        parseUmaPage(*table, store, runner, messages);
    }
    EXPECT_TRUE(messages.messages().isEmpty());
    EXPECT_EQ(store.horses[0].runs[1].date, 0);
}
