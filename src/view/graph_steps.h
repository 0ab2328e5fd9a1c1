#pragma once
// The drawing steps of the speed-figure graph, in the order the driver runs them
// (see graph_view.h): the grid and axes, the headline, the last-three-furlong
// circles, the speed-figure line, the six overlays, and the legend.
//
// Each step reads the shown runner and the layout and draws on the box it is
// given. It sets the pen state it needs; it leaves the state as its last
// primitive had it. A step returns false when it cannot finish (a runner outside
// the store's slots, a race date outside the calendar); what it drew before that
// stays, and the driver shows the step's message and goes on.

#include "app/race_store.h"
#include "app/settings_values.h"
#include "view/draw_box.h"
#include "view/graph_layout.h"

#include <QString>

#include <array>

namespace marunoki::graph {

// Where an overlay puts one fact of a run on the graph's 0..100 scale: the fact
// `origin` at `at`, `step` more for every `unit` more of the fact; from `beyond`
// on (0: never) every fact sits at `top`. Nothing clamps the value, so an extreme
// fact is drawn off the plot area rather than bent onto it. The overlays and the
// legend both place their marks with these scales, so a legend row always stands
// at the height of the marks it explains.
struct OverlayScale {
    double at;
    double origin;
    double unit;
    double step;
    double beyond = 0;
    double top = 0;

    double value(double fact) const
    {
        if (beyond > 0 && fact >= beyond)
            return top;
        return at + (fact - origin) / unit * step;
    }
};

// The scales by overlay (see OverlayScale).
inline constexpr std::array<OverlayScale, kGraphOverlayCount> kOverlayScales {{
    {50, 0, 1, 1},  // BodyWeight: kg above the oldest weighed run, that run at 50
    {40, 1, 1, -5},  // Bracket: bracket 1 at 40, 5 lower per bracket
    {50, 1900, 100, 5, 2900, 100},  // Distance: 1900 m at 50, 5 per 100 m, 2900 m on at 100
    {100, 1, 1, -5},  // Going: 良 (1) at 100, 5 lower per step to 不 (4)
    {100, 1, 1, -5, 10, 50},  // FirstCorner: 1st at 100, 5 lower per place, 10th on at 50
    {100, 1, 1, -5},  // Finish: 1st at 100, 5 lower per place
    // LastFurlongs: its circles stand at the speed figures' own heights (the
    // figure less the graph base, see graph_figures.cpp), the identity here.
    {0, 0, 1, 1},
}};

inline const OverlayScale &overlayScale(Overlay overlay)
{
    return kOverlayScales[static_cast<size_t>(overlay)];
}

struct StepContext {
    const RaceStore &store;
    const GraphLayout &layout;
    DrawBox &box;  // the graph box
    qint32 h;  // the shown runner
    float kakeritu;  // share above the reference line, for its label
};

// Dotted grid, value and date labels, the reference line and the frame.
bool drawAxes(const StepContext &c);
// The headline: the runner's card data and summary figures at the top.
bool drawHeadline(const StepContext &c);
// Last-three-furlong figures: circles tied to the speed-figure points.
bool drawLastFurlongs(const StepContext &c);
// The speed-figure line with its circles and course marks.
bool drawSpeedFigureLine(const StepContext &c);
// The overlays: finishing position, body weight, bracket, first corner, distance, going.
bool drawFinishOverlay(const StepContext &c);
bool drawBodyWeightOverlay(const StepContext &c);
bool drawBracketOverlay(const StepContext &c);
bool drawFirstCornerOverlay(const StepContext &c);
bool drawDistanceOverlay(const StepContext &c);
bool drawGoingOverlay(const StepContext &c);

// The legend on its own box, its rows at the heights of the graph's values. A
// section shows whenever its setting holds any text at all.
bool drawLegend(
    const GraphLayout &layout, const std::array<QString, kGraphOverlayCount> &iniGraph, DrawBox &legend);

// The headline text of runner h (see drawHeadline).
QString headline(const RaceStore &store, qint32 h);
// The one-character course mark of run r: "名" for 中京, else the course's first
// character; a local course (or a number that names no central course) gives the
// first character of its own text.
QString courseMark(const RaceStore &store, qint32 h, int run);

}  // namespace marunoki::graph
