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

struct StepContext {
    const RaceStore &store;
    const GraphLayout &layout;
    DrawBox &box;  // the graph box
    qint32 h;  // the shown runner
    float kakeritu;  // share above the reference line, for its label
};

// Dotted grid, value and date labels, the reference line and the frame.
bool keisen(const StepContext &c);
// The headline: the runner's card data and summary figures at the top.
bool U_label(const StepContext &c);
// Last-three-furlong figures: circles tied to the speed-figure points.
bool agari(const StepContext &c);
// The speed-figure line with its circles and course marks.
bool SP_sisuu(const StepContext &c);
// The overlays: finishing position, body weight, bracket, first corner, distance, going.
bool cyaku(const StepContext &c);
bool taizyu(const StepContext &c);
bool waku(const StepContext &c);
bool tuka(const StepContext &c);
bool kyori(const StepContext &c);
bool baba(const StepContext &c);

// The legend on its own box, its rows at the heights of the graph's values. A
// section shows whenever its setting holds any text at all.
bool hanrei(
    const GraphLayout &layout, const std::array<QString, kGraphOverlayCount> &iniGraph, DrawBox &legend);

// The headline text of runner h (see U_label).
QString headline(const RaceStore &store, qint32 h);
// The one-character course mark of run r: "名" for 中京, else the course's first
// character; a local course (or a number that names no central course) gives the
// first character of its own text.
QString courseMark(const RaceStore &store, qint32 h, int run);

}  // namespace marunoki::graph
