#include "analysis/track_db.h"

#include "db/database.h"
#include "db/stored_date.h"

#include "support/sqlite_file.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const double k2006_10_07 = 38997;  // serial date of 7 October 2006

// How the track file is indexed: not at all (as an outside tool may write it),
// with plain lookup indexes, or with the covering indexes of the import.
enum class Indexes { None, Plain, Covering };

// A track database with rows in the given tables; the schema is the fixed one.
class TrackFile {
public:
    explicit TrackFile(Indexes indexes = Indexes::None)
        : path_(folder_.file("marunoki.dat"))
        , indexes_(indexes)
    { }
    SqliteFile &writer()
    {
        if (!writer_) {
            writer_ = std::make_unique<SqliteFile>(path_);
            if (!created_)
                createTrackTables(*writer_);
            created_ = true;
        }
        return *writer_;
    }
    void variant(const QString &date, const QString &course, int surface, double value)
    {
        writer().exec("INSERT INTO T_sisuu VALUES (?, ?, ?, ?)", {date, course, surface, value});
    }
    void average(
        const QString &cls, int distance, const QString &course, int surface, double time, int sinKyu)
    {
        writer().exec("INSERT INTO T_avetime VALUES (?, ?, ?, ?, ?, ?)",
            {cls, distance, course, surface, time, sinKyu});
    }
    std::unique_ptr<Database> open()
    {
        if (!indexed_)
            addIndexes();
        indexed_ = true;
        writer_.reset();
        QString error;
        auto db = Database::openQuietly(path_, &error);
        EXPECT_TRUE(db) << error.toStdString();
        return db;
    }
    const QString &path() const { return path_; }

private:
    void addIndexes()
    {
        if (indexes_ == Indexes::Plain) {
            writer().exec("CREATE INDEX day ON T_sisuu(S_date, S_zyo, S_siba)");
            writer().exec("CREATE INDEX course ON T_avetime(A_kyori, A_zyo, A_siba)");
        } else if (indexes_ == Indexes::Covering) {
            writer().exec("CREATE INDEX day ON T_sisuu(S_date, S_zyo, S_siba, S_sisuu)");
            writer().exec(
                "CREATE INDEX course ON T_avetime(A_kyori, A_zyo, A_siba, A_class, A_sin_kyu, A_time)");
        }
    }

    TestFolder folder_;
    QString path_;
    Indexes indexes_;
    bool created_ = false;
    bool indexed_ = false;
    std::unique_ptr<SqliteFile> writer_;
};

// The lookups must give the same answers however the file is indexed.
class TrackLookups : public ::testing::TestWithParam<Indexes> {
protected:
    TrackFile file {GetParam()};
};

void expectValue(const Lookup &lookup, float value)
{
    EXPECT_TRUE(lookup.ok) << lookup.error.toStdString();
    ASSERT_TRUE(lookup.value.has_value());
    EXPECT_FLOAT_EQ(*lookup.value, value);
}

void expectMissing(const Lookup &lookup)
{
    EXPECT_TRUE(lookup.ok) << lookup.error.toStdString();
    EXPECT_FALSE(lookup.value.has_value());
}

}  // namespace

TEST_P(TrackLookups, VariantFindsTheRowOfTheDayCourseAndSurface)
{
    file.variant("2006-10-07", "05", 1, -0.8);
    file.variant("2006-10-07", "05", 0, 0.4);
    file.variant("2006-10-07", "06", 1, 1.1);
    file.variant("2006-10-08", "05", 1, 0.3);
    auto db = file.open();
    TrackDatabase track(*db, TrackDatabase::Kind::Central);
    expectValue(track.trackVariant(k2006_10_07, "05", 1), -0.8f);
    expectValue(track.trackVariant(k2006_10_07, "05", 0), 0.4f);
    expectValue(track.trackVariant(k2006_10_07, "06", 1), 1.1f);
    expectValue(track.trackVariant(k2006_10_07 + 1, "05", 1), 0.3f);
    // The run's time of day does not matter.
    expectValue(track.trackVariant(k2006_10_07 + 0.6, "05", 1), -0.8f);
    expectMissing(track.trackVariant(k2006_10_07 - 1, "05", 1));
    expectMissing(track.trackVariant(k2006_10_07, "00", 1));  // a course outside the table
    expectMissing(track.trackVariant(k2006_10_07, "05", 2));
    expectMissing(track.trackVariant(0, "05", 1));
}

