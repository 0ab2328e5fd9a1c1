#include "view/cell_grid.h"

#include <algorithm>

namespace marunoki {

void CellGrid::reshape(int rows, int cols)
{
    rows = std::max(rows, 0);
    cols = std::max(cols, 0);
    std::vector<GridCell> cells(static_cast<size_t>(rows) * static_cast<size_t>(cols));
    for (int r = 0; r < std::min(rows, rows_); ++r) {
        for (int c = 0; c < std::min(cols, cols_); ++c) {
            cells[static_cast<size_t>(r) * cols + c] = std::move(cells_[static_cast<size_t>(r) * cols_ + c]);
        }
    }
    cells_ = std::move(cells);
    widths_.resize(static_cast<size_t>(cols), kDefaultColumnWidth);
    rows_ = rows;
    cols_ = cols;
}

void CellGrid::setRows(int rows)
{
    reshape(rows, cols_);
}

void CellGrid::setCols(int cols)
{
    reshape(rows_, cols);
}

void CellGrid::clear()
{
    std::fill(cells_.begin(), cells_.end(), GridCell {});
}

GridCell *CellGrid::at(int row, int col)
{
    if (row < 0 || col < 0 || row >= rows_ || col >= cols_) {
        return nullptr;
    }
    return &cells_[static_cast<size_t>(row) * cols_ + col];
}

const GridCell *CellGrid::at(int row, int col) const
{
    return const_cast<CellGrid *>(this)->at(row, col);
}

int CellGrid::colWidth(int col) const
{
    return col >= 0 && col < cols_ ? widths_[static_cast<size_t>(col)] : 0;
}

bool CellGrid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= cols_) {
        return false;
    }
    widths_[static_cast<size_t>(col)] = std::max(twips, 0);
    return true;
}

int CellGrid::totalWidth() const
{
    int sum = 0;
    for (int w : widths_) {
        sum += w;
    }
    return sum;
}

}  // namespace marunoki
