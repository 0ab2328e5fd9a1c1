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

template <typename T>
using RunnerTable = std::array<T, kRunnerSlots>;
template <typename T>
using RunTable = std::array<std::array<T, kRunSlots>, kRunnerSlots>;
// [runner][0] holds the statistic, [runner][1] how many runs went into it.
using StatTable = std::array<std::array<float, 2>, kRunnerSlots>;

class RaceStore {
public:
    RaceStore();
    RaceStore(const RaceStore &) = delete;
    RaceStore &operator=(const RaceStore &) = delete;

    // Empties the store for a new load: every run and runner field, the derived
    // figures and statistics, the race fields, tousuu, curUma and cancelFlag.
    // Leaves viewMode, rentaiKizyun and graphBase as they are (they describe the
    // last drawing and the last analysis), and refills the course table.
    void resetPublic();

    // --- race level ---
    double raceDate = 0;
    QString raceTitle;
    QString raceJouken;
    qint32 tousuu = 0;
    qint32 curUma = 0;

    // --- per runner ---
    RunnerTable<QString> U_name, U_seirei, U_keiro, U_titi, U_haha, U_hahatiti, U_Url;

    // --- per run [runner][run] ---
    RunTable<double> R_date {};
    RunTable<QString> R_zyo, R_name, R_class, R_zyo02, U_kisyu, U_cyoukyou;
    RunTable<qint32> R_no {}, R_kyori {}, R_baba {}, R_siba {}, R_tousuu {};
    RunTable<qint32> U_waku {}, U_no {}, U_ninki {}, U_cyaku {}, U_taizyu {};
    RunTable<float> U_time {}, U_cyakusa {}, U_3f {}, U_hutan {};
    std::array<std::array<std::array<qint32, kCornerSlots>, kRunSlots>, kRunnerSlots> U_tuka {};

    // --- derived per run ---
    RunTable<float> U_sisuu {}, U_agari {}, U_babasisuu {};

    // --- derived per runner and race ---
    StatTable U_heikin {}, U_saikou {}, U_heikin3m {}, U_saikou3m {}, U_kyakusitu {};
    // [runner][opponent 0..18][0 = runner ahead, 1 = opponent ahead]; opponent 0 = totals.
    std::array<std::array<std::array<float, 2>, kRunnerSlots>, kRunnerSlots> U_taisen {};
    std::array<float, 4> zyouiHeikin {};  // elements 1..3 used
    float rentaiKizyun = 0;
    qint32 graphBase = 0;

    // --- control ---
    std::array<QString, kCourseCount + 1> zyoName;  // 1..10, entry 0 unused
    // -1 when the user asked to stop the running load, else 0. Written by the stop
    // button from the user-interface thread while a load runs on another thread.
    std::atomic<qint16> cancelFlag {0};
    QString viewMode;  // "graph", "bacyu" or "hikaku": the view drawn last
};

// Whether n indexes a runner slot of the tables (0..18); the views check the
// runner they are asked to show before they index with it.
inline bool isRunnerSlot(qint32 n)
{
    return n >= 0 && n < kRunnerSlots;
}

// The ten central racecourses in course-code order; the 1-based position written
// with two digits is the course code ("05" is 東京).
const std::array<QString, kCourseCount + 1> &courseNames();

}  // namespace marunoki