TEST_P(TrackLookups, VariantMatchesADayStoredWithATime)
{
    file.variant("2006-10-07 00:00:00", "05", 1, 0.9);
    file.variant("2006-10-08 13:30:00", "05", 1, -0.2);
    auto db = file.open();
    TrackDatabase track(*db, TrackDatabase::Kind::Central);
    expectValue(track.trackVariant(k2006_10_07, "05", 1), 0.9f);
    expectValue(track.trackVariant(k2006_10_07 + 1, "05", 1), -0.2f);
    expectMissing(track.trackVariant(k2006_10_07 + 2, "05", 1));
}

TEST_P(TrackLookups, VariantTakesTheFirstRowOfSeveral)
{
    file.variant("2006-10-07", "05", 1, 0.5);
    file.variant("2006-10-07", "05", 1, 1.5);
    auto db = file.open();
    TrackDatabase track(*db, TrackDatabase::Kind::Central);
    expectValue(track.trackVariant(k2006_10_07, "05", 1), 0.5f);
}

TEST_P(TrackLookups, VariantFindsACourseTextWithAnApostrophe)
{
    file.variant("2006-10-07", "O'Hare", 0, 0.7);
    file.variant("2006-10-07", "大井", 0, -1.2);
    auto db = file.open();
    TrackDatabase track(*db, TrackDatabase::Kind::Local);
    expectValue(track.trackVariant(k2006_10_07, "O'Hare", 0), 0.7f);
    expectValue(track.trackVariant(k2006_10_07, "大井", 0), -1.2f);
    expectMissing(track.trackVariant(k2006_10_07, "O'", 0));
}

TEST_P(TrackLookups, AverageCentralReadsTheAveRowsOnly)
{
    file.average("500万", 1600, "05", 1, 95.0, 0);
    file.average("ave", 1600, "05", 1, 94.2, 0);
    file.average("ave", 1600, "05", 1, 99.9, 0);  // a second row is ignored
    file.average("ave", 1600, "05", 0, 97.1, 1);
    file.average("ave", 2000, "05", 1, 120.3, 0);
    auto db = file.open();
    TrackDatabase track(*db, TrackDatabase::Kind::Central);
    expectValue(track.averageTime(1600, "05", 1), 94.2f);
    expectValue(track.averageTime(1600, "05", 0), 97.1f);  // central does not look at A_sin_kyu
    expectValue(track.averageTime(2000, "05", 1), 120.3f);
    expectMissing(track.averageTime(1800, "05", 1));
    expectMissing(track.averageTime(1600, "00", 1));
}

TEST_P(TrackLookups, AverageLocalReadsRowsMarkedOneOnly)
{
    file.average("ave", 1200, "大井", 0, 73.0, 0);
    file.average("ave", 1200, "大井", 0, 74.5, 1);
    file.average("ave", 1400, "大井", 0, 88.0, 0);
    auto db = file.open();
    TrackDatabase local(*db, TrackDatabase::Kind::Local);
    expectValue(local.averageTime(1200, "大井", 0), 74.5f);
    expectMissing(local.averageTime(1400, "大井", 0));
    TrackDatabase central(*db, TrackDatabase::Kind::Central);
    expectValue(central.averageTime(1200, "大井", 0), 73.0f);
}

TEST_P(TrackLookups, ReusesItsStatementsAcrossManyLookups)
{
    QList<QVariantList> rows;
    for (int day = 0; day < 30; ++day)
        rows.append({QString::fromStdString(storedDay(k2006_10_07 + day)), "05", 1, day / 10.0});
    file.writer().insertRows("INSERT INTO T_sisuu VALUES (?, ?, ?, ?)", rows);
    auto db = file.open();
    TrackDatabase track(*db, TrackDatabase::Kind::Central);
    for (int round = 0; round < 3; ++round)
        for (int day = 29; day >= 0; --day)
            expectValue(track.trackVariant(k2006_10_07 + day, "05", 1), day / 10.0f);
}

