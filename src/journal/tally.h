#pragma once
// The tally of the journal: how the runners ranked 1 to 5 by each figure (and
// by popularity, the market's own ranking, as the baseline to beat) finished,
// and how the user's marks did.
//
// A race counts when every runner with a page address has its result and at
// least two runners are ranked by the mean figure; the others are counted
// apart (pending, unranked) and named in the footer. Every table of one tally
// counts the same races. Runners that did not run are left out of the rows.
// With ties a rank's row counts every runner of that rank.

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

struct TallyRow {
    QString label;  // "1位" ... or a mark
    int runners = 0, first = 0, second = 0, third = 0, out = 0;
    double winRate() const { return runners ? double(first) / runners : 0; }
    double placeRate() const { return runners ? double(first + second) / runners : 0; }
    double showRate() const { return runners ? double(first + second + third) / runners : 0; }
};

struct TallyTable {
    TallyKey key = TallyKey::Mean;
    QString caption;  // "平均指数 順位別成績" ...
    std::vector<TallyRow> rows;
    // Figures only: races where the top-ranked runner and the favourite both
    // finished and are different horses, and of those where the top figure
    // finished ahead; races where they were the same horse.
    bool comparesFavourite = false;
    int compared = 0, ahead = 0, sameHorse = 0;
};

struct Tally {
    std::vector<TallyTable> tables;
    int counted = 0;  // races in the tables
    int pending = 0;  // races still without their result
    int unranked = 0;  // races with a result but fewer than two ranked runners
};

// The tally of the runners (grouped by race, as Journal::tallyRunners gives them).
Tally computeTally(const std::vector<TallyRunner> &runners, const std::vector<TallyKey> &keys);

// The column heads of a table of key, first the row label's: 順位 for a
// ranking, 印 for the marks.
std::vector<QString> tallyColumns(TallyKey key);
// A row's cells as printed (counts and rates "12.5%").
std::vector<QString> tallyCells(const TallyRow &row);
// "指数1位が1番人気に先着: 12 / 30 レース (40.0%)、同じ馬 8 レース"; empty for tables without it.
QString favouriteLine(const TallyTable &table);
// "集計 40 レース　結果待ち 12 レース　指数のある馬が2頭未満 1 レース"
QString tallyFooter(const Tally &tally);

// The tally as aligned text tables (wide characters count two columns).
QString tallyText(const Tally &tally);

}  // namespace marunoki
