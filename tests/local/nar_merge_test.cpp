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
        store.tousuu = 2;
        store.U_name[1] = QStringLiteral("ミナミノカゼ");
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
            {code, row.name.isEmpty() ? store.U_name[1] : row.name, row.kisyu, row.time, row.last3f,
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
        store.R_date[1][r] = kRaceDay - daysBefore;
        store.R_zyo[1][r] = QStringLiteral("05");
        store.R_name[1][r] = raceName;
        store.U_time[1][r] = 95.0f;
        store.U_tuka[1][r][1] = 3;
    }

    void closeWriter() { writer_.reset(); }
    void merge(int h = 1)
    {
        writer_.reset();
        QString error;
        auto db = Database::openQuietly(path_, &error);
        ASSERT_TRUE(db) << error.toStdString();
        store.curUma = h;
        readNar(store, db.get(), sink);
    }
    void dropTable(const char *table) { writer_->exec(QStringLiteral("DROP TABLE ") + QLatin1String(table)); }

    // Days before the race of runs 1.. up to the first absent one.
    std::vector<double> runDays(int h = 1) const
    {
        std::vector<double> days;
        for (int r = 1; r <= kMaxRuns && store.R_date[h][r] > 0; ++r)
            days.push_back(kRaceDay - store.R_date[h][r]);
        return days;
    }
    int presentRuns(int h = 1) const
    {
        int count = 0;
        for (int r = 1; r <= kMaxRuns; ++r)
            count += store.R_date[h][r] > 0 ? 1 : 0;
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

    EXPECT_EQ(store.R_date[1][1], kRaceDay - 10);
    EXPECT_EQ(store.R_zyo[1][1], QStringLiteral("大井"));
    EXPECT_EQ(store.R_no[1][1], 11);
    EXPECT_EQ(store.R_name[1][1], QStringLiteral("C1特別"));
    EXPECT_EQ(store.R_class[1][1], QStringLiteral("C1"));
    EXPECT_EQ(store.R_kyori[1][1], 1600);
    EXPECT_EQ(store.R_baba[1][1], 2);
    EXPECT_EQ(store.R_zyo02[1][1], QStringLiteral("外"));
    EXPECT_EQ(store.R_tousuu[1][1], 12);
    EXPECT_EQ(store.R_siba[1][1], 0);
    EXPECT_EQ(store.U_kisyu[1][1], QStringLiteral("的場"));
    EXPECT_EQ(store.U_waku[1][1], 3);
    EXPECT_EQ(store.U_no[1][1], 5);
    EXPECT_EQ(store.U_ninki[1][1], 2);
    EXPECT_EQ(store.U_cyaku[1][1], 4);
    EXPECT_EQ(store.U_time[1][1], 101.5f);
    EXPECT_EQ(store.U_cyakusa[1][1], 0.3f);
    EXPECT_EQ(store.U_3f[1][1], 38.2f);
    EXPECT_EQ(store.U_taizyu[1][1], 480);
    EXPECT_EQ(store.U_hutan[1][1], 56.0f);
    EXPECT_EQ(store.U_cyoukyou[1][1], QStringLiteral("藤田"));
    EXPECT_EQ(store.U_tuka[1][1], (std::array<qint32, kCornerSlots> {0, 6, 5, 4, 0}));
    EXPECT_EQ(store.R_date[1][2], 0.0);
    EXPECT_EQ(store.U_name[1], QStringLiteral("ミナミノカゼ"));
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(ReadNar, ARunnerNotFoundKeepsItsRunsSortedNewestFirst)
{
    history(1, 30, "A");
    history(2, 5, "B");
    history(3, 60, "C");
    store.U_time[1][2] = 91.0f;
    LocalRow other;
    other.name = QStringLiteral("ベツノウマ");
    add(other);
    merge();

    EXPECT_EQ(runDays(), (std::vector<double> {5, 30, 60}));
    EXPECT_EQ(store.R_name[1][1], QStringLiteral("B"));
    EXPECT_EQ(store.U_time[1][1], 91.0f);  // every field moves with its run
    EXPECT_EQ(store.R_name[1][3], QStringLiteral("C"));
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
    EXPECT_EQ(store.U_3f[1][3], std::numeric_limits<float>::max());
    EXPECT_EQ(store.U_taizyu[1][3], std::numeric_limits<qint32>::max());
    EXPECT_EQ(store.U_3f[1][4], 0.0f);
    EXPECT_EQ(store.U_taizyu[1][4], 0);
    EXPECT_EQ(store.U_3f[1][1], 0.0f);
    EXPECT_EQ(store.U_kisyu[1][1], QString());
    EXPECT_EQ(store.U_taizyu[1][1], 0);
    EXPECT_EQ(store.U_time[1][1], 101.5f);
    EXPECT_EQ(store.R_zyo[1][2], QString());
    EXPECT_EQ(store.R_no[1][2], 0);
    EXPECT_EQ(store.U_time[1][2], 0.0f);
    EXPECT_EQ(store.U_3f[1][2], 38.2f);
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
    EXPECT_EQ(store.R_name[1][1], QStringLiteral("page"));
    EXPECT_EQ(store.R_name[1][2], QStringLiteral("C1特別"));
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
    EXPECT_EQ(store.R_name[1][50], QStringLiteral("48"));
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
    EXPECT_EQ(store.R_name[1][1], QStringLiteral("1"));
    EXPECT_EQ(store.R_zyo[1][1], QStringLiteral("05"));
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
    EXPECT_EQ(store.R_name[1][4], QStringLiteral("D"));
    EXPECT_EQ(store.R_name[1][5], QString());
    EXPECT_EQ(store.U_tuka[1][5][1], 0);
}

TEST_F(ReadNar, OneMergeServesEveryRunnerOfTheLoad)
{
    for (int r = 1; r <= 49; ++r)
        history(r, 100 + r, QString::number(r));
    addDaysBefore({3, 4, 5});  // runner 1 has room for one of them
    store.U_name[2] = QStringLiteral("ニシノカゼ");
    for (double days : {6.0, 7.0}) {
        LocalRow row;
        row.name = store.U_name[2];
        row.daysBefore = days;
        add(row);
    }
    closeWriter();
    QString error;
    auto db = Database::openQuietly(path(), &error);
    ASSERT_TRUE(db) << error.toStdString();
    marunoki::NarMerge merge(*db);
    for (int h : {1, 2, 1}) {
        store.curUma = h;
        merge.merge(store, sink);
    }
    EXPECT_EQ(presentRuns(1), kMaxRuns);
    EXPECT_EQ(runDays(1)[0], 3);
    EXPECT_EQ(runDays(2), (std::vector<double> {6, 7}));
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(ReadNar, FindsANameWithAnApostrophe)
{
    store.U_name[1] = QStringLiteral("O'Brien");
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
    store.R_date[1][0] = kRaceDay;
    store.R_kyori[1][0] = 1400;
    store.U_name[2] = store.U_name[1];
    addDaysBefore({8});
    merge(1);
    EXPECT_EQ(store.R_date[1][0], kRaceDay);
    EXPECT_EQ(store.R_kyori[1][0], 1400);
    EXPECT_EQ(store.R_date[2][1], 0.0);
}

TEST_F(ReadNar, AMissingTableIsReportedAndTheRunsStayAsTheyWere)
{
    history(1, 30, "A");
    history(2, 5, "B");
    dropTable("T_Useiseki");
    merge();
    ASSERT_EQ(sink.messages().size(), 1);
    EXPECT_TRUE(sink.messages().first().contains(path())) << sink.messages().first().toStdString();
    EXPECT_EQ(store.R_name[1][1], QStringLiteral("A"));
    EXPECT_EQ(store.R_name[1][2], QStringLiteral("B"));
}

TEST_F(ReadNar, DoesNothingWithoutTheLocalFile)
{
    history(1, 30, "A");
    history(2, 5, "B");
    store.curUma = 1;
    readNar(store, nullptr, sink);
    EXPECT_EQ(store.R_name[1][1], QStringLiteral("A"));
    EXPECT_EQ(store.R_name[1][2], QStringLiteral("B"));
    EXPECT_TRUE(sink.messages().isEmpty());
}

}  // namespace