TEST(TrackDatabase, AMissingTableIsAFailedLookupNotACrash)
{
    TestFolder folder;
    const QString path = folder.file("other.dat");
    {
        SqliteFile writer(path);
        writer.exec("CREATE TABLE something(x)");
    }
    auto db = Database::openQuietly(path);
    ASSERT_TRUE(db);
    TrackDatabase track(*db, TrackDatabase::Kind::Central);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const Lookup variant = track.trackVariant(k2006_10_07, "05", 1);
        EXPECT_FALSE(variant.ok);
        EXPECT_FALSE(variant.value.has_value());
        EXPECT_TRUE(variant.error.contains("T_sisuu")) << variant.error.toStdString();
        const Lookup average = track.averageTime(1600, "05", 1);
        EXPECT_FALSE(average.ok);
        EXPECT_TRUE(average.error.contains("T_avetime")) << average.error.toStdString();
    }
    EXPECT_FALSE(track.issueDate().has_value());

    // Tables that fail while they are read (views overflowing an integer) fail with the cause.
    const QString failing = folder.file("failing.dat");
    {
        SqliteFile writer(failing);
        writer.exec("CREATE VIEW T_sisuu AS SELECT '2006-10-07' AS S_date, '05' AS S_zyo, "
                    "abs(-9223372036854775807 - 1) AS S_siba, 0.5 AS S_sisuu");
        writer.exec("CREATE VIEW T_avetime AS SELECT 'ave' AS A_class, 1600 AS A_kyori, '05' AS A_zyo, "
                    "1 AS A_siba, abs(-9223372036854775807 - 1) AS A_time");
    }
    auto failingDb = Database::openQuietly(failing);
    ASSERT_TRUE(failingDb);
    TrackDatabase failingTrack(*failingDb, TrackDatabase::Kind::Central);
    const Lookup variant = failingTrack.trackVariant(k2006_10_07, "05", 1);
    const Lookup average = failingTrack.averageTime(1600, "05", 1);
    EXPECT_FALSE(variant.ok);
    EXPECT_FALSE(average.ok);
    EXPECT_TRUE(variant.error.contains("T_sisuu: integer overflow")) << variant.error.toStdString();
    EXPECT_TRUE(average.error.contains("T_avetime: integer overflow")) << average.error.toStdString();
}

TEST_P(TrackLookups, NullOrTextValuesAreErrors)
{
    file.writer().exec("INSERT INTO T_sisuu VALUES ('2006-10-07', '05', 1, NULL)");
    file.writer().exec("INSERT INTO T_avetime VALUES ('ave', 1600, '05', 1, 'fast', 0)");
    auto db = file.open();
    TrackDatabase track(*db, TrackDatabase::Kind::Central);
    const Lookup variant = track.trackVariant(k2006_10_07, "05", 1);
    EXPECT_FALSE(variant.ok);
    EXPECT_TRUE(variant.error.contains("Null"));
    const Lookup average = track.averageTime(1600, "05", 1);
    EXPECT_FALSE(average.ok);
    EXPECT_TRUE(average.error.contains("fast"));
}

TEST(TrackDatabaseIssueDate, ReadsTheFirstRowOrGivesZero)
{
    const struct {
        QStringList rows;
        std::optional<double> expected;
    } cases[] = {
        {{}, 0.0},
        {{"2026-11-30"}, 46356.0},
        {{"2006-10-07", "2026-11-30"}, k2006_10_07},
        {{"2006-10-07 12:00:00"}, k2006_10_07 + 0.5},
        {{"30/11/2026"}, std::nullopt},
    };
    for (const auto &c : cases) {
        TrackFile file;
        file.writer();
        for (const QString &row : c.rows)
            file.writer().exec("INSERT INTO version VALUES (?)", {row});
        auto db = file.open();
        TrackDatabase track(*db, TrackDatabase::Kind::Central);
        EXPECT_EQ(track.issueDate(), c.expected) << c.rows.join(",").toStdString();
    }
}

TEST(TrackDatabaseIssueDate, FailsWithoutAVersionTableOrDateColumn)
{
    TestFolder folder;
    const QString path = folder.file("v.dat");
    {
        SqliteFile writer(path);
        writer.exec("CREATE TABLE version(issued TEXT)");
        writer.exec("INSERT INTO version VALUES ('2026-11-30')");
    }
    auto db = Database::openQuietly(path);
    ASSERT_TRUE(db);
    TrackDatabase track(*db, TrackDatabase::Kind::Central);
    EXPECT_FALSE(track.issueDate().has_value());
}

