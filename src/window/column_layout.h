#pragma once
// How the main window's left column shares its height between the graph pane
// (the graph, its legend, and the past-performance table over them) and the
// per-run grid below it. The race panel above keeps its own height.
//
// The graph keeps its shape, so it only grows wider by growing taller: it takes
// the height at which it fills the column's width, as far as the per-run grid
// keeps its least useful height; the grid takes what is left. A grid with
// nothing to show (the table box not ticked) is hidden and leaves its room to
// the graph.

#include <QtGlobal>

namespace marunoki {

struct ColumnShares {
    int graph = 0;  // the graph pane's height
    int grid = 0;  // the per-run grid's height; 0 when hidden
};

// height: what the graph pane and the grid share (pixels); width: the column's
// width; graphAspect: the graph pane's drawing, width over height;
// gridMinimum: the grid's least useful height (its header and a few runs).
[[nodiscard]] ColumnShares shareColumn(
    int height, int width, double graphAspect, int gridMinimum, bool gridShown);

// Whether the per-run grid has anything to show: it is filled only when the
// table box (成績表の表示) is ticked, not when it is off or grey.
[[nodiscard]] bool runGridShown(qint32 check1);

}  // namespace marunoki
