#pragma once
// The text views beside the graph: the per-run data grid, the head-to-head grid,
// the race panel and the runner panel. Each fills its own view for one runner
// from the race store; a failure inside one shows its message through the sink
// ("write_gridエラー(err-AD12)" ...) and leaves what was written so far.

#include "app/message_sink.h"
#include "app/race_store.h"
#include "view/cell_grid.h"

#include <QString>

namespace marunoki {

// Lays out the per-run grid: cleared, 36 rows, 21 columns, widths and headers.
void layOutRunGrid(CellGrid &grid, MessageSink &sink);

// Fills the per-run grid with the runs of `runner`, one row per dated run.
void fillRunGrid(const RaceStore &store, qint32 runner, CellGrid &grid, MessageSink &sink);

// Rebuilds the head-to-head grid of `runner` against runners 1..fieldSize.
void fillHeadToHeadGrid(const RaceStore &store, qint32 runner, CellGrid &grid, MessageSink &sink);

// The race panel's caption: title, CR, conditions.
QString writeRaceInfo(const RaceStore &store, MessageSink &sink);

// The runner panel's caption: seven lines, each ended by CR. A null text when it
// could not be built (the message has been shown): the panel keeps its caption.
QString writeUmaInfo(const RaceStore &store, qint32 runner, MessageSink &sink);

}  // namespace marunoki
