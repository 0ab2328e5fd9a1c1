#pragma once
// The race store: the whole in-memory state of one loaded race.
//
// NOTES ON THE DESIGN
// - Every table has fixed bounds and is allocated once with the store; nothing grows.
// - Runner slots 0..18: slot n holds horse number n, slots 1..tousuu are used, slot 0
//   is never filled with runner data.
// - Run slots 0..50: run 0 is today's entry from the card, runs 1..50 are past runs,
//   newest first. A run is present when its R_date is greater than 0.
// - Dates are day counts since 1899-12-30 in doubles (0 = no date); times and figures
//   are floats; counts and codes are 32-bit integers. A figure of 0 means "no figure".
// - Field names are the local-racing database's column names, so the readers, the
//   merge and the JSON export all speak of the same thing.
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
template <typename T>
using RunTable = std::array<std::array<T, kRunSlots>, kRunnerSlots>;
// [runner][0] holds the statistic, [runner][1] how many runs went into it.
using StatTable = std::array<std::array<float, 2>, kRunnerSlots>;

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

class RaceStore {
public:
    RaceStore();
    RaceStore(const RaceStore &) = delete;
    RaceStore &operator=(const RaceStore &) = delete;

    // Empties the store for a new load: every run and runner field, the derived
    // figures and statistics, the race fields, the gaps, tousuu, curUma and
    // cancelFlag.
    // Leaves rentaiKizyun and graphBase as they are (they describe the last
    // analysis), and refills the course table.
    void resetPublic();

    // The runners of the card: tousuu held to the store's slots, 0..18. tousuu
    // comes from a page; nothing indexes a table with it unchecked.
    qint32 runnerCount() const { return tousuu < 0 ? 0 : tousuu > kMaxRunners ? kMaxRunners : tousuu; }
    // The horse numbers of the card in order, 1..runnerCount().
    RunnerRange runners() const { return RunnerRange(runnerCount()); }
    // Whether n is the horse number of a runner of the card (1..runnerCount()).
    bool isRunner(qint32 n) const { return n >= 1 && n <= runnerCount(); }

    // --- race level ---
    double raceDate = 0;  // the race's date (day count; 0 = none)
    QString raceTitle;  // the race name as the card heads it
    QString raceJouken;  // the race's conditions line (distance, class, weights)
    qint32 tousuu = 0;  // runners on the loaded card, 0..18 (read from the page: use runners())
    qint32 curUma = 0;  // the runner being loaded, 1..tousuu (0 = none)
    QString raceCourse;  // the course chosen for the load, "東京" (empty = not known)
    qint32 raceNumber = 0;  // the race number chosen for the load (0 = not known)
    LocalRuns localRuns = LocalRuns::NotMerged;

    // --- per runner [0..18], slots 1..tousuu used ---
    RunnerTable<QString> U_name;  // horse name, spaces removed
    RunnerTable<QString> U_seirei;  // sex and age (性齢), e.g. "牡3"
    RunnerTable<QString> U_keiro;  // coat colour with its final "毛" (Site 1 cards only)
    RunnerTable<QString> U_titi;  // sire (父)
    RunnerTable<QString> U_haha;  // dam (母)
    RunnerTable<QString> U_hahatiti;  // dam's sire (母父)
    RunnerTable<QString> U_Url;  // full address of the runner's past-performance page

    // --- per run [runner 0..18][run 0..50]; run 0 is today's entry ---
    RunTable<double> R_date {};  // the race's date (day count); 0 = no run in this slot
    RunTable<QString> R_zyo;  // course: central code "01".."10" or a local course name
    RunTable<QString> R_name;  // race name
    RunTable<QString> R_class;  // class text (local-racing merge only)
    RunTable<QString> R_zyo02;  // second course text (local-racing merge only)
    RunTable<QString> U_kisyu;  // jockey, spaces removed
    RunTable<QString> U_cyoukyou;  // trainer, spaces removed
    RunTable<qint32> R_no {};  // race number of the day
    RunTable<qint32> R_kyori {};  // distance in metres
    RunTable<qint32> R_baba {};  // going: 1 良, 2 稍, 3 重, 4 不, 0 unknown
    RunTable<qint32> R_siba {};  // surface: 0 dirt, 1 turf, 2 other (obstacle)
    RunTable<qint32> R_tousuu {};  // runners in that race
    RunTable<qint32> U_waku {};  // bracket number 1..8
    RunTable<qint32> U_no {};  // horse number in that race
    RunTable<qint32> U_ninki {};  // popularity order, 1 = favourite
    RunTable<qint32> U_cyaku {};  // finishing position
    RunTable<QString> U_cyakuText;  // the finishing-position cell as the page shows it ("1", "中", "3(降)")
    RunTable<float> U_odds {};  // win odds of the run (単勝), 0 = not shown
    RunTable<qint32> U_rowFailed {};  // 1: the reader gave up at this row, its later cells are missing
    RunTable<qint32> U_taizyu {};  // body weight in kg
    RunTable<float> U_time {};  // finishing time in seconds (1:34.5 is 94.5)
    RunTable<float> U_cyakusa {};  // margin behind the winner (local-racing merge only)
    RunTable<float> U_3f {};  // last-three-furlong time in seconds
    RunTable<float> U_hutan {};  // weight carried in kg
    // Position at corners 1..4 [runner][run][corner 0..4]; corner 0 is unused, 0 = none.
    std::array<std::array<std::array<qint32, kCornerSlots>, kRunSlots>, kRunnerSlots> U_tuka {};

    // --- derived per run [runner][run], written by the analysis; 0 = no figure ---
    RunTable<float> U_sisuu {};  // speed figure (SP指数)
    RunTable<float> U_agari {};  // last-three-furlong figure (上がり指数)
    RunTable<float> U_babasisuu {};  // track variant applied to the run

    // --- derived per runner [0..18][0 = value, 1 = runs counted] ---
    StatTable U_heikin {};  // mean figure over runs 1..50
    StatTable U_saikou {};  // best figure over runs 1..50 (never below 0)
    StatTable U_heikin3m {};  // mean figure of the runs of the last 90 days
    StatTable U_saikou3m {};  // best figure of the runs of the last 90 days
    StatTable U_kyakusitu {};  // running-style index from the first-corner positions
    // Head to head [runner][opponent 0..18][0 = runner ahead, 1 = opponent ahead];
    // opponent 0 holds the runner's totals.
    std::array<std::array<std::array<float, 2>, kRunnerSlots>, kRunnerSlots> U_taisen {};
    std::array<float, 4> zyouiHeikin {};  // the three best means, highest first, in 1..3
    float rentaiKizyun = 0;  // figure at which the graph's reference line is drawn
    qint32 graphBase = 0;  // lower end of the graph's figure scale: 0, 30 or -30

    // What the load could not read (see LoadGaps); written by the load driver
    // and the card readers.
    LoadGaps gaps;

    // --- control ---
    std::array<QString, kCourseCount + 1> zyoName;  // course names 1..10, entry 0 unused
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
// the analysis fill for runner n = curUma, whatever the card's count.
inline bool isHorseNumber(qint32 n)
{
    return n >= 1 && n <= kMaxRunners;
}

// The ten central racecourses in course-code order; the 1-based position written
// with two digits is the course code ("05" is 東京).
const std::array<QString, kCourseCount + 1> &courseNames();

}  // namespace marunoki
