#pragma once
// The race store: the whole in-memory state of one loaded race.
//
// NOTES ON THE DESIGN
// - The store holds records: the race's facts, its runners (Runner) and each
//   runner's runs (Run). Every array has fixed bounds and is allocated once with
//   the store; nothing grows.
// - Runner slots 0..18: slot n holds horse number n, slots 1..fieldSize are used, slot 0
//   is never filled with runner data.
// - Run slots 0..50: run 0 is today's entry from the card, runs 1..50 are past runs,
//   newest first. A run is present when its date is greater than 0.
// - Dates are day counts since 1899-12-30 in doubles (0 = no date); times and figures
//   are floats; counts and codes are 32-bit integers. A figure of 0 means "no figure".
// - Members have English names, with the domain's Japanese term beside them; the
//   local-racing database's column names (R_date, U_cyaku, ...) appear only where
//   they are a contract with the outside: the merge's query, the JSON dump's keys.
// - The store is passed by reference to whatever reads or writes it; it is not a
//   global. Only cancelFlag may be touched from another thread (the stop button).

#include <QString>
#include <QStringList>

#include <array>
#include <atomic>
#include <cstdint>

namespace marunoki {

constexpr int kMaxRunners = 18;  // runners on one card
constexpr int kRunnerSlots = kMaxRunners + 1;
constexpr int kMaxRuns = 50;  // past runs per runner
constexpr int kRunSlots = kMaxRuns + 1;  // run 0 is today's entry
constexpr int kCornerSlots = 5;  // corner 0 unused, corners 1..4
constexpr int kCourseCount = 10;
// Past runs are taken from the days strictly between this many days before the
// race and the race day, by the readers and the local-racing merge alike; the
// graph spans the same window.
constexpr double kHistoryDays = 420;

// Whether the past runs include the runner's local-racing runs: the same race
// ranks its runners differently with and without them.
enum class LocalRuns {
    NotMerged,  // no load yet, or a site whose loads never merge them (Site 2)
    Merged,  // NAR_data.mdb was read for every runner whose page was read
    NoDatabase,  // Site 1 without NAR_data.mdb in the application folder
    Unreadable,  // NAR_data.mdb is there but could not be opened
};

template <typename T>
using RunnerTable = std::array<T, kRunnerSlots>;

// The horse numbers 1..count, for a range-for over the runners of a card.
class RunnerRange {
public:
    class Iterator {
    public:
        explicit Iterator(qint32 n)
            : n_(n)
        { }
        qint32 operator*() const { return n_; }
        Iterator &operator++()
        {
            ++n_;
            return *this;
        }
        bool operator==(const Iterator &other) const = default;

    private:
        qint32 n_;
    };

    explicit RunnerRange(qint32 count)
        : end_(count + 1)
    { }
    Iterator begin() const { return Iterator(1); }
    Iterator end() const { return Iterator(end_); }

private:
    qint32 end_;
};

// The local-racing database (NAR_data.mdb) in a load: not there (its runs
// then have no figures, as always), read, or there but unreadable.
enum class LocalDatabaseState { Absent, Read, Unreadable };

// What a load could not read although it went through to the analysis: the
// race is shown and written, but its figures are not the whole story.
struct LoadGaps {
    // Per runner: why its past runs or figures are incomplete (empty: whole).
    RunnerTable<QString> missing;
    // The card's rows after a break in its horse numbers, which the count left
    // out ("6番 サンプルホース06").
    QStringList leftOut;
    LocalDatabaseState local = LocalDatabaseState::Absent;
    QString localCause;  // Unreadable: why

    // Nothing above is missing.
    bool complete() const;
    // What is missing, in one line for a message or a list (empty when complete).
    QString summary() const;
};

// One run of a runner: a past run, or today's entry (run 0) from the card.
// A run is present when its date is greater than 0. Numbers left 0 are not
// known. The Japanese term is the one the pages and the database use.
struct Run {
    double date = 0;  // the race's date (day count); 0 = no run in this slot
    QString course;  // 場: central code "01".."10" or a local course name
    QString raceName;  // レース名
    QString raceClass;  // クラス (local-racing merge only)
    QString secondCourse;  // second course text (local-racing merge only)
    QString jockey;  // 騎手, spaces removed
    QString trainer;  // 調教師, spaces removed
    qint32 raceNumber = 0;  // race number of the day
    qint32 distance = 0;  // 距離 in metres
    qint32 going = 0;  // 馬場状態: 1 良, 2 稍, 3 重, 4 不, 0 unknown
    qint32 surface = 0;  // 0 ダート, 1 芝, 2 other (障害)
    qint32 fieldSize = 0;  // 頭数: runners in that race
    qint32 bracket = 0;  // 枠番 1..8
    qint32 horseNumber = 0;  // 馬番 in that race
    qint32 popularity = 0;  // 人気 order, 1 = favourite
    qint32 finish = 0;  // 着順
    QString finishText;  // the 着順 cell as the page shows it ("1", "中", "3(降)")
    float winOdds = 0;  // 単勝 odds of the run, 0 = not shown
    qint32 rowFailed = 0;  // 1: the reader gave up at this row, its later cells are missing
    qint32 bodyWeight = 0;  // 馬体重 in kg
    float time = 0;  // 走破タイム in seconds (1:34.5 is 94.5)
    float margin = 0;  // 着差 behind the winner (local-racing merge only)
    float last3f = 0;  // 上がり3F time in seconds
    float weightCarried = 0;  // 斤量 in kg
    // 通過順: position at corners 1..4; corner 0 is unused, 0 = none.
    std::array<qint32, kCornerSlots> cornerPositions {};