TEST(TrackDatabase, AnAccessFileWithoutTrackTablesFailsEachLookupCleanly)
{
    TestFolder folder;
    const QString path = folder.copyIn(testData("access/jet4-empty.mdb"), "marunoki.dat");
    QString error;
    auto db = Database::openQuietly(path, &error, folder.file("cache"));
    ASSERT_TRUE(db) << error.toStdString();
    TrackDatabase track(*db, TrackDatabase::Kind::Central);
    EXPECT_FALSE(track.issueDate().has_value());
    const Lookup variant = track.trackVariant(k2006_10_07, "05", 1);
    EXPECT_FALSE(variant.ok);
    EXPECT_FALSE(variant.error.isEmpty());
    EXPECT_FALSE(track.averageTime(1600, "05", 1).ok);
}

TEST_P(TrackLookups, VariantMatchesSurfaceCodesAsSqliteCompares)
{
    file.writer().exec("INSERT INTO T_sisuu VALUES ('2006-10-07', '05', 1.0, 0.6)");
    file.writer().exec("INSERT INTO T_sisuu VALUES ('2006-10-07', '06', 'x', 0.7)");
    file.writer().exec("INSERT INTO T_sisuu VALUES ('2006-10-07', '07', NULL, 0.8)");
    file.writer().exec("INSERT INTO T_sisuu VALUES ('2006-10-07', NULL, 0, 0.9)");
    // A row without an integer surface takes no other row's place.
    file.variant("2006-10-07", "06", 1, 0.3);
    file.variant("2006-10-07", "07", 0, 0.4);
    file.variant("2006-10-07", "07", 1, 0.5);
    auto db = file.open();
    TrackDatabase track(*db, TrackDatabase::Kind::Central);
    expectValue(track.trackVariant(k2006_10_07, "05", 1), 0.6f);
    expectMissing(track.trackVariant(k2006_10_07, "06", 0));
    expectValue(track.trackVariant(k2006_10_07, "06", 1), 0.3f);
    expectValue(track.trackVariant(k2006_10_07, "07", 0), 0.4f);
    expectValue(track.trackVariant(k2006_10_07, "07", 1), 0.5f);
    expectMissing(track.trackVariant(k2006_10_07, "", 0));
}

TEST_P(TrackLookups, VariantIgnoresRowsWithoutADate)
{
    file.variant("", "05", 1, 0.1);
    file.variant("07/10/2006", "05", 1, 0.2);
    file.writer().exec("INSERT INTO T_sisuu VALUES (NULL, '05', 1, 0.3)");
    file.variant("2006-10-07", "05", 1, 0.4);
    auto db = file.open();
    TrackDatabase track(*db, TrackDatabase::Kind::Central);
    expectValue(track.trackVariant(k2006_10_07, "05", 1), 0.4f);
}

TEST_P(TrackLookups, RemembersNothingAcrossObjects)
{
    file.variant("2006-10-07", "05", 1, 0.5);
    file.average("ave", 1600, "05", 1, 94.2, 0);
    auto db = file.open();
    {
        TrackDatabase first(*db, TrackDatabase::Kind::Central);
        expectValue(first.trackVariant(k2006_10_07, "05", 1), 0.5f);
        expectMissing(first.trackVariant(k2006_10_07 + 1, "05", 1));
        expectValue(first.averageTime(1600, "05", 1), 94.2f);
        // Asked again, the same answers.
        expectValue(first.trackVariant(k2006_10_07, "05", 1), 0.5f);
        expectMissing(first.trackVariant(k2006_10_07 + 1, "05", 1));
        expectValue(first.averageTime(1600, "05", 1), 94.2f);
    }
    db.reset();
    file.variant("2006-10-08", "05", 1, -0.5);
    db = file.open();
    TrackDatabase second(*db, TrackDatabase::Kind::Central);
    expectValue(second.trackVariant(k2006_10_07 + 1, "05", 1), -0.5f);
}

INSTANTIATE_TEST_SUITE_P(AnyIndexes, TrackLookups,
    ::testing::Values(Indexes::None, Indexes::Plain, Indexes::Covering),
    [](const ::testing::TestParamInfo<Indexes> &indexes) {
        switch (indexes.param) {
        case Indexes::None:
            return "NoIndex";
        case Indexes::Plain:
            return "PlainIndex";
        case Indexes::Covering:
            return "CoveringIndex";
        }
        return "";
    });
