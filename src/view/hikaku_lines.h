#pragma once
// What the comparison graph draws for each runner, for the outputs that label
// its lines: the line's colour and where its newest circle stands. Computed by
// the same code that draws the graph, so a label sits on the drawn circle.

#include "app/race_store.h"
#include "view/graph_layout.h"

#include <QColor>
#include <QPointF>

#include <array>
#include <optional>

namespace marunoki {

// The colour of every runner's line, by horse number: its bracket's colour, or
// for a runner without a known bracket the colour of the runner before it
// (black for the first). Slot 0 and slots beyond the card are black.
std::array<QColor, kRunnerSlots> hikakuColours(const RaceStore &store);

// The centre, in twips of a box with `layout`, of runner k's newest circle (the
// first of runs 0..30 with a date and a figure); nothing when it draws none.
std::optional<QPointF> hikakuNewestPoint(const RaceStore &store, qint32 k, const GraphLayout &layout);

}  // namespace marunoki
