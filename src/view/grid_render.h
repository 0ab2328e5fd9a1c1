#pragma once
// Rendering of a CellGrid: the picture of the table the window shows, and the
// image of the whole table that the table printing scales onto the page.
//
// Every cell is drawn with its own background, text colour, weight and size (0 =
// the grid's base size) in the grid's font face, or a Japanese gothic face in its
// place where that face is not installed. Rows are CellGrid::kRowHeight high,
// columns as wide as the grid says. General alignment puts numbers to the right
// and other text to the left, LeftCenter everything to the left; text is
// vertically centred and clipped to its cell. Grid lines only when gridLines is on.

#include "view/cell_grid.h"

#include <QImage>
#include <QPointF>

class QPainter;

namespace marunoki {

// What becomes of a text wider than its cell: clipped at the cell's edge (the
// window), or narrowed to the cell's width (paper).
enum class Overflow { Clip, Narrow };

// Draws the whole grid with its top-left corner at `origin`, in the painter's
// coordinates, with `unitsPerTwip` painter units to a twip. When the painter
// clips, rows wholly outside the clip are skipped. Font sizes follow the same
// scale, so a picture scaled to half its size keeps its proportions.

void renderGrid(const CellGrid &grid, QPainter &painter, const QPointF &origin, double unitsPerTwip,
    Overflow overflow = Overflow::Clip);

// The whole grid as an image at `dpi` dots per inch: totalWidth() by rows() ×
// kRowHeight twips, every row and column at full size, in colour, on white. A
// grid without rows or columns, or a dpi below 1, gives a null image.
QImage gridImage(const CellGrid &grid, int dpi);

// Whether a cell's text stands at the right of its cell: General alignment and
// a number. The window's grid follows the same rule as the printed table.
bool alignsRight(const GridCell &cell);

// Size of gridImage(grid, dpi) in pixels, rounded up to whole pixels.
QSize gridImageSize(const CellGrid &grid, int dpi);

}  // namespace marunoki
