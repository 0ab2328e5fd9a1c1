#pragma once
// A grid of text cells as the windows show them and the printer renders them:
// per-cell text, background and text colour, bold, font size and alignment,
// fixed column widths in twips. The views fill it; a widget displays it.
//
// Resizing keeps the cells that stay inside the new bounds; clear() empties every
// cell's text and formatting but keeps the size and the column widths. Access by
// at() is bounds-checked: writing outside the grid is a failure the caller
// reports, never a crash.

#include <QColor>
#include <QString>

#include <vector>

namespace marunoki {

// General: text to the left, numbers to the right. LeftCenter: everything to the
// left, vertically centred. Right: everything to the right ("33.3%").
enum class CellAlign { General, LeftCenter, Right };

struct GridCell {
    QString text;
    QColor background = QColor(255, 255, 255);
    QColor foreground = QColor(0, 0, 0);
    bool bold = false;
    double fontSize = 0;  // points; 0 = the grid's base size
    CellAlign align = CellAlign::General;
};

class CellGrid {
public:
    // Width a column has until it is set.
    static constexpr int kDefaultColumnWidth = 960;
    // Height of every row, in twips.
    static constexpr int kRowHeight = 240;

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    void setRows(int rows);
    void setCols(int cols);

    // Empties every cell's text and formatting; size and widths stay.
    void clear();

    // The cell at (row, col), or nullptr when outside the grid.
    GridCell *at(int row, int col);
    const GridCell *at(int row, int col) const;

    // Column width in twips; setting outside the grid does nothing and returns false.
    int colWidth(int col) const;
    bool setColWidth(int col, int twips);
    // Sum of all column widths.
    int totalWidth() const;

    double baseFontSize = 8;
    QString fontName = QStringLiteral("ＭＳ Ｐゴシック");
    int fixedRows = 0;
    int fixedCols = 0;
    bool gridLines = true;
    bool wordWrap = false;
    bool visible = true;

private:
    void reshape(int rows, int cols);

    int rows_ = 0;
    int cols_ = 0;
    std::vector<GridCell> cells_;  // row-major
    std::vector<int> widths_;
};

}  // namespace marunoki
