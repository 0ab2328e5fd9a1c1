#include "web/site2_horse_reader.h"

#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "support/site_pages.h"
#include "web/page_table.h"

#include "history_read.h"

#include <gtest/gtest.h>

#include <memory>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const double kRaceDay = historyRaceDay();
constexpr int kRunner = 5;

// Reads the page for the test's runner.
struct HorseRead : HistoryRead {
    explicit HorseRead(const QString &html)
        : HistoryRead(html, parseUma02, kRunner)
    { }
};
const QString kFailed = QStringLiteral("WebData読込みエラー(err-AB22)");
const QString kMissing = QStringLiteral("umaデータ読込みエラー");

HorseRead readRuns(const std::vector<PastRun> &runs)
{
    HorsePage horse;
    horse.runs = runs;
    return HorseRead(site2HorsePage(horse));
}

}  // namespace

TEST(Site2Horse, ReadsPedigreeAndEveryField)
{
    PastRun derby = runOn(*serialFromYmd(2007, 5, 27));
    derby.going = QStringLiteral("稍");
    derby.jockey = QStringLiteral("見本　一騎");
    PastRun local = runOn(*serialFromYmd(2007, 4, 30));
    local.localCourse = QStringLiteral("大井");
    local.race = 3;
    local.surface = QStringLiteral("ダ");
    local.distance = 1600;
    local.weather = QStringLiteral("曇");
    local.going = QStringLiteral("不");
    local.finish = 4;
    local.popularity = 2;
    local.carried = QStringLiteral("56▲");
    local.time = 100.2;
    local.corners = QStringLiteral("3-3");
    local.bodyWeight = 470;
    local.weightChange = -4;
    HorseRead read = readRuns({derby, local});

    const RaceStore &s = read.store;
    const int n = kRunner;
    EXPECT_TRUE(read.messages.messages().isEmpty()) << read.messages.messages().join(u'|').toStdString();
    EXPECT_EQ(s.horses[n].sire, QStringLiteral("サンデーサイレンス"));
    EXPECT_EQ(s.horses[n].dam, QStringLiteral("ウインドインハーヘア"));
    EXPECT_EQ(s.horses[n].damSire, QStringLiteral("Alzao"));
    ASSERT_EQ(read.runs(), 2);

    EXPECT_EQ(s.horses[n].runs[1].date, *serialFromYmd(2007, 5, 27));
    EXPECT_EQ(s.horses[n].runs[1].course, QStringLiteral("05"));
    EXPECT_EQ(s.horses[n].runs[1].going, 2);
    EXPECT_EQ(s.horses[n].runs[1].raceNumber, 11);
    EXPECT_EQ(s.horses[n].runs[1].raceName, QStringLiteral("東京優駿(GI)"));
    EXPECT_EQ(s.horses[n].runs[1].fieldSize, 18);
    EXPECT_EQ(s.horses[n].runs[1].bracket, 3);
    EXPECT_EQ(s.horses[n].runs[1].horseNumber, 5);
    EXPECT_EQ(s.horses[n].runs[1].finish, 1);
    EXPECT_EQ(s.horses[n].runs[1].popularity, 1);
    EXPECT_EQ(s.horses[n].runs[1].jockey, QStringLiteral("見本一騎"));
    EXPECT_EQ(s.horses[n].runs[1].weightCarried, 57.0f);
    EXPECT_EQ(s.horses[n].runs[1].surface, 1);
    EXPECT_EQ(s.horses[n].runs[1].distance, 2400);
    EXPECT_FLOAT_EQ(s.horses[n].runs[1].time, 143.3f);
    EXPECT_FLOAT_EQ(s.horses[n].runs[1].last3f, 33.4f);
    EXPECT_EQ(s.horses[n].runs[1].cornerPositions, (std::array<qint32, 5> {0, 10, 10, 8, 1}));
    EXPECT_EQ(s.horses[n].runs[1].bodyWeight, 452);

    EXPECT_EQ(s.horses[n].runs[2].course, QStringLiteral("00"));
    EXPECT_EQ(s.horses[n].runs[2].going, 4);
    EXPECT_EQ(s.horses[n].runs[2].raceNumber, 3);
    EXPECT_EQ(s.horses[n].runs[2].finish, 4);
    EXPECT_EQ(s.horses[n].runs[2].popularity, 2);
    EXPECT_EQ(s.horses[n].runs[2].weightCarried, 56.0f);
    EXPECT_EQ(s.horses[n].runs[2].surface, 0);
    EXPECT_EQ(s.horses[n].runs[2].distance, 1600);
    EXPECT_FLOAT_EQ(s.horses[n].runs[2].time, 100.2f);
    EXPECT_EQ(s.horses[n].runs[2].cornerPositions, (std::array<qint32, 5> {0, 3, 3, 0, 0}));
    EXPECT_EQ(s.horses[n].runs[2].bodyWeight, 470);
}

