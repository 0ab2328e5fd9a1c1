#pragma once
// How the main window's left column shares its height between the graph pane
// (the graph, its legend, and the past-performance table over them) and the
// per-run grid below it. The race panel above keeps its own height.
//
// The graph keeps its shape, so it only grows wider by growing taller: it takes
// the height at which it fills the column's width, as far as the per-run grid
// keeps its least useful height; the grid takes what is left. A grid with
// nothing to show (the table box not ticked) is hidden and leaves its room to
// the graph. Once the user has moved the line between them, the grid keeps the
// height they gave it (remembered with the window's state).
//
// Beside the column the runner panel and the head-to-head grid take at least a
// quarter of the width, and the width the graph cannot fill at its height: no
// empty band beside the graph.

#include <QtGlobal>

#include <optional>

namespace marunoki {

struct ColumnShares {
    int graph = 0;  // the graph pane's height
    int grid = 0;  // the per-run grid's height; 0 when hidden
};

// height: what the graph pane and the grid share (pixels); width: the column's
// width; graphAspect: the graph pane's drawing, width over height;
// gridMinimum: the grid's least useful height (its header and a few runs);
// chosenGrid: the grid's height as the user set it, taken within the height
// (never below its minimum where the height allows).
[[nodiscard]] ColumnShares shareColumn(int height, int width, double graphAspect, int gridMinimum,
    bool gridShown, std::optional<int> chosenGrid = std::nullopt);

struct RowShares {
    int column = 0;  // the left column: the graph over the per-run grid
    int side = 0;  // the panels beside it
};

// width: what the column and the panels share (pixels); graphHeight: the most
// height the graph can have in the column (the column's height less the race
// panel and the grid); sideMinimum: the panels' least width.
[[nodiscard]] RowShares shareRow(int width, int graphHeight, double graphAspect, int sideMinimum);

// Whether the per-run grid has anything to show: it is filled only when the
// table box (成績表の表示) is ticked, not when it is off or grey.
[[nodiscard]] bool runGridShown(qint32 tableCheck);

}  // namespace marunoki
