#include "local/nar_merge.h"

#include "app/message_sink.h"
#include "app/race_store.h"
#include "db/database.h"
#include "db/stored_date.h"

#include "support/sqlite_file.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const double kRaceDay = 39356;  // 1 October 2007

// One local run as the two tables hold it; Null where a value is not set.
struct LocalRow {
    QString name;
    double daysBefore = 10;
    QString timeOfDay;  // appended to the stored date when set
    QString storedDate;  // replaces the date when set
    QVariant zyo = QStringLiteral("大井");
    QVariant no = 11;
    QVariant time = 101.5;
    QVariant last3f = 38.2;
    QVariant kisyu = QStringLiteral("的場");
    QVariant taizyu = 480;
};

class ReadNar : public ::testing::Test {
protected:
    ReadNar()
        : path_(folder_.file("NAR_data.mdb"))
    {
        writer_ = std::make_unique<SqliteFile>(path_);
        writer_->exec("CREATE TABLE T_Rdata(R_code TEXT, R_date TEXT, R_zyo TEXT, R_no INTEGER, R_name TEXT, "
                      "R_class TEXT, R_kyori INTEGER, R_baba INTEGER, R_zyo02 TEXT, R_tousuu INTEGER, "
                      "R_siba INTEGER)");
        writer_->exec(
            "CREATE TABLE T_Useiseki(R_code TEXT, U_name TEXT, U_kisyu TEXT, U_waku INTEGER, "
            "U_no INTEGER, U_ninki INTEGER, U_cyaku INTEGER, U_time REAL, U_cyakusa REAL, U_3f REAL, "
            "U_taizyu INTEGER, U_hutan REAL, U_cyoukyou TEXT, U_tuka01 INTEGER, U_tuka02 INTEGER, "
            "U_tuka03 INTEGER, U_tuka04 INTEGER)");
        store.raceDate = kRaceDay;
        store.fieldSize = 2;
        store.horses[1].name = QStringLiteral("ミナミノカゼ");
    }

    void add(const LocalRow &row)
    {
        const QString code = QString::number(++codes_);
        QString date = QString::fromStdString(storedDay(kRaceDay - row.daysBefore));
        if (!row.timeOfDay.isEmpty())
            date += u' ' + row.timeOfDay;
        if (!row.storedDate.isEmpty())
            date = row.storedDate;
        writer_->exec("INSERT INTO T_Rdata VALUES (?, ?, ?, ?, 'C1特別', 'C1', 1600, 2, '外', 12, 0)",
            {code, date, row.zyo, row.no});
        writer_->exec(
            "INSERT INTO T_Useiseki VALUES (?, ?, ?, 3, 5, 2, 4, ?, 0.3, ?, ?, 56.0, '藤田', 6, 5, 4, "
            "NULL)",
            {code, row.name.isEmpty() ? store.horses[1].name : row.name, row.kisyu, row.time, row.last3f,
                row.taizyu});
    }
    void addDaysBefore(std::initializer_list<double> days)
    {
        for (double d : days) {
            LocalRow row;
            row.daysBefore = d;
            add(row);
        }
    }
    // A run already read from the horse's page.
    void history(int r, double daysBefore, const QString &raceName = QStringLiteral("府中特別"))
    {
        store.horses[1].runs[r].date = kRaceDay - daysBefore;
        store.horses[1].runs[r].course = QStringLiteral("05");
        store.horses[1].runs[r].raceName = raceName;
        store.horses[1].runs[r].time = 95.0f;
        store.horses[1].runs[r].cornerPositions[1] = 3;
    }

    void closeWriter() { writer_.reset(); }
    void merge(int h = 1)
    {
        writer_.reset();
        QString error;
        auto db = Database::openQuietly(path_, &error);
        ASSERT_TRUE(db) << error.toStdString();
        readNar(store, h, db.get(), sink);
    }
    void dropTable(const char *table) { writer_->exec(QStringLiteral("DROP TABLE ") + QLatin1String(table)); }

