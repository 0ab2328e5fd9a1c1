#pragma once
// Writes into a CellGrid the way the grid routines fill it, one cell after the
// other, and stops being useful at the first cell outside the grid: every call
// after a miss does nothing and failed() stays true. The routines check failed()
// at the points where they must stop, report their message and return, leaving
// the cells written so far in place.

#include "view/cell_grid.h"

#include <QColor>
#include <QString>

namespace marunoki {

class CellWriter {
public:
    explicit CellWriter(CellGrid &grid)
        : grid_(grid)
    { }

    bool failed() const { return failed_; }

    // The cell at (row, col), or nullptr (and failed from now on) when outside.
    GridCell *cell(int row, int col)
    {
        if (failed_) {
            return nullptr;
        }
        GridCell *found = grid_.at(row, col);
        failed_ = found == nullptr;
        return found;
    }

    void text(int row, int col, const QString &value)
    {
        if (GridCell *c = cell(row, col)) {
            c->text = value;
        }
    }
    void foreground(int row, int col, const QColor &colour)
    {
        if (GridCell *c = cell(row, col)) {
            c->foreground = colour;
        }
    }
    void background(int row, int col, const QColor &colour)
    {
        if (GridCell *c = cell(row, col)) {
            c->background = colour;
        }
    }
    void bold(int row, int col, bool on)
    {
        if (GridCell *c = cell(row, col)) {
            c->bold = on;
        }
    }
    void fontSize(int row, int col, double points)
    {
        if (GridCell *c = cell(row, col)) {
            c->fontSize = points;
        }
    }

    // Marks the writer failed for a reason outside the grid (a runner slot or run
    // index beyond the store's tables).
    void fail() { failed_ = true; }

private:
    CellGrid &grid_;
    bool failed_ = false;
};

}  // namespace marunoki
