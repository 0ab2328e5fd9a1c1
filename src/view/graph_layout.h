#pragma once
// The layout of the speed-figure graph and the comparison graph: the plot area
// inside the graph box and the two mappings every step uses, dates to x and
// values to y. Recomputed from the box at the start of every drawing.
//
// All values are twips, origin at the top left of the box, y downwards. The plot
// area runs from (graphLeft, graphTop) to (graphLeft + plotWidth, graphTop +
// plotHeight); the margins hold the value labels (left), the headline (top) and
// the date labels (bottom). Nothing is clipped: a value outside 0..100 or a date
// more than 420 days back lands outside the plot area.

#include "app/race_store.h"
#include "view/draw_box.h"

#include <QString>

namespace marunoki {

// The window the graph spans: the race day on the right edge, the first day past
// runs are read from on the left edge.
constexpr double kGraphDays = kHistoryDays;

// The highest past run the graphs show; runs 31..50 stay off them.
constexpr int kLastGraphRun = 30;

struct GraphLayout {
    static constexpr double graphLeft = 250;
    static constexpr double graphTop = 200;
    static constexpr double graphRight = 100;
    static constexpr double graphBottom = 200;

    double boxWidth = 0;
    double boxHeight = 0;
    double plotWidth = 0;
    double plotHeight = 0;
    // Multiplies marker sizes and some pen widths.
    double drawScale = 0.9;
    // The day on the right edge.
    double raceDate = 0;

    // The layout of a box of the box's current outer size.
    static GraphLayout of(const DrawBox &box, double raceDate);

    // x of a date: the race date on the right edge, 420 days before on the left.
    double dateToX(double date) const { return (1 - (raceDate - date) / kGraphDays) * plotWidth + graphLeft; }
    // y of a value: 100 on the top edge, 0 on the bottom edge.
    double valueToY(double value) const { return (100 - value) / 100 * plotHeight + graphTop; }
};

// The one face every graph text uses.
inline const QString &graphFontName()
{
    static const QString name = QStringLiteral("ＭＳ Ｐゴシック");
    return name;
}

// Prints text with its top-left corner at (x, y), in the graph face at `points`.
inline void printText(DrawBox &box, double x, double y, const QString &text, double points)
{
    box.text(x, y, text, points, graphFontName());
}

// A computed pen width as the box takes it: a whole number of pixels, halves to
// the even neighbour (0.9 x 3 gives 3, 0.9 gives 1, 1.35 gives 1).
int penWidth(double pixels);

// Places x in 0..100.
double clampToScale(double value);

}  // namespace marunoki