    // Days before the race of runs 1.. up to the first absent one.
    std::vector<double> runDays(int h = 1) const
    {
        std::vector<double> days;
        for (int r = 1; r <= kMaxRuns && store.horses[h].runs[r].date > 0; ++r)
            days.push_back(kRaceDay - store.horses[h].runs[r].date);
        return days;
    }
    int presentRuns(int h = 1) const
    {
        int count = 0;
        for (int r = 1; r <= kMaxRuns; ++r)
            count += store.horses[h].runs[r].date > 0 ? 1 : 0;
        return count;
    }

    RaceStore store;
    RecordingSink sink;
    const QString &path() const { return path_; }

private:
    TestFolder folder_;
    QString path_;
    std::unique_ptr<SqliteFile> writer_;
    int codes_ = 0;
};

TEST_F(ReadNar, CopiesEveryColumnOfTheRunnersLocalRun)
{
    add({});
    merge();

    EXPECT_EQ(store.horses[1].runs[1].date, kRaceDay - 10);
    EXPECT_EQ(store.horses[1].runs[1].course, QStringLiteral("大井"));
    EXPECT_EQ(store.horses[1].runs[1].raceNumber, 11);
    EXPECT_EQ(store.horses[1].runs[1].raceName, QStringLiteral("C1特別"));
    EXPECT_EQ(store.horses[1].runs[1].raceClass, QStringLiteral("C1"));
    EXPECT_EQ(store.horses[1].runs[1].distance, 1600);
    EXPECT_EQ(store.horses[1].runs[1].going, 2);
    EXPECT_EQ(store.horses[1].runs[1].secondCourse, QStringLiteral("外"));
    EXPECT_EQ(store.horses[1].runs[1].fieldSize, 12);
    EXPECT_EQ(store.horses[1].runs[1].surface, 0);
    EXPECT_EQ(store.horses[1].runs[1].jockey, QStringLiteral("的場"));
    EXPECT_EQ(store.horses[1].runs[1].bracket, 3);
    EXPECT_EQ(store.horses[1].runs[1].horseNumber, 5);
    EXPECT_EQ(store.horses[1].runs[1].popularity, 2);
    EXPECT_EQ(store.horses[1].runs[1].finish, 4);
    EXPECT_EQ(store.horses[1].runs[1].time, 101.5f);
    EXPECT_EQ(store.horses[1].runs[1].margin, 0.3f);
    EXPECT_EQ(store.horses[1].runs[1].last3f, 38.2f);
    EXPECT_EQ(store.horses[1].runs[1].bodyWeight, 480);
    EXPECT_EQ(store.horses[1].runs[1].weightCarried, 56.0f);
    EXPECT_EQ(store.horses[1].runs[1].trainer, QStringLiteral("藤田"));
    EXPECT_EQ(store.horses[1].runs[1].cornerPositions, (std::array<qint32, kCornerSlots> {0, 6, 5, 4, 0}));
    EXPECT_EQ(store.horses[1].runs[2].date, 0.0);
    EXPECT_EQ(store.horses[1].name, QStringLiteral("ミナミノカゼ"));
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(ReadNar, ARunnerNotFoundKeepsItsRunsSortedNewestFirst)
{
    history(1, 30, "A");
    history(2, 5, "B");
    history(3, 60, "C");
    store.horses[1].runs[2].time = 91.0f;
    LocalRow other;
    other.name = QStringLiteral("ベツノウマ");
    add(other);
    merge();

    EXPECT_EQ(runDays(), (std::vector<double> {5, 30, 60}));
    EXPECT_EQ(store.horses[1].runs[1].raceName, QStringLiteral("B"));
    EXPECT_EQ(store.horses[1].runs[1].time, 91.0f);  // every field moves with its run
    EXPECT_EQ(store.horses[1].runs[3].raceName, QStringLiteral("C"));
    EXPECT_EQ(presentRuns(), 3);
}

TEST_F(ReadNar, LocalRunsAloneFillRunsOneToThreeNewestFirst)
{
    addDaysBefore({100, 7, 300});
    merge();
    EXPECT_EQ(runDays(), (std::vector<double> {7, 100, 300}));
    EXPECT_EQ(presentRuns(), 3);
}

TEST_F(ReadNar, TakesOnlyDaysStrictlyInsideTheWindow)
{
    addDaysBefore({0, 1, 419, 420, 421, -1});
    // A time of day must not move a run across either bound.
    for (const auto &[days, time] : {std::pair {0, "12:00:00"}, {420, "23:59:59"}, {419, "00:00:01"}}) {
        LocalRow row;
        row.daysBefore = days;
        row.timeOfDay = QLatin1String(time);
        add(row);
    }
    merge();
    ASSERT_EQ(presentRuns(), 3);
    EXPECT_EQ(runDays()[0], 1);
    // The stored time of day is part of the run's date.
    EXPECT_NEAR(runDays()[1], 419 - 1.0 / 86400, 1e-6);
    EXPECT_EQ(runDays()[2], 419);
}

TEST_F(ReadNar, NullsAndValuesBeyondTheirFieldLeaveTheResetValues)
{
    LocalRow first;
    first.last3f = first.kisyu = first.taizyu = QVariant();
    add(first);
    LocalRow second;
    second.daysBefore = 20;
    second.zyo = second.no = QVariant();
    second.time = QStringLiteral("unknown");
    add(second);
    // The largest value each field holds is taken; beyond it there is no value.
    LocalRow largest;
    largest.daysBefore = 30;
    largest.last3f = double(std::numeric_limits<float>::max());
    largest.taizyu = double(std::numeric_limits<qint32>::max());
    add(largest);
    LocalRow beyond;
    beyond.daysBefore = 40;
    beyond.last3f = 1e39;
    beyond.taizyu = 2147483648.0;
    add(beyond);
    merge();
    ASSERT_EQ(presentRuns(), 4);
    EXPECT_EQ(store.horses[1].runs[3].last3f, std::numeric_limits<float>::max());
    EXPECT_EQ(store.horses[1].runs[3].bodyWeight, std::numeric_limits<qint32>::max());
    EXPECT_EQ(store.horses[1].runs[4].last3f, 0.0f);
    EXPECT_EQ(store.horses[1].runs[4].bodyWeight, 0);
    EXPECT_EQ(store.horses[1].runs[1].last3f, 0.0f);
    EXPECT_EQ(store.horses[1].runs[1].jockey, QString());
    EXPECT_EQ(store.horses[1].runs[1].bodyWeight, 0);
    EXPECT_EQ(store.horses[1].runs[1].time, 101.5f);
    EXPECT_EQ(store.horses[1].runs[2].course, QString());
    EXPECT_EQ(store.horses[1].runs[2].raceNumber, 0);
    EXPECT_EQ(store.horses[1].runs[2].time, 0.0f);
    EXPECT_EQ(store.horses[1].runs[2].last3f, 38.2f);
}

TEST_F(ReadNar, ARowWhoseDateCannotBeReadIsNotARun)
{
    LocalRow impossible;
    impossible.storedDate = QStringLiteral("2007-02-30");
    add(impossible);
    addDaysBefore({15});
    merge();
    EXPECT_EQ(runDays(), (std::vector<double> {15}));
    EXPECT_EQ(presentRuns(), 1);
}

TEST_F(ReadNar, EqualDatesKeepTheRunsAlreadyThereFirst)
{
    history(1, 10, "page");
    history(2, 40, "older");
    addDaysBefore({10});
    merge();
    EXPECT_EQ(runDays(), (std::vector<double> {10, 10, 40}));
    EXPECT_EQ(store.horses[1].runs[1].raceName, QStringLiteral("page"));
    EXPECT_EQ(store.horses[1].runs[2].raceName, QStringLiteral("C1特別"));
}

TEST_F(ReadNar, StopsAtFiftyRunsWithoutTouchingTheRunsAlreadyThere)
{
    for (int r = 1; r <= 48; ++r)
        history(r, 2.0 * r, QString::number(r));
    addDaysBefore({3, 1, 5, 200});
    merge();

    ASSERT_EQ(presentRuns(), kMaxRuns);
    // The two newest local runs went in; every run from the page is still there.
    std::vector<double> days = runDays();
    EXPECT_EQ(days[0], 1);
    EXPECT_EQ(days[1], 2);
    EXPECT_EQ(days[2], 3);
    EXPECT_EQ(days[3], 4);
    EXPECT_EQ(store.horses[1].runs[50].raceName, QStringLiteral("48"));
    for (double d : days)
        EXPECT_NE(d, 5) << "the third local run found no room";
}

TEST_F(ReadNar, AFullRunnerGetsNothingMore)
{
    for (int r = 1; r <= kMaxRuns; ++r)
        history(r, r, QString::number(r));
    addDaysBefore({0.5, 1});
    merge();
    EXPECT_EQ(presentRuns(), kMaxRuns);
    EXPECT_EQ(store.horses[1].runs[1].raceName, QStringLiteral("1"));
    EXPECT_EQ(store.horses[1].runs[1].course, QStringLiteral("05"));
}

TEST_F(ReadNar, ClosesGapsWithoutRepeatingARun)
{
    history(1, 10, "A");
    history(2, 20, "B");
    history(4, 40, "D");
    addDaysBefore({30});
    merge();
    EXPECT_EQ(runDays(), (std::vector<double> {10, 20, 30, 40}));
    EXPECT_EQ(presentRuns(), 4);
    EXPECT_EQ(store.horses[1].runs[4].raceName, QStringLiteral("D"));
    EXPECT_EQ(store.horses[1].runs[5].raceName, QString());
    EXPECT_EQ(store.horses[1].runs[5].cornerPositions[1], 0);
}

TEST_F(ReadNar, OneMergeServesEveryRunnerOfTheLoad)
{
    for (int r = 1; r <= 49; ++r)
        history(r, 100 + r, QString::number(r));
    addDaysBefore({3, 4, 5});  // runner 1 has room for one of them
    store.horses[2].name = QStringLiteral("ニシノカゼ");
    for (double days : {6.0, 7.0}) {
        LocalRow row;
        row.name = store.horses[2].name;
        row.daysBefore = days;
        add(row);
    }
    closeWriter();
    QString error;
    auto db = Database::openQuietly(path(), &error);
    ASSERT_TRUE(db) << error.toStdString();
    marunoki::NarMerge merge(*db);
    for (int h : {1, 2, 1}) {
        merge.merge(store, h, sink);
    }
    EXPECT_EQ(presentRuns(1), kMaxRuns);
    EXPECT_EQ(runDays(1)[0], 3);
    EXPECT_EQ(runDays(2), (std::vector<double> {6, 7}));
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(ReadNar, FindsANameWithAnApostrophe)
{
    store.horses[1].name = QStringLiteral("O'Brien");
    LocalRow row;
    row.name = QStringLiteral("O'Brien");
    row.daysBefore = 12;
    add(row);
    merge();
    EXPECT_EQ(runDays(), (std::vector<double> {12}));
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(ReadNar, LeavesTodaysEntryAndOtherRunnersAlone)
{
    store.horses[1].runs[0].date = kRaceDay;
    store.horses[1].runs[0].distance = 1400;
    store.horses[2].name = store.horses[1].name;
    addDaysBefore({8});
    merge(1);
    EXPECT_EQ(store.horses[1].runs[0].date, kRaceDay);
    EXPECT_EQ(store.horses[1].runs[0].distance, 1400);
    EXPECT_EQ(store.horses[2].runs[1].date, 0.0);
}

TEST_F(ReadNar, AMissingTableIsReportedAndTheRunsStayAsTheyWere)
{
    history(1, 30, "A");
    history(2, 5, "B");
    dropTable("T_Useiseki");
    merge();
    ASSERT_EQ(sink.messages().size(), 1);
    EXPECT_TRUE(sink.messages().first().contains(path())) << sink.messages().first().toStdString();
    EXPECT_EQ(store.horses[1].runs[1].raceName, QStringLiteral("A"));
    EXPECT_EQ(store.horses[1].runs[2].raceName, QStringLiteral("B"));
}

TEST_F(ReadNar, DoesNothingWithoutTheLocalFile)
{
    history(1, 30, "A");
    history(2, 5, "B");
    readNar(store, 1, nullptr, sink);
    EXPECT_EQ(store.horses[1].runs[1].raceName, QStringLiteral("A"));
    EXPECT_EQ(store.horses[1].runs[2].raceName, QStringLiteral("B"));
    EXPECT_TRUE(sink.messages().isEmpty());
}

}  // namespace
