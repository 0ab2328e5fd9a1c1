#pragma once
// Putting the loaded race on paper: every runner's speed-figure graph, sixteen
// small graphs to an A4 landscape page, and the past-performance table on one
// A4 portrait page. Both redraw through the views and copy their pictures to the
// printer; nothing is reloaded or recomputed.
//
// Graph page: cell of column j (0..3) and row i (0..3) at (j × 3800, i × 2700 +
// 200), 3800 × 2700 twips; runner n takes cell n − 1 counted row by row, and on
// the second page runner 17 starts again in the top-left cell. The legend stands
// at (15200, 200) shrunk by the same factors as the graphs; the race panel's
// caption is the title at the top-left corner in 5 pt.
//
// Table page: the whole table at (0, 500), 0.75 of its width and 0.7 of its
// height, drawn as text and lines, the title at (0, 250) in 5 pt.
//
// The title is the race panel's caption on one line (its lines joined by a
// full-width space): two lines of 5 pt would reach into the first row of graphs.
//
// Any failure of the printer ends that document with "印刷できません"; the
// second graph page is still printed after a failure of the first.

#include "output/print_device.h"
#include "window/window_views.h"

#include <functional>

namespace marunoki {

// Called with true when a document starts and false when it is done, so the
// caller can show the wait cursor; may be empty.
using BusyIndicator = std::function<void(bool busy)>;

// The race panel's caption as the printed title: its lines joined by a
// full-width space, empty lines left out, the race's title named by its date,
// course and race number as the report names it, so that every printed page
// says which race it is.
QString printedTitle(const RaceStore &store, const QString &raceInfo);

// Runners per printed page of graphs.
constexpr int kGraphsPerPage = 16;

// All runners' graphs: runners 1..16, then, with 17 or more runners, the message
// "2ページ目を印刷します" and runners 17..fieldSize on a second page. Afterwards the
// runner shown before printing is shown again (graph, or comparison graph when
// that was the view).
void printGraph(ViewContext &context, PrintDevice &printer, const BusyIndicator &busy = {});

// Runners first..last (limited to the race's runners) on one page with the
// legend and the title; views.shownRunner is left at the last runner drawn. False when the
// page did not print (the message has been shown).
bool printGraphPage(
    ViewContext &context, PrintDevice &printer, qint32 first, qint32 last, const BusyIndicator &busy = {});

// The past-performance table, drawn first when it is not on screen; it stays
// shown afterwards. False when the page did not print (the message has been shown).
bool printBacyu(ViewContext &context, PrintDevice &printer, const BusyIndicator &busy = {});

}  // namespace marunoki
