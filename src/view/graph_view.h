#pragma once
// The speed-figure graph of one runner and the comparison graph of all runners.
//
// drawGraph draws `runner` on surfaces.graphBox (and, for runner 1,
// the legend on surfaces.legendBox), then fills the grids and panels. Steps with
// their own failure handling report through the sink ("罫線エラー(err-AD01)" ...)
// and the drawing goes on.
//
// drawHikakuGraph draws every runner's figure line in its bracket colour, the
// runner named by surfaces.runnerBox emphasised (`shown` when the box names no
// runner of the card), then that runner's panel and head-to-head grid.

#include "app/message_sink.h"
#include "app/race_store.h"
#include "app/settings_values.h"
#include "view/graph_surfaces.h"

namespace marunoki {

// settings: iniGraph (overlay switches) and kakeritu (the reference-line label).
// tableCheck: the value of the table check box; the per-run grid is filled only at 1.
void drawGraph(const RaceStore &store, qint32 runner, const Settings &settings, qint32 tableCheck,
    GraphSurfaces &surfaces, MessageSink &sink);

void drawHikakuGraph(const RaceStore &store, qint32 shown, const Settings &settings, GraphSurfaces &surfaces,
    MessageSink &sink);

}  // namespace marunoki