    // Derived by the analysis; 0 = no figure.
    float speedFigure = 0;  // SP指数
    float last3fFigure = 0;  // 上がり指数
    float trackVariant = 0;  // 馬場指数 applied to the run
};

// A statistic over a runner's runs and how many runs went into it.
struct Statistic {
    float value = 0;
    float runs = 0;
};

// Head to head against one opponent: past races both ran.
struct HeadToHead {
    float ahead = 0;  // races the runner finished ahead
    float behind = 0;  // races the opponent finished ahead
};

// One runner of the card: its card facts, its runs and what the analysis
// derived from them.
struct Runner {
    QString name;  // 馬名, spaces removed
    QString sexAge;  // 性齢, e.g. "牡3"
    QString coatColour;  // 毛色 with its final "毛" (Site 1 cards only)
    QString sire;  // 父
    QString dam;  // 母
    QString damSire;  // 母父
    QString pageAddress;  // full address of the runner's past-performance page

    // Runs 0..50: run 0 is today's entry, runs 1..50 are past runs, newest first.
    std::array<Run, kRunSlots> runs;

    // Derived by the analysis.
    Statistic meanFigure;  // mean figure over runs 1..50
    Statistic bestFigure;  // best figure over runs 1..50 (never below 0)
    Statistic recentMeanFigure;  // mean figure of the runs of the last 90 days
    Statistic recentBestFigure;  // best figure of the runs of the last 90 days
    Statistic runningStyle;  // 脚質 index from the first-corner positions
    // Against each opponent 1..18 of today's card; entry 0 holds the totals.
    std::array<HeadToHead, kRunnerSlots> headToHead {};
};

class RaceStore {
public:
    RaceStore();
    RaceStore(const RaceStore &) = delete;
    RaceStore &operator=(const RaceStore &) = delete;

    // Empties the store for a new load: every run and runner field, the derived
    // figures and statistics, the race fields, the gaps, fieldSize and cancelFlag.
    // Leaves referenceFigure and graphBase as they are (they describe the last
    // analysis).
    void clearForLoad();

    // The runners of the card: fieldSize held to the store's slots, 0..18. fieldSize
    // comes from a page; nothing indexes a table with it unchecked.
    qint32 runnerCount() const
    {
        return fieldSize < 0 ? 0 : fieldSize > kMaxRunners ? kMaxRunners : fieldSize;
    }
    // The horse numbers of the card in order, 1..runnerCount().
    RunnerRange runners() const { return RunnerRange(runnerCount()); }
    // Whether n is the horse number of a runner of the card (1..runnerCount()).
    bool isRunner(qint32 n) const { return n >= 1 && n <= runnerCount(); }

    // --- race level ---
    double raceDate = 0;  // the race's date (day count; 0 = none)
    QString raceTitle;  // the race name as the card heads it
    QString raceConditions;  // the race's conditions line (distance, class, weights)
    qint32 fieldSize = 0;  // runners on the loaded card, 0..18 (read from the page: use runners())
    QString raceCourse;  // the course chosen for the load, "東京" (empty = not known)
    qint32 raceNumber = 0;  // the race number chosen for the load (0 = not known)
    LocalRuns localRuns = LocalRuns::NotMerged;

    // The runners by horse number: slot n holds horse number n, slots
    // 1..fieldSize are used, slot 0 is never filled.
    std::array<Runner, kRunnerSlots> horses;
    std::array<float, 4> topMeans {};  // the three best means, highest first, in 1..3
    float referenceFigure = 0;  // figure at which the graph's reference line is drawn
    qint32 graphBase = 0;  // lower end of the graph's figure scale: 0, 30 or -30

    // What the load could not read (see LoadGaps); written by the load driver
    // and the card readers.
    LoadGaps gaps;

    // --- control ---
    // -1 when the user asked to stop the running load, else 0. Written by the stop
    // button from the user-interface thread while a load runs on another thread.
    std::atomic<qint16> cancelFlag {0};
};

// Whether n indexes a runner slot of the tables (0..18); the views check the
// runner they are asked to show before they index with it.
inline bool isRunnerSlot(qint32 n)
{
    return n >= 0 && n < kRunnerSlots;
}

// Whether n is a slot that can hold a runner (1..18): the slots the readers and
// the analysis fill for the runner n they are given, whatever the card's count.
inline bool isHorseNumber(qint32 n)
{
    return n >= 1 && n <= kMaxRunners;
}

// The ten central racecourses in course-code order; the 1-based position written
// with two digits is the course code ("05" is 東京).
const std::array<QString, kCourseCount + 1> &courseNames();

}  // namespace marunoki