TEST(Site2Horse, CourseGoingAndRaceNumberCells)
{
    const struct {
        QString meeting, weather, race;
        QString course;
        qint32 going, raceNo;
    } cases[] = {
        {QStringLiteral("3回東京5日"), QStringLiteral("晴（稍）"), QStringLiteral("11R"),
            QStringLiteral("05"), 2, 11},
        {QStringLiteral("1回小倉2日"), QStringLiteral("雨（重）"), QStringLiteral("1R"), QStringLiteral("10"),
            3, 1},
        {QStringLiteral("1回大井3日"), QStringLiteral("晴"), QStringLiteral("第11"), QStringLiteral("00"), 0,
            0},
        {QStringLiteral("10回京都1日"), QStringLiteral("晴(稍)"), QStringLiteral("12R"), QStringLiteral("00"),
            0, 12},
        {QString(), QStringLiteral("（良"), QString(), QStringLiteral("00"), 1, 0},
    };
    for (const auto &c : cases) {
        PastRun run = runOn(kRaceDay - 7);
        run.meetingCell = c.meeting;
        run.weatherCell = c.weather;
        run.raceCell = c.race;
        HorseRead read = readRuns({run});
        EXPECT_EQ(read.store.horses[kRunner].runs[1].course, c.course) << c.meeting.toStdString();
        EXPECT_EQ(read.store.horses[kRunner].runs[1].going, c.going) << c.weather.toStdString();
        EXPECT_EQ(read.store.horses[kRunner].runs[1].raceNumber, c.raceNo) << c.race.toStdString();
        EXPECT_TRUE(read.messages.messages().isEmpty()) << c.race.toStdString();
    }
}

TEST(Site2Horse, FinishingTimes)
{
    const struct {
        QString cell;
        float seconds;
        bool failed;
    } cases[] = {
        {QStringLiteral("2:01.3"), 121.3f, false},
        {QStringLiteral("1:34.5"), 94.5f, false},
        {QStringLiteral("58.7"), 58.7f, false},
        {QStringLiteral("2:01"), 0.0f, false},  // ":" without "."
        {QStringLiteral("中止"), 0.0f, false},
        {QString(), 0.0f, false},
        {QStringLiteral(":01.3"), 0.0f, true},
        {QStringLiteral("2:0x.3"), 0.0f, true},
        {QStringLiteral("58."), 0.0f, true},
        {QStringLiteral(".7"), 0.0f, true},
        {QStringLiteral("58"), 0.0f, false},  // neither ":" nor "."
        {QStringLiteral("2:01.x"), 0.0f, true},
        {QStringLiteral("58.x"), 0.0f, true},
    };
    for (const auto &c : cases) {
        PastRun run = runOn(kRaceDay - 7);
        run.timeCell = c.cell;
        HorseRead read = readRuns({run});
        EXPECT_FLOAT_EQ(read.store.horses[kRunner].runs[1].time, c.seconds) << c.cell.toStdString();
        EXPECT_EQ(read.messages.messages(), c.failed ? QStringList {kFailed} : QStringList {})
            << c.cell.toStdString();
    }
}

