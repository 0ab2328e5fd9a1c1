// The six optional overlays of the speed-figure graph. Each puts one fact of the
// runner's runs on the graph's 0..100 scale (kOverlayScales) at the run's date.
//
//   drawFinishOverlay       finishing position   joined
//   drawBodyWeightOverlay   body weight          joined
//   drawBracketOverlay      bracket
//   drawFirstCornerOverlay  first-corner place
//   drawDistanceOverlay     distance             2900 m and longer written beside the mark
//   drawGoingOverlay        going                past runs only

#include "view/graph_steps.h"

#include "app/format.h"
#include "view/qb_color.h"

#include <QPointF>

namespace marunoki::graph {

namespace {

bool isDated(const RaceStore &store, qint32 h, int run)
{
    return store.horses[h].runs[run].date > 0;
}

// A square marker of half side `half` around (x, y).
void square(DrawBox &box, double x, double y, double half, const QColor &colour, bool filled)
{
    if (filled)
        box.filledBox(x - half, y - half, x + half, y + half, colour);
    else
        box.box(x - half, y - half, x + half, y + half, colour);
}

// A point of a joined series: the marker, then the line back to the previous point.
struct Series {
    DrawBox &box;
    double half;
    QColor colour;
    QPointF prev;  // x 0: no point to join

    void add(double x, double y)
    {
        square(box, x, y, half, colour, true);
        if (prev.x() > 0)
            box.line(x, y, prev.x(), prev.y(), colour);
        prev = QPointF(x, y);
    }
    void breakLine() { prev = QPointF(); }
};

void setPen(DrawBox &box, int width)
{
    box.setDrawWidth(width);
    box.setDrawStyle(LineStyle::Solid);
}

// The unjoined overlays: with a pen of 3, draw(run, x) for every dated run from
// `first` to the last the graph shows.
template <typename Draw>
bool eachDatedRun(const StepContext &c, int first, Draw draw)
{
    if (!isRunnerSlot(c.h))
        return false;
    setPen(c.box, 3);
    for (int run = first; run <= kLastGraphRun; ++run) {
        if (isDated(c.store, c.h, run))
            draw(run, c.layout.dateToX(c.store.horses[c.h].runs[run].date));
    }
    return true;
}

}  // namespace

bool drawFinishOverlay(const StepContext &c)
{
    if (!isRunnerSlot(c.h))
        return false;
    const RaceStore &s = c.store;
    setPen(c.box, 1);
    Series series {c.box, c.layout.drawScale * 30, qbColor(8), {}};
    for (int run = 0; run <= kLastGraphRun; ++run) {
        const qint32 place = s.horses[c.h].runs[run].finish;
        if (!isDated(s, c.h, run) || place < 1) {
            series.breakLine();
            continue;
        }
        series.add(c.layout.dateToX(s.horses[c.h].runs[run].date),
            c.layout.valueToY(overlayScale(Overlay::Finish).value(double(place))));
    }
    return true;
}

bool drawBodyWeightOverlay(const StepContext &c)
{
    if (!isRunnerSlot(c.h))
        return false;
    const RaceStore &s = c.store;
    setPen(c.box, 1);
    Series series {c.box, c.layout.drawScale * 30, qbColor(0), {}};
    // Oldest first, so the line starts on the middle line at the oldest weighed run.
    qint32 base = 0;
    for (int run = kLastGraphRun; run >= 0; --run) {
        if (!isDated(s, c.h, run))
            continue;
        const qint32 weight = s.horses[c.h].runs[run].bodyWeight;
        if (weight < 1) {
            series.breakLine();
            continue;
        }
        if (base == 0)
            base = weight;
        series.add(c.layout.dateToX(s.horses[c.h].runs[run].date),
            c.layout.valueToY(overlayScale(Overlay::BodyWeight).value(double(weight) - double(base))));
    }
    return true;
}

bool drawBracketOverlay(const StepContext &c)
{
    const double half = c.layout.drawScale * 50;
    return eachDatedRun(c, 0, [&c, half](int run, double x) {
        const double value
            = overlayScale(Overlay::Bracket).value(double(c.store.horses[c.h].runs[run].bracket));
        square(c.box, x, c.layout.valueToY(value), half, qbColor(3), true);
    });
}

bool drawFirstCornerOverlay(const StepContext &c)
{
    const double half = c.layout.drawScale * 60;
    return eachDatedRun(c, 0, [&c, half](int run, double x) {
        const qint32 place = c.store.horses[c.h].runs[run].cornerPositions[1];
        if (place < 1)
            return;
        // From the tenth place on, the marker stays on the middle line.
        const double value = overlayScale(Overlay::FirstCorner).value(double(place));
        square(c.box, x, c.layout.valueToY(value), half, qbColor(12), false);
    });
}

bool drawDistanceOverlay(const StepContext &c)
{
    const double radius = c.layout.drawScale * 60;
    c.box.setFillStyle(FillStyle::Transparent);
    return eachDatedRun(c, 0, [&c, radius](int run, double x) {
        const qint32 distance = c.store.horses[c.h].runs[run].distance;
        const OverlayScale &scale = overlayScale(Overlay::Distance);
        const double y = c.layout.valueToY(scale.value(double(distance)));
        c.box.circle(x, y, radius, qbColor(5));
        // Long races all sit on the top edge, their distance written beside them.
        if (distance >= scale.beyond)
            printText(c.box, x + 60, y + 320, formatNumber(distance, QStringLiteral("0000")), 10);
    });
}

bool drawGoingOverlay(const StepContext &c)
{
    const double radius = c.layout.drawScale * 40;
    // Today's going is not known when the card is read: past runs only.
    return eachDatedRun(c, 1, [&c, radius](int run, double x) {
        const double value = overlayScale(Overlay::Going).value(double(c.store.horses[c.h].runs[run].going));
        c.box.setFillStyle(FillStyle::Solid);
        c.box.setFillColor(qbColor(8));
        c.box.circle(x, c.layout.valueToY(value), radius, qbColor(8));
        c.box.setFillStyle(FillStyle::Transparent);
    });
}

}  // namespace marunoki::graph
