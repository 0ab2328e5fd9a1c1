#pragma once
// The report's own forms of the window's grids, for a reader of a page or a
// printout: the window's grids stay as they are, the report's copies differ
// only where a page reads better.
//
// - Times read as minutes and seconds ("1:35.7"), in the per-run table and in
//   the 馬柱's run texts.
// - The per-run table ends at its last row with text (the window's grid keeps
//   its 35 rows), and its two columns headed "上がり" are told apart as
//   "上がり指数" and "上がり3F".
// - The 馬柱 ends with the last runner's block, and names central courses as
//   it names the local ones ("東京 0518 良 芝1600").
// - Names link to their runner's section: the CellLinks give each linked cell.

#include "app/race_store.h"
#include "view/cell_grid.h"

#include <QString>

#include <functional>

namespace marunoki {

// The link of a cell, empty for none.
using CellLinks = std::function<QString(int row, int col)>;

// A finishing time in seconds as the report writes it: "1:35.7", "58.9" below
// a minute, empty for 0 (no time).
QString raceTimeText(float seconds);

// The per-run grid of `runner` as the report shows it.
CellGrid reportRunGrid(const CellGrid &runGrid, const RaceStore &store, qint32 runner);

// The 馬柱 as the report shows it.
CellGrid reportBacyuGrid(const CellGrid &bacyuGrid, const RaceStore &store);

// The 馬柱's name cells, linked through `href` (horse number to address).
CellLinks bacyuNameLinks(const RaceStore &store, const std::function<QString(qint32)> &href);
// The head-to-head grid's name cells (one row per horse number), the same way.
CellLinks taisenNameLinks(const RaceStore &store, const std::function<QString(qint32)> &href);

}  // namespace marunoki
