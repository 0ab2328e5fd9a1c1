#pragma once
// The tally of the journal: how the runners ranked 1 to 5 by each figure (and
// by popularity, the market's own ranking, as the baseline to beat) finished,
// what a 100-yen win bet on each returned (単勝回収率), how the top figure did
// by its lead over the second, and how the user's marks did.
//
// A race is counted once: the races of one date, course and race number read
// from both sites are one race, taken from the site asked for, else from the
// site whose record has the results, else from the preferred site. It counts
// when its card was read whole, every runner with a page address has its
// result and at least two runners are ranked by the mean figure; the others
// are counted apart and named in the footer. Every table of one tally counts
// the same races.
//
// Runners: a finisher (demoted ones at the position after the demotion) and
// one that did not finish or was disqualified (着外) are runners and stakes;
// a scratched or excluded horse is neither (its stake is refunded). With ties
// a rank's row counts every runner of that rank. A dead heat for first pays
// each winner its odds divided among the winners (the pages give the odds, not
// the dead-heat dividend). Races without odds (Site 2) count in every column
// but 単勝回収率.

#include "journal/journal.h"

#include <QString>

#include <optional>
#include <vector>

namespace marunoki {

enum class TallyKey { Mean, Best, Mean90, Popularity, Mark };

// The key of a --by value ("mean", "best", "mean90", "popularity", "mark").
std::optional<TallyKey> tallyKeyOf(const QString &name);
// The tables of a tally: the three figures and popularity, or the one asked
// for with popularity beside it.
std::vector<TallyKey> tallyKeysFor(std::optional<TallyKey> by);

// What --group splits the races by.
enum class TallyGroup { None, Course, Surface, Distance, Month, Field };
// The group of a --group value ("course", "surface", "distance", "month", "field").
std::optional<TallyGroup> tallyGroupOf(const QString &name);
// The value's words ("競馬場別" ...); empty for None.
QString tallyGroupCaption(TallyGroup group);

// A row of fewer runners than this is only a hint (参考).
constexpr int kTentativeRunners = 30;

struct TallyRow {
    QString label;  // "1位" ... or a mark, or a lead band
    QString group;  // the group's value in a grouped table ("東京" ...); empty otherwise
    int runners = 0, first = 0, second = 0, third = 0, out = 0;
    int staked = 0;  // runners of races with odds: one 100-yen stake each
    double payout = 0;  // yen the stakes returned
    double winRate() const { return runners ? double(first) / runners : 0; }
    double placeRate() const { return runners ? double(first + second) / runners : 0; }
    double showRate() const { return runners ? double(first + second + third) / runners : 0; }
    // 単勝回収率 as a share (0.8 = 80 %); nothing without a stake.
    std::optional<double> returnRate() const
    {
        return staked ? std::optional<double>(payout / (100.0 * staked)) : std::nullopt;
    }
    bool tentative() const { return runners < kTentativeRunners; }
    // The row's name as shown: the group's value in a grouped table.
    const QString &shownLabel() const { return group.isEmpty() ? label : group; }
};

// The 95 % Wilson interval of successes out of n (both 0 for n = 0).
std::pair<double, double> wilsonInterval(int successes, int n);

enum class TallyTableKind { Ranks, Lead, Group };

struct TallyTable {
    TallyKey key = TallyKey::Mean;
    TallyTableKind kind = TallyTableKind::Ranks;
    QString caption;  // "平均指数 順位別成績" ...
    std::vector<TallyRow> rows;
    // Figures' rank tables only: races where the top-ranked runner and the
    // favourite both ran and are different horses, and of those where the top
    // figure finished ahead; races where they were the same horse.
    bool comparesFavourite = false;
    int compared = 0, ahead = 0, sameHorse = 0;
};

// Lead bands of the top figure over the second: 0–1.9, 2–4.9, 5–9.9, 10 and
// more. The band of a lead (rounded to a tenth, as figures are shown).
constexpr int kLeadBands = 4;
int leadBand(double lead);

struct Tally {
    std::vector<TallyTable> tables;
    int counted = 0;  // races in the tables
    int pending = 0;  // races still without their result
    int unranked = 0;  // races with a result but fewer than two ranked runners
    int incomplete = 0;  // races whose card was not read whole
    int bothSites = 0;  // races read from both sites (counted once)
    int withoutOdds = 0;  // counted races without win odds (no 単勝回収率)
    std::optional<QDate> first, last;  // the first and last race counted
    // What was asked for, for the outputs to name.
    TallyFilter filter;
    TallyGroup group = TallyGroup::None;
    QString conditions;  // the filter in words; empty for every race
};

struct TallyLayout {
    std::vector<TallyKey> keys = tallyKeysFor(std::nullopt);
    TallyGroup group = TallyGroup::None;
    // The site whose record counts when both sites' records have results.
    int preferredSite = 1;
};

// The tally of the races (as Journal::tallyRaces gives them).
Tally computeTally(const std::vector<TallyRace> &races, const TallyLayout &layout);

// The column heads of a table of key, first the row label's: 順位 for a
// ranking, 印 for the marks.
std::vector<QString> tallyColumns(TallyKey key);
// A row's cells as printed (counts, rates "12.5%", 回収率 "84.2%" or "-",
// "参考" when the row has fewer than kTentativeRunners runners).
std::vector<QString> tallyCells(const TallyRow &row);
// "指数1位が1番人気に先着: 12 / 30 レース (40.0%)、同じ馬 8 レース"; empty for tables without it.
QString favouriteLine(const TallyTable &table);
// "単勝回収率 平均指数1位 84.2% ／ 1番人気 78.5%"; empty without both rows.
QString returnLine(const Tally &tally);
// "条件: ..." and "期間: 2026-01-05 〜 2026-05-05".
QString conditionsLine(const Tally &tally);
QString rangeLine(const Tally &tally);
// "集計 40 レース　結果待ち 12 レース ..."
QString tallyFooter(const Tally &tally);
// What the tally does not show and why (複勝回収率), said once.
QString tallyNote();

// The tally as aligned text tables (wide characters count two columns).
QString tallyText(const Tally &tally);

}  // namespace marunoki