TEST(Site2Horse, BodyWeightIsTheNumberBeforeTheChange)
{
    const struct {
        QString cell;
        qint32 kg;
    } cases[] = {
        {QStringLiteral("480(+2)"), 480},
        {QStringLiteral("480（+2）"), 480},
        {QStringLiteral("480"), 480},
        {QStringLiteral("480(-12)"), 480},
        {QStringLiteral("計不"), 0},
        {QString(), 0},
        {QStringLiteral("(+2)"), 0},
    };
    for (const auto &c : cases) {
        PastRun odd = runOn(kRaceDay - 14);
        odd.bodyWeightCell = c.cell;
        HorseRead read = readRuns({runOn(kRaceDay - 7), odd, runOn(kRaceDay - 21)});
        EXPECT_EQ(read.store.horses[kRunner].runs[2].bodyWeight, c.kg) << c.cell.toStdString();
        // A weight that cannot be read costs the runner nothing else.
        EXPECT_EQ(read.runs(), 3) << c.cell.toStdString();
        EXPECT_TRUE(read.messages.messages().isEmpty()) << c.cell.toStdString();
    }
}

TEST(Site2Horse, FailureEndsTheParseAndKeepsWhatWasRead)
{
    PastRun bad = runOn(kRaceDay - 14);
    bad.raceCell = QStringLiteral("R");
    HorseRead read = readRuns({runOn(kRaceDay - 7), bad, runOn(kRaceDay - 21)});
    EXPECT_EQ(read.messages.messages(), QStringList {kFailed});
    EXPECT_EQ(read.store.horses[kRunner].runs[1].raceNumber, 11);
    EXPECT_EQ(read.store.horses[kRunner].runs[2].date, kRaceDay - 14);
    EXPECT_EQ(read.store.horses[kRunner].runs[2].course, QStringLiteral("05"));
    EXPECT_TRUE(read.store.horses[kRunner].runs[2].raceName.isEmpty());
    EXPECT_EQ(read.store.horses[kRunner].runs[3].date, 0);
}

TEST(Site2Horse, DateWindowAndRunLimit)
{
    const struct {
        int daysBefore;
        bool taken;
    } cases[] = {{0, false}, {1, true}, {419, true}, {420, false}};
    for (const auto &c : cases)
        EXPECT_EQ(readRuns({runOn(kRaceDay - c.daysBefore)}).runs(), c.taken ? 1 : 0) << c.daysBefore;

    std::vector<PastRun> many;
    for (int i = 1; i <= 55; ++i)
        many.push_back(runOn(kRaceDay - 7 * i));
    HorseRead read = readRuns(many);
    EXPECT_EQ(read.runs(), 49);
    EXPECT_EQ(read.messages.messages(), QStringList {QStringLiteral("全て読み込み出来ませんでした")});
}

TEST(Site2Horse, MissingLandmarks)
{
    HorsePage noProfile;
    noProfile.profile = false;
    noProfile.runs = {runOn(kRaceDay - 7)};
    HorseRead a(site2HorsePage(noProfile));
    EXPECT_EQ(a.messages.messages(), QStringList {kMissing});
    EXPECT_TRUE(a.store.horses[kRunner].sire.isEmpty());
    EXPECT_EQ(a.runs(), 0);

    HorsePage noHeader;
    noHeader.resultsHeader = false;
    noHeader.runs = {runOn(kRaceDay - 7)};
    HorseRead b(site2HorsePage(noHeader));
    EXPECT_EQ(b.messages.messages(), QStringList {kMissing});
    EXPECT_EQ(b.store.horses[kRunner].sire, QStringLiteral("サンデーサイレンス"));
    EXPECT_EQ(b.runs(), 0);
}

TEST(Site2Horse, PageCheckLooksForTheProfileInRows5To29)
{
    const struct {
        int row;
        QString text;
        bool accepted;
    } cases[] = {
        {4, QStringLiteral("生年月日"), false},
        {5, QStringLiteral("生年月日"), true},
        {29, QStringLiteral("生年月日"), true},
        {30, QStringLiteral("生年月日"), false},
        {10, QStringLiteral("生年月日："), false},
    };
    for (const auto &c : cases) {
        auto table = std::make_unique<PageTable>();
        table->setCell(c.row, 1, c.text);
        EXPECT_EQ(checkUma02(*table), c.accepted) << c.row << " " << c.text.toStdString();
    }
    auto page = std::make_unique<PageTable>();
    splitPage(site2HorsePage(HorsePage()), *page);
    EXPECT_TRUE(checkUma02(*page));
}
