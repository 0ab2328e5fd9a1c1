#pragma once
// A plain table of one runner's runs and a text summary of its statistics, as
// the desktop window lists them: every value formatted here, so the widget only
// copies texts into cells.

#include <QString>
#include <QStringList>

#include <vector>

namespace marunoki {

class RaceStore;

// Column captions of the run table.
QStringList runTableHeaders();

// One row per present run of the runner, run 0 (today) first, then runs 1..50
// in store order. Missing values are empty cells; figures with one decimal.
std::vector<QStringList> runTableRows(const RaceStore &store, qint32 runner);

// "01 馬名 牡3 父:… 母:… 母父:…" and the runner's means and bests in one line each.
QString runnerSummary(const RaceStore &store, qint32 runner);

// Race title, conditions and date on one line each.
QString raceSummary(const RaceStore &store);

}  // namespace marunoki
