#include "analysis/speed_figures.h"

#include "analysis/track_db.h"
#include "app/format.h"
#include "app/message_sink.h"
#include "app/race_store.h"
#include "db/database.h"

#include "support/sqlite_file.h"
#include "support/test_folder.h"

#include <gtest/gtest.h>

#include <QFile>

#include <limits>

using namespace marunoki;
using namespace marunoki::test;

namespace {

const QString kPassError = QStringLiteral("U_sisuu算出エラー(err-AC01)");
const QString kDay = QStringLiteral("2006-10-07");
const double kDaySerial = 38997;  // 7 October 2006

// marunoki.dat and NAR_data.mdb as SQLite files, filled by the test, then opened
// the way the load opens them: once, for the whole analysis.
class Sources {
public:
    Sources()
        : centralPath_(folder_.file("marunoki.dat"))
        , localPath_(folder_.file("NAR_data.mdb"))
    { }

    SqliteFile &central() { return writer(centralWriter_, centralPath_); }
    SqliteFile &local() { return writer(localWriter_, localPath_); }

    static void variant(SqliteFile &file, const QString &course, int surface, double value)
    {
        file.exec("INSERT INTO T_sisuu VALUES (?, ?, ?, ?)", {kDay, course, surface, value});
    }
    static void average(SqliteFile &file, int distance, const QString &course, int surface, double time)
    {
        file.exec("INSERT INTO T_avetime VALUES ('ave', ?, ?, ?, ?, 1)", {distance, course, surface, time});
    }

    // Opens whichever files were written; the other stays null.
    AnalysisSources open()
    {
        centralWriter_.reset();
        localWriter_.reset();
        if (QFile::exists(centralPath_))
            centralTrack_ = openTrack(centralPath_, centralDb_, TrackDatabase::Kind::Central);
        if (QFile::exists(localPath_))
            localTrack_ = openTrack(localPath_, localDb_, TrackDatabase::Kind::Local);
        return {centralTrack_.get(), localTrack_.get()};
    }

private:
    SqliteFile &writer(std::unique_ptr<SqliteFile> &slot, const QString &path)
    {
        if (!slot) {
            slot = std::make_unique<SqliteFile>(path);
            createTrackTables(*slot);
        }
        return *slot;
    }
    static std::unique_ptr<TrackDatabase> openTrack(
        const QString &path, std::unique_ptr<Database> &db, TrackDatabase::Kind kind)
    {
        QString error;
        db = Database::openQuietly(path, &error);
        EXPECT_TRUE(db) << error.toStdString();
        return db ? std::make_unique<TrackDatabase>(*db, kind) : nullptr;
    }

    TestFolder folder_;
    QString centralPath_, localPath_;
    std::unique_ptr<SqliteFile> centralWriter_, localWriter_;
    // Declared before the track databases, so the queries go first.
    std::unique_ptr<Database> centralDb_, localDb_;
    std::unique_ptr<TrackDatabase> centralTrack_, localTrack_;
};

struct RunSpec {
    QString course;
    int surface = 0;
    int distance = 1600;
    float time = 0;
    float last3f = 0;
};

void setRun(RaceStore &store, int h, int r, const RunSpec &run)
{
    store.horses[h].runs[r].date = kDaySerial;
    store.horses[h].runs[r].course = run.course;
    store.horses[h].runs[r].surface = run.surface;
    store.horses[h].runs[r].distance = run.distance;
    store.horses[h].runs[r].time = run.time;
    store.horses[h].runs[r].last3f = run.last3f;
}

void expectNoOutputs(const RaceStore &store, int h, int r)
{
    EXPECT_EQ(store.horses[h].runs[r].speedFigure, 0.0f) << "run " << r;
    EXPECT_EQ(store.horses[h].runs[r].last3fFigure, 0.0f) << "run " << r;
    EXPECT_EQ(store.horses[h].runs[r].trackVariant, 0.0f) << "run " << r;
}

// --- the formulas ---------------------------------------------------------------

struct FormulaCase {
    const char *name;
    RunSource source;
    float average, time, last3f;
    qint32 distance;
    float variant;
    float sisuu, agari;
};

TEST(SpeedFigure, MatchesTheWorkedRuns)
{
    const FormulaCase cases[] = {
        {"central", RunSource::Central, 96.0f, 95.5f, 34.0f, 1600, 0.5f, 80.0f, 90.75f},
        // Local: one second slower than average over 1500 m, no variant; the offsets
        // +50-14.8 and +60-5.18 put it at 25.2.
        {"local", RunSource::Local, 100.0f, 101.0f, 36.0f, 1500, 0.0f, 25.2f, 94.82f},
        {"central, negative variant", RunSource::Central, 72.0f, 72.0f, 35.0f, 1200, -1.0f, 60.0f, 78.5f},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(
            static_cast<float>(speedFigure(c.source, c.average, c.time, c.distance, c.variant)), c.sisuu)
            << c.name;
        EXPECT_EQ(
            static_cast<float>(agariFigure(c.source, c.average, c.last3f, c.distance, c.variant)), c.agari)
            << c.name;
    }
}

TEST(SpeedFigure, IsComputedInDoubleFromTheSingleInputs)
{
    // 0.1f is not 0.1: the formula must see the single-precision value widened, not a
    // rounded decimal.
    const double expected = ((96.0 - 95.5) / 1600.0 * 1600.0 + static_cast<double>(0.1f)) * 10.0 + 70.0;
    EXPECT_EQ(speedFigure(RunSource::Central, 96.0f, 95.5f, 1600, 0.1f), expected);
    EXPECT_NE(speedFigure(RunSource::Central, 96.0f, 95.5f, 1600, 0.1f), 76.0);
}

// --- the runner pass against real database files -----------------------------------

class RunnerPass : public ::testing::Test {
protected:
    // Opens the files written so far and runs the pass for each runner in turn.
    void pass(std::initializer_list<int> runners)
    {
        sources = files.open();
        for (int h : runners) {
            computeRunnerFigures(store, h, sources, sink);
        }
    }
    void run(int h, int r, const RunSpec &fields) { setRun(store, h, r, fields); }

