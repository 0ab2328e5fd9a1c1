#pragma once
// The colour the comparison graph draws each runner's line in, for the outputs
// that draw or name its lines: computed by the same code that draws the graph.

#include "app/race_store.h"

#include <QColor>

#include <array>

namespace marunoki {

// The colour of every runner's line, by horse number: its bracket's colour, or
// for a runner without a known bracket the colour of the runner before it
// (black for the first). Slot 0 and slots beyond the card are black.
std::array<QColor, kRunnerSlots> hikakuColours(const RaceStore &store);

}  // namespace marunoki
