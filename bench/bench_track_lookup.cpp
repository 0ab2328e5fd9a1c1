// Track-database lookups of one race: 18 runners x 50 past runs, each run one
// track variant and one average time (1,800 lookups), on a generated track
// database of 100,000 T_sisuu rows. Reported per race (one iteration).
//
//   BM_RaceLookups_indexed          a fresh TrackDatabase per race on a file with
//                                   the lookup indexes, as the import and the
//                                   sample generator write it
//   BM_RaceLookupsPreparedEach_...  the straightforward way: every lookup
//                                   prepares its query anew and runs it
//   BM_RaceLookups_plain            TrackDatabase on the same rows without
//                                   indexes (a file written by an outside tool)
// Goal: under 5 ms per race for the indexed file.

#include "analysis/track_db.h"

#include "db/database.h"
#include "db/stored_date.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QVariant>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

using namespace marunoki;

namespace {

constexpr int kRunners = 18;
constexpr int kRuns = 50;
constexpr double kFirstDay = 40179;  // 2010-01-01
constexpr int kDays = 5000;  // x 10 courses x 2 surfaces = 100,000 rows
const int kDistances[] = {1000, 1200, 1400, 1600, 1800, 2000, 2200, 2400, 2500, 3000, 3200, 3600};

struct Run {
    double date;
    QString course;
    qint32 surface;
    qint32 distance;
};

QString courseCode(int i)
{
    return QStringLiteral("%1").arg(i, 2, 10, QChar(u'0'));
}

void writeTrackFile(const QString &path, bool indexed)
{
    const QString name = QStringLiteral("bench-writer");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        q.exec("CREATE TABLE version(date TEXT)");
        q.exec("INSERT INTO version VALUES ('2026-11-30')");
        q.exec("CREATE TABLE T_sisuu(S_date TEXT, S_zyo TEXT, S_siba INTEGER, S_sisuu REAL)");
        q.exec(
            "CREATE TABLE T_avetime(A_class TEXT, A_kyori INTEGER, A_zyo TEXT, A_siba INTEGER, A_time REAL, "
            "A_sin_kyu INTEGER)");
        std::mt19937 rnd(7);
        std::uniform_real_distribution<double> variant(-1.2, 1.5);
        db.transaction();
        q.prepare("INSERT INTO T_sisuu VALUES (?, ?, ?, ?)");
        for (int day = 0; day < kDays; ++day) {
            const QString date = QString::fromStdString(storedDay(kFirstDay + day));
            for (int course = 1; course <= 10; ++course)
                for (int surface : {1, 0}) {
                    q.bindValue(0, date);
                    q.bindValue(1, courseCode(course));
                    q.bindValue(2, surface);
                    q.bindValue(3, variant(rnd));
                    q.exec();
                }
        }
        q.prepare("INSERT INTO T_avetime VALUES (?, ?, ?, ?, ?, 0)");
        for (const char *cls : {"未勝利", "1勝", "ave", "OP"})
            for (int course = 1; course <= 10; ++course)
                for (int surface : {1, 0})
                    for (int distance : kDistances) {
                        q.bindValue(0, QString::fromUtf8(cls));
                        q.bindValue(1, distance);
                        q.bindValue(2, courseCode(course));
                        q.bindValue(3, surface);
                        q.bindValue(4, distance / 16.5);
                        q.exec();
                    }
        db.commit();
        if (indexed) {
            // The indexes the import and the sample generator write.
            q.exec("CREATE INDEX mk_T_sisuu_day ON T_sisuu(S_date, S_zyo, S_siba, S_sisuu)");
            q.exec("CREATE INDEX mk_T_avetime_course ON T_avetime(A_kyori, A_zyo, A_siba, A_class, "
                   "A_sin_kyu, A_time)");
            q.exec("ANALYZE");
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// The past runs of one race, as a race's runners have them: each run on a
// Saturday or Sunday of the 420 days before the race (the table's last weeks),
// at one of the two or three courses racing that weekend, on turf or dirt at one
// of the usual distances; a few runs at a course outside the table ("00").
const std::vector<Run> &raceRuns()
{
    static const std::vector<Run> runs = [] {
        std::vector<Run> out;
        std::mt19937 rnd(11);
        const double raceDay = kFirstDay + kDays - 30;
        for (int i = 0; i < kRunners * kRuns; ++i) {
            const int weeksBack = 1 + static_cast<int>(rnd() % 59);
            // 2010-01-01 was a Friday: serial days with (day - kFirstDay) % 7 in {1, 2} are weekends.
            const double saturday = raceDay - std::fmod(raceDay - kFirstDay - 1, 7.0) - 7.0 * weeksBack;
            const double date = saturday + static_cast<double>(rnd() % 2);
            const int week = static_cast<int>(saturday) / 7;
            const int course = rnd() % 25 == 0 ? 0 : 1 + (week + static_cast<int>(rnd() % 3) * 3) % 10;
            out.push_back({date, courseCode(course), static_cast<qint32>(rnd() % 2),
                kDistances[rnd() % std::size(kDistances)]});
        }
        return out;
    }();
    return runs;
}

// One track file per kind, made once for the whole run.
struct Files {
    QTemporaryDir dir;
    QString indexed = dir.filePath("indexed.dat");
    QString plain = dir.filePath("plain.dat");
    Files()
    {
        writeTrackFile(indexed, true);
        writeTrackFile(plain, false);
    }
};

const Files &files()
{
    static const Files made;
    return made;
}

void raceLookups(benchmark::State &state, const QString &path)
{
    auto db = Database::openQuietly(path);
    if (!db) {
        state.SkipWithError("cannot open the track file");
        return;
    }
    int found = 0;
    for (auto _ : state) {
        // One analysis, one TrackDatabase: nothing is remembered from the last race.
        TrackDatabase track(*db, TrackDatabase::Kind::Central);
        for (const Run &run : raceRuns()) {
            found += track.trackVariant(run.date, run.course, run.surface).value.has_value();
            found += track.averageTime(run.distance, run.course, run.surface).value.has_value();
        }
    }
    benchmark::DoNotOptimize(found);
    state.counters["lookups_per_race"] = kRunners * kRuns * 2;
}

void BM_RaceLookups_indexed(benchmark::State &state)
{
    raceLookups(state, files().indexed);
}

void BM_RaceLookups_plain(benchmark::State &state)
{
    raceLookups(state, files().plain);
}

// The straightforward way: every lookup prepares its query again.
void BM_RaceLookupsPreparedEach_indexed(benchmark::State &state)
{
    auto db = Database::openQuietly(files().indexed);
    if (!db) {
        state.SkipWithError("cannot open the track file");
        return;
    }
    const QSqlDatabase connection = db->connection();
    int found = 0;
    for (auto _ : state) {
        for (const Run &run : raceRuns()) {
            {
                QSqlQuery q(connection);
                q.prepare(
                    "SELECT * FROM T_sisuu WHERE S_date >= ? AND S_date < ? AND S_zyo = ? AND S_siba = ?");
                q.bindValue(0, QString::fromStdString(storedDay(run.date)));
                q.bindValue(1, QString::fromStdString(storedNextDay(run.date)));
                q.bindValue(2, run.course);
                q.bindValue(3, run.surface);
                if (q.exec() && q.next())
                    found += !q.value("S_sisuu").isNull();
            }
            {
                QSqlQuery q(connection);
                q.prepare("SELECT * FROM T_avetime WHERE A_class = 'ave' AND A_kyori = ? AND A_zyo = ? AND "
                          "A_siba = ?");
                q.bindValue(0, run.distance);
                q.bindValue(1, run.course);
                q.bindValue(2, run.surface);
                if (q.exec() && q.next())
                    found += !q.value("A_time").isNull();
            }
        }
    }
    benchmark::DoNotOptimize(found);
}

}  // namespace

BENCHMARK(BM_RaceLookups_indexed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RaceLookupsPreparedEach_indexed)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RaceLookups_plain)->Unit(benchmark::kMillisecond)->Iterations(3);

BENCHMARK_MAIN();