    Sources files;
    AnalysisSources sources;
    RaceStore store;
    RecordingSink sink;
};

TEST_F(RunnerPass, ComputesACentralRunFromBothReferenceRows)
{
    Sources::variant(files.central(), "05", 1, 0.5);
    Sources::average(files.central(), 1600, "05", 1, 96.0);

    store.fieldSize = 1;
    run(1, 1, {"05", 1, 1600, 95.5f, 34.0f});
    run(1, kMaxRuns, {"05", 1, 1600, 95.5f, 34.0f});  // the last slot is a run too
    pass({1});

    EXPECT_EQ(store.horses[1].runs[1].speedFigure, 80.0f);
    EXPECT_EQ(store.horses[1].runs[kMaxRuns].speedFigure, 80.0f);
    EXPECT_EQ(store.horses[1].runs[1].last3fFigure, 90.75f);
    EXPECT_EQ(store.horses[1].runs[1].trackVariant, 0.5f);
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(RunnerPass, ComputesALocalRunFromTheLocalFile)
{
    files.central();  // present but without rows for the local course
    Sources::average(files.local(), 1500, "大井", 0, 100.0);

    run(1, 1, {"大井", 0, 1500, 101.0f, 0.0f});
    pass({1});

    EXPECT_EQ(store.horses[1].runs[1].speedFigure, 25.2f);
    EXPECT_EQ(store.horses[1].runs[1].last3fFigure, 0.0f);
    EXPECT_EQ(store.horses[1].runs[1].trackVariant, 0.0f);
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(RunnerPass, LeavesRunsWithoutAMeasurableTimeUntouched)
{
    for (int surface : {0, 1, 2}) {
        Sources::variant(files.central(), "05", surface, 0.5);
        Sources::average(files.central(), 1600, "05", surface, 96.0);
    }

    run(1, 1, {"05", 2, 1600, 95.5f, 34.0f});  // obstacle race
    run(1, 2, {"05", 1, 1600, 0.0f, 34.0f});  // no finishing time
    run(1, 3, {"05", 1, 1600, -1.0f, 34.0f});
    // Run 0 is today's race: it has everything but is never analysed.
    run(1, 0, {"05", 1, 1600, 95.5f, 34.0f});
    pass({1});

    for (int r : {0, 1, 2, 3})
        expectNoOutputs(store, 1, r);
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(RunnerPass, MissingReferenceRowsGiveNoFigure)
{
    Sources::variant(files.central(), "05", 1, 0.7);  // no average time for 05 turf
    Sources::average(files.central(), 1600, "06", 1, 96.0);  // average time but no variant

    run(1, 1, {"05", 1, 1600, 95.5f, 34.0f});
    run(1, 2, {"06", 1, 1600, 95.5f, 0.0f});
    run(1, 3, {"00", 1, 1600, 95.5f, 34.0f});  // a course outside the table is central
    pass({1});

    EXPECT_EQ(store.horses[1].runs[1].speedFigure, 0.0f);
    EXPECT_EQ(store.horses[1].runs[1].last3fFigure, 0.0f);
    EXPECT_EQ(store.horses[1].runs[1].trackVariant, 0.7f);
    // No variant row: V = 0; no last three furlongs: no agari.
    EXPECT_EQ(store.horses[1].runs[2].speedFigure, 75.0f);
    EXPECT_EQ(store.horses[1].runs[2].last3fFigure, 0.0f);
    EXPECT_EQ(store.horses[1].runs[2].trackVariant, 0.0f);
    expectNoOutputs(store, 1, 3);
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(RunnerPass, FindsACourseNameWithAnApostrophe)
{
    files.central();
    Sources::variant(files.local(), "O'Hare", 0, 0.5);
    Sources::average(files.local(), 1500, "O'Hare", 0, 100.0);

    run(1, 1, {"O'Hare", 0, 1500, 100.0f, 0.0f});
    pass({1});

    EXPECT_EQ(store.horses[1].runs[1].speedFigure, static_cast<float>(0.5 * 10.0 + 50.0 - 14.8));
    EXPECT_EQ(store.horses[1].runs[1].trackVariant, 0.5f);
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(RunnerPass, ARunWithoutDistanceIsReportedOnceAndTheLaterRunsAreComputed)
{
    Sources::variant(files.central(), "05", 1, 0.5);
    Sources::average(files.central(), 1600, "05", 1, 96.0);
    Sources::average(files.central(), 0, "05", 1, 96.0);  // even a row for distance 0

    store.fieldSize = 2;
    run(1, 1, {"05", 1, 1600, 95.5f, 34.0f});
    run(1, 2, {"05", 1, 0, 95.5f, 34.0f});
    run(1, 3, {"05", 1, 1600, 95.5f, 34.0f});
    run(2, 1, {"05", 1, 1600, 95.5f, 34.0f});
    pass({1, 2});

    EXPECT_EQ(sink.messages(), QStringList {kPassError});
    EXPECT_EQ(store.horses[1].runs[1].speedFigure, 80.0f);
    expectNoOutputs(store, 1, 2);
    EXPECT_EQ(store.horses[1].runs[3].speedFigure, 80.0f);
    EXPECT_EQ(store.horses[1].runs[3].last3fFigure, 90.75f);
    EXPECT_EQ(store.horses[2].runs[1].speedFigure, 80.0f);
}

TEST_F(RunnerPass, LocalRunsWithoutTheLocalFileGetNoFigureAndNoMessage)
{
    Sources::average(files.central(), 1600, "05", 1, 96.0);

    run(1, 1, {"大井", 0, 1500, 101.0f, 38.0f});
    run(1, 2, {"05", 1, 1600, 95.5f, 0.0f});
    pass({1});

    ASSERT_EQ(sources.local, nullptr);
    expectNoOutputs(store, 1, 1);
    EXPECT_EQ(store.horses[1].runs[2].speedFigure, 75.0f);
    EXPECT_TRUE(sink.messages().isEmpty());
}

TEST_F(RunnerPass, ACentralRunWithoutTheTrackFileEndsThePassOfEveryRunner)
{
    Sources::average(files.local(), 1500, "大井", 0, 100.0);

    store.fieldSize = 2;
    run(1, 1, {"大井", 0, 1500, 101.0f, 0.0f});
    run(1, 2, {"05", 1, 1600, 95.5f, 0.0f});
    run(1, 3, {"大井", 0, 1500, 101.0f, 0.0f});
    run(2, 1, {"05", 1, 1600, 95.5f, 0.0f});
    pass({1, 2});

    ASSERT_EQ(sources.central, nullptr);
    EXPECT_EQ(store.horses[1].runs[1].speedFigure, 25.2f);
    expectNoOutputs(store, 1, 2);
    expectNoOutputs(store, 1, 3);  // the pass ended at run 2
    EXPECT_EQ(sink.messages(), (QStringList {kPassError, kPassError}));
}

TEST_F(RunnerPass, AFailingLookupEndsThePassAndKeepsEarlierFigures)
{
    Sources::average(files.central(), 1600, "05", 1, 96.0);
    files.local().exec("DROP TABLE T_avetime");
    Sources::variant(files.local(), "大井", 0, 0.5);

    run(1, 1, {"05", 1, 1600, 95.5f, 0.0f});
    run(1, 2, {"大井", 0, 1500, 101.0f, 0.0f});
    run(1, 3, {"05", 1, 1600, 95.5f, 0.0f});
    pass({1});

    EXPECT_EQ(store.horses[1].runs[1].speedFigure, 75.0f);
    // The variant was found before the average-time lookup failed.
    EXPECT_EQ(store.horses[1].runs[2].trackVariant, 0.5f);
    EXPECT_EQ(store.horses[1].runs[2].speedFigure, 0.0f);
    expectNoOutputs(store, 1, 3);
    EXPECT_EQ(sink.messages(), QStringList {kPassError});
}

TEST_F(RunnerPass, AFigureThatIsNotFiniteIsAnArithmeticFault)
{
    Sources::average(files.central(), 1600, "05", 1, 96.0);

    run(1, 1, {"05", 1, 1600, 95.5f, 0.0f});
    run(1, 2, {"05", 1, 1600, std::numeric_limits<float>::infinity(), 0.0f});
    run(1, 3, {"05", 1, 1600, 95.5f, 0.0f});
    // A figure beyond the single-precision range overflows as well.
    run(2, 1, {"05", 1, 1600, 95.5f, 0.0f});
    store.horses[2].runs[1].time = 3.0e38f;
    pass({1, 2});

    EXPECT_EQ(store.horses[1].runs[1].speedFigure, 75.0f);
    EXPECT_EQ(store.horses[1].runs[2].speedFigure, 0.0f);
    EXPECT_EQ(store.horses[1].runs[3].speedFigure, 0.0f);
    EXPECT_EQ(store.horses[2].runs[1].speedFigure, 0.0f);
    EXPECT_EQ(sink.messages(), (QStringList {kPassError, kPassError}));
}

}  // namespace
